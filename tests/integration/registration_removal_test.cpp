#include "integration/registration_removal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pixelmoor {
namespace {

using Root = RegistryRoot;

constexpr wchar_t kChoice[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jpe\\UserChoice";
constexpr wchar_t kChoiceExtension[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jpe";

struct RemovalCase {
    RegistryWrites writes;
    RegistryRemovals expected;
};

TEST(RegistryRemoval, OwnedKeysGoWholeAndSharedValuesOnlyWhileUnchanged) {
    const RemovalCase cases[] = {
        // A value below the command class: the whole class goes.
        {{SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", L"cmd"}},
         {RemoveKeyTree{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor", {}}}},
        // A type class, named in other capitals: its own key, as written.
        {{SetDefaultValue{Root::LocalMachine, L"software\\classes\\PIXELMOOR.JPG\\DefaultIcon", L"icon"}},
         {RemoveKeyTree{Root::LocalMachine, L"software\\classes\\PIXELMOOR.JPG", {}}}},
        // The application key is named by the viewer's file; HKEY_CLASSES_ROOT
        // is the system key itself.
        {{SetNamedValues{Root::ClassesRoot,
                         L"Applications\\p_moor64.exe",
                         KeyOpening::OpenFullAccess,
                         {{L"FriendlyAppName", std::wstring(L"x")}}}},
         {RemoveKeyTree{Root::ClassesRoot, L"Applications\\p_moor64.exe", {L"Applications"}}}},
        // The context-menu entry's name holds the product's; the drives' keys go
        // too when nothing else is left in them.
        {{SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Drive\\shell\\Durchsuchen mit &Pixelmoor\\command",
                          L"t"}},
         {RemoveKeyTree{Root::LocalMachine,
                        L"SOFTWARE\\Classes\\Drive\\shell\\Durchsuchen mit &Pixelmoor",
                        {L"SOFTWARE\\Classes\\Drive\\shell", L"SOFTWARE\\Classes\\Drive"}}}},
        // Several writes below one owned key: one step.
        {{SetNamedValues{Root::LocalMachine, L"SOFTWARE\\Pixelmoor", KeyOpening::Create, {}},
          SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Pixelmoor\\shell\\open\\command", L"x"}},
         {RemoveKeyTree{Root::LocalMachine, L"SOFTWARE\\Pixelmoor", {}}}},
        // An extension's class: only while it names ours; the key when it is left empty.
        {{SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\.jpg", L"Pixelmoor.jpg"}},
         {RemoveSharedValue{Root::LocalMachine,
                            L"SOFTWARE\\Classes\\.jpg",
                            NamedValue{L"", std::wstring(L"Pixelmoor.jpg")},
                            {L"SOFTWARE\\Classes\\.jpg"}}}},
        // The user's choice: deleting the old one has nothing to undo; the new
        // one goes with the extension's key that the setup may have made for it.
        {{DeleteKey{Root::CurrentUser, kChoice},
          SetNamedValues{
              Root::CurrentUser, kChoice, KeyOpening::Create, {{L"Progid", std::wstring(L"Pixelmoor.jpg")}}}},
         {RemoveSharedValue{Root::CurrentUser,
                            kChoice,
                            NamedValue{L"Progid", std::wstring(L"Pixelmoor.jpg")},
                            {kChoice, kChoiceExtension}}}},
        // A key that is only opened was there before: only the value goes.
        {{SetNamedValues{Root::LocalMachine,
                         L"SOFTWARE\\RegisteredApplications",
                         KeyOpening::OpenSetValue,
                         {{L"Pixelmoor", std::wstring(L"SOFTWARE\\Pixelmoor\\Capabilities")}}}},
         {RemoveSharedValue{Root::LocalMachine,
                            L"SOFTWARE\\RegisteredApplications",
                            NamedValue{L"Pixelmoor", std::wstring(L"SOFTWARE\\Pixelmoor\\Capabilities")},
                            {}}}},
        // A shared key made without values: removed when empty.
        {{SetNamedValues{Root::CurrentUser, L"SOFTWARE\\Classes\\AppXabc", KeyOpening::Create, {}}},
         {RemoveSharedValue{
             Root::CurrentUser, L"SOFTWARE\\Classes\\AppXabc", std::nullopt, {L"SOFTWARE\\Classes\\AppXabc"}}}},
        // Two values of one shared key, one of them a number: a step each.
        {{SetNamedValues{Root::CurrentUser,
                         L"SOFTWARE\\Classes\\AppXabc\\Deep",
                         KeyOpening::Create,
                         {{L"A", std::wstring()}, {L"B", std::uint32_t{1}}}}},
         {RemoveSharedValue{Root::CurrentUser,
                            L"SOFTWARE\\Classes\\AppXabc\\Deep",
                            NamedValue{L"A", std::wstring()},
                            {L"SOFTWARE\\Classes\\AppXabc\\Deep", L"SOFTWARE\\Classes\\AppXabc"}},
          RemoveSharedValue{Root::CurrentUser,
                            L"SOFTWARE\\Classes\\AppXabc\\Deep",
                            NamedValue{L"B", std::uint32_t{1}},
                            {L"SOFTWARE\\Classes\\AppXabc\\Deep", L"SOFTWARE\\Classes\\AppXabc"}}}},
        // Under no system key the parents are not the setup's to remove.
        {{SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Other\\Deep", L"x"}},
         {RemoveSharedValue{Root::LocalMachine,
                            L"SOFTWARE\\Other\\Deep",
                            NamedValue{L"", std::wstring(L"x")},
                            {L"SOFTWARE\\Other\\Deep"}}}},
        // The system key itself is never removed.
        {{SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes", L"x"}},
         {RemoveSharedValue{
             Root::LocalMachine, L"SOFTWARE\\Classes", NamedValue{L"", std::wstring(L"x")}, {L"SOFTWARE\\Classes"}}}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(RemovalStepsFor(cases[i].writes), cases[i].expected) << "case " << i;
}

TEST(RegistryRemoval, RegistrationIsUndoneKeyByKeyWithTheUninstallEntryAmongIt) {
    const RegistryRemovals steps = RegistrationRemovalSteps(L"C:\\Program Files\\Pixelmoor", UninstallEntry::kIncluded);
    const auto trees = std::count_if(steps.begin(), steps.end(),
                                     [](const RegistryRemoval& s) { return std::holds_alternative<RemoveKeyTree>(s); });
    // Context menu on folders and drives, command class, application key,
    // uninstall entry, application key of the viewer's file, 76 type classes.
    EXPECT_EQ(trees, 82);
    // The list of registered applications, 94 extension classes, 94 user
    // choices and 5 store apps.
    EXPECT_EQ(steps.size() - static_cast<std::size_t>(trees), 194u);

    const std::wstring menu = L"\\shell\\Durchsuchen mit &Pixelmoor";
    const RegistryRemovals first = {
        // The context menu, and the keys of folders and drives when nothing else is left in them.
        RemoveKeyTree{Root::LocalMachine,
                      L"SOFTWARE\\Classes\\Directory" + menu,
                      {L"SOFTWARE\\Classes\\Directory\\shell", L"SOFTWARE\\Classes\\Directory"}},
        RemoveKeyTree{Root::LocalMachine,
                      L"SOFTWARE\\Classes\\Drive" + menu,
                      {L"SOFTWARE\\Classes\\Drive\\shell", L"SOFTWARE\\Classes\\Drive"}},
        RemoveKeyTree{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor", {}},
        RemoveKeyTree{Root::ClassesRoot, L"Applications\\p_moor64.exe", {L"Applications"}},
        UninstallEntryRemoval(),
        RemoveKeyTree{Root::LocalMachine, L"SOFTWARE\\Pixelmoor", {}},
        RemoveSharedValue{Root::LocalMachine,
                          L"SOFTWARE\\RegisteredApplications",
                          NamedValue{L"Pixelmoor", std::wstring(L"SOFTWARE\\Pixelmoor\\Capabilities")},
                          {}},
        // The first extension of the table, ANI.
        RemoveSharedValue{Root::LocalMachine,
                          L"SOFTWARE\\Classes\\.ani",
                          NamedValue{L"", std::wstring(L"Pixelmoor.ani")},
                          {L"SOFTWARE\\Classes\\.ani"}},
        RemoveKeyTree{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor.ani", {}},
        RemoveSharedValue{Root::CurrentUser,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.ani\\UserChoice",
                          NamedValue{L"Progid", std::wstring(L"Pixelmoor.ani")},
                          {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.ani\\UserChoice",
                           L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.ani"}},
    };
    ASSERT_GE(steps.size(), first.size());
    EXPECT_EQ(RegistryRemovals(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(first.size())), first);
    EXPECT_EQ(steps.back(),
              RegistryRemoval(RemoveSharedValue{Root::CurrentUser,
                                                L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h",
                                                NamedValue{L"NoOpenWith", std::wstring()},
                                                {L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"}}));
    EXPECT_EQ(UninstallEntryRemoval().key, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64");

    // Left out, the entry is the one step missing, for an uninstaller to take last.
    RegistryRemovals withoutEntry = steps;
    std::erase(withoutEntry, RegistryRemoval(UninstallEntryRemoval()));
    EXPECT_EQ(RegistrationRemovalSteps(L"C:\\Program Files\\Pixelmoor", UninstallEntry::kLeftOut), withoutEntry);
}

}  // namespace
}  // namespace pixelmoor
