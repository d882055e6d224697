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

void PrintField(const char* label, const wchar_t* value) {
    std::wstring text = value;
    std::printf("    %-12s %ls\n", label, text.c_str());
}

bool PrintLink(const wchar_t* path) {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(path, STGM_READ))) return false;
    wchar_t text[1024] = {};
    int iconIndex = 0;
    std::printf("%ls\n", path);
    link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    PrintField("target:", text);
    text[0] = 0;
    link->GetArguments(text, 1024);
    PrintField("arguments:", text);
    text[0] = 0;
    link->GetIconLocation(text, 1024, &iconIndex);
    std::printf("    %-12s %ls,%d\n", "icon:", text, iconIndex);
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
            std::printf("%ls: cannot be read as a shell link\n", argv[i]);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
