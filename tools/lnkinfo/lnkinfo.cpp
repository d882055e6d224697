// Prints what shell links point at, read back through the shell link object:
//   lnkinfo.exe <file.lnk>...
// One block per link: its path, target, arguments, icon location and
// description.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "framework/unique_handle.h"

namespace {

using pixelmoor::ComPtr;

// Wide text as UTF-8: the runtime's own conversion knows no umlauts.
std::string Utf8(const wchar_t* text) {
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.pop_back();
    return out;
}

void PrintField(const char* label, const wchar_t* value) {
    std::printf("    %-12s %s\n", label, Utf8(value).c_str());
}

bool PrintLink(const wchar_t* path) {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(path, STGM_READ))) return false;
    wchar_t text[1024] = {};
    int iconIndex = 0;
    std::printf("%s\n", Utf8(path).c_str());
    link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    PrintField("target:", text);
    text[0] = 0;
    link->GetArguments(text, 1024);
    PrintField("arguments:", text);
    text[0] = 0;
    link->GetIconLocation(text, 1024, &iconIndex);
    if (text[0])
        std::printf("    %-12s %s,%d\n", "icon:", Utf8(text).c_str(), iconIndex);
    else
        PrintField("icon:", L"(none)");
    text[0] = 0;
    link->GetDescription(text, 1024);
    PrintField("description:", text);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    pixelmoor::ComScope com;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (!PrintLink(argv[i])) {
            std::printf("%s: cannot be read as a shell link\n", Utf8(argv[i]).c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
