// A plug-in program of the stand-in payload (screen capture, slide show). It
// only tells what it stands for: string 1 of its string table names the
// program, string 2 explains that it is a stand-in.
#include <windows.h>

#include <string>

namespace {

constexpr int kTitleId = 1;
constexpr int kTextId = 2;

std::wstring LoadText(HINSTANCE instance, int id) {
    const wchar_t* text = nullptr;
    // With a zero capacity LoadStringW hands out a pointer into the resource.
    const int length = ::LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ::MessageBoxW(nullptr, LoadText(instance, kTextId).c_str(), LoadText(instance, kTitleId).c_str(),
                  MB_OK | MB_ICONINFORMATION);
    return 0;
}
