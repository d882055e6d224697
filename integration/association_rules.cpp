#include "integration/association_rules.h"

#include <array>

#include "contract/product.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kClassesKey[] = L"SOFTWARE\\Classes\\";
constexpr wchar_t kFileExtsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

std::wstring ClassKey(std::wstring_view type) { return kClassesKey + ProgId(type); }

}  // namespace

std::wstring ProgId(std::wstring_view type) { return std::wstring(kProductName) + L'.' + std::wstring(type); }

std::wstring ClassDescription(std::wstring_view type) {
    return std::wstring(kProductName) + L' ' + AsciiUpper(type) + L" File";
}

bool PointsExtensionAtViewer(std::wstring_view extension, bool selected) {
    return selected || EqualsIgnoringCase(extension, L"JPG") || EqualsIgnoringCase(extension, L"PNG") ||
           EqualsIgnoringCase(extension, L"TIF");
}

RegistryWrites ExtensionClassWrites(std::wstring_view extension, std::wstring_view type, std::wstring_view openCommand,
                                    std::wstring_view icon, bool selected) {
    RegistryWrites writes;
    const std::wstring classKey = ClassKey(type);
    if (PointsExtensionAtViewer(extension, selected))
        writes.push_back(
            SetDefaultValue{RegistryRoot::LocalMachine, kClassesKey + (L'.' + std::wstring(extension)), ProgId(type)});
    writes.push_back(SetDefaultValue{RegistryRoot::LocalMachine, classKey, ClassDescription(type)});
    writes.push_back(
        SetDefaultValue{RegistryRoot::LocalMachine, classKey + L"\\shell\\open\\command", std::wstring(openCommand)});
    writes.push_back(SetDefaultValue{RegistryRoot::LocalMachine, classKey + L"\\DefaultIcon", std::wstring(icon)});
    return writes;
}

RegistryWrite CapabilityAssociationWrite(std::wstring_view extension, std::wstring_view type) {
    return SetNamedValues{RegistryRoot::LocalMachine,
                          kFileAssociationsKey,
                          KeyOpening::OpenSetValue,
                          {{L'.' + std::wstring(extension), ProgId(type)}}};
}

RegistryWrites UserChoiceWrites(std::wstring_view extension, std::wstring_view type) {
    const std::wstring key = kFileExtsKey + (L'.' + std::wstring(extension)) + L"\\UserChoice";
    return {DeleteKey{RegistryRoot::CurrentUser, key},
            SetNamedValues{RegistryRoot::CurrentUser, key, KeyOpening::Create, {{L"Progid", ProgId(type)}}}};
}

RegistryWrites StoreAppHidingWrites() {
    static constexpr std::array<const wchar_t*, 5> kStoreAppClasses = {
        L"SOFTWARE\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg",
        L"SOFTWARE\\Classes\\AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
        L"SOFTWARE\\Classes\\AppX43hnxtbyyps62jhe9sqpdzxn1790zetc",
        L"SOFTWARE\\Classes\\AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
        L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h",
    };
    RegistryWrites writes;
    for (const wchar_t* key : kStoreAppClasses)
        writes.push_back(
            SetNamedValues{RegistryRoot::CurrentUser, key, KeyOpening::Create, {{L"NoOpenWith", std::wstring()}}});
    return writes;
}

}  // namespace pixelmoor
