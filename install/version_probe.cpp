#include "install/version_probe.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <new>
#include <optional>

#include "archive/payload_facts.h"
#include "framework/folder_path.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/version_probe_rules.h"

namespace pixelmoor {

namespace {

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

constexpr wchar_t kCompanyNameQuery[] = L"\\StringFileInfo\\040904E4\\CompanyName";

// version.dll in the system folder, never one next to the setup. Empty when
// the system folder cannot be read.
std::optional<std::wstring> VersionLibraryPath() {
    const std::optional<std::wstring> system = SystemFolder();
    if (!system) return std::nullopt;
    return WithTrailingBackslash(*system) + L"version.dll";
}

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// The size of a file opened for reading; empty when it cannot be opened.
std::optional<std::uint64_t> SizeForReading(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace

int ProbeFileVersion(const std::wstring& path, std::wstring& versionText, std::wstring* companyName) {
    const std::optional<std::wstring> libraryPath = VersionLibraryPath();
    if (!libraryPath) return 0;
    const UniqueModule library(::LoadLibraryW(libraryPath->c_str()));
    if (!library) return 0;
    const auto getSize = Lookup<GetFileVersionInfoSizeFn>(library.get(), "GetFileVersionInfoSizeW");
    const auto getInfo = Lookup<GetFileVersionInfoFn>(library.get(), "GetFileVersionInfoW");
    const auto query = Lookup<VerQueryValueFn>(library.get(), "VerQueryValueW");
    if (getSize == nullptr || getInfo == nullptr || query == nullptr) return 0;

    DWORD ignored = 0;
    const DWORD size = getSize(path.c_str(), &ignored);
    if (size == 0) return 0;
    // Twice the reported size, zeroed, so that the record always has room.
    const std::size_t blockBytes = 2 * static_cast<std::size_t>(size);
    const std::unique_ptr<std::byte[]> block(new (std::nothrow) std::byte[blockBytes]());
    if (!block) return 0;
    if (!getInfo(path.c_str(), 0, static_cast<DWORD>(blockBytes), block.get())) return 0;

    void* value = nullptr;
    UINT valueLength = 0;
    if (!query(block.get(), L"\\", &value, &valueLength) || value == nullptr || valueLength == 0) return 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    versionText = FormatVersionText(HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                    HIWORD(fixed->dwFileVersionLS));

    if (companyName != nullptr) {
        companyName->clear();
        if (query(block.get(), kCompanyNameQuery, &value, &valueLength) && value != nullptr)
            *companyName = CutCompanyName(std::wstring_view(static_cast<const wchar_t*>(value), valueLength));
    }
    return 1;
}

int IconLibraryRule(std::wstring_view installFolder) {
    // A payload without an icon library has nothing to replace an installed
    // one with, and no Plugins folder is made for it.
    const std::wstring_view payloadVersion = PayloadIconLibraryVersion();
    if (payloadVersion.empty()) return 0;
    std::wstring plugins = std::wstring(installFolder) + kIconLibraryFolder;
    // Without its Plugins folder there is no installed library to look at.
    if (EnsureFolderPath(plugins) != 1) return 0;
    const std::wstring library = plugins + kIconLibraryFile;
    std::wstring version;
    std::wstring company;
    if (ProbeFileVersion(library, version, &company) != 1) return 0;
    const InstalledIconLibrary order = CompareWithPayload(version, payloadVersion);
    const std::optional<std::uint64_t> size =
        order == InstalledIconLibrary::kSame ? SizeForReading(library) : std::nullopt;
    return KeepIconLibraryFlag(order, company, size);
}

}  // namespace pixelmoor
