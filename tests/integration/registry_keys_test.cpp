#include "integration/registry_keys.h"

#include <gtest/gtest.h>

#include "integration/format_table.h"
#include "integration/registration_rules.h"

namespace pixelmoor {
namespace {

using Root = RegistryRoot;

TEST(RegistryKeys, PathRulesFoldOnlyAsciiLettersAndNeedWholeLevels) {
    const struct {
        std::wstring_view a, b;
        bool same;
    } cases[] = {
        {L"software\\CLASSES\\Pixelmoor", L"SOFTWARE\\Classes\\Pixelmoor", true},  // case ignored
        {L"SOFTWARE\\Class", L"SOFTWARE\\Classes", false},                        // not a whole level
        {L"\u00dcber\\x", L"\u00fcber\\x", false},                                   // beyond ASCII: exact
        {L"Software\\Wine", L"SOFTWARE\\wine", true},                           // capitals on either side
        {L"\u00dc", L"\u00fc", false},                                             // an umlaut is not folded
    };
    for (const auto& c : cases) EXPECT_EQ(SameKeyPath(c.a, c.b), c.same) << c.a.size();
    EXPECT_TRUE(IsPlainKeyPath(L"SOFTWARE\\Classes"));
    EXPECT_FALSE(IsPlainKeyPath(L""));
    EXPECT_FALSE(IsPlainKeyPath(L"\\SOFTWARE"));
    EXPECT_FALSE(IsPlainKeyPath(L"SOFTWARE\\"));
    EXPECT_FALSE(IsPlainKeyPath(L"SOFTWARE\\\\Classes"));
}

// The keys held open for a whole registration, besides the keys it writes,
// are the ones where its keys part: the software keys, the classes root of
// each hive, the per-user extension list, the application key and every
// class with its command and icon. Nothing else is held, so nothing beyond
// what the writes name is ever opened.
TEST(RegistryKeys, SharedParentsOfATypicalRegistrationAreWhereItsKeysPart) {
    const RegistrationTexts texts = BuildRegistrationTexts(L"D:\\Tools\\Pixelmoor");
    const RegistryWrites writes = RegistrationWrites(texts, true, ImageRowSelection(), true, 8192);  // any size
    const std::vector<KeyPath> first = {
        {Root::LocalMachine, L"SOFTWARE"},                          // Classes, Microsoft, Pixelmoor, ...
        {Root::LocalMachine, L"SOFTWARE\\Classes"},                 // every class and extension
        {Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor"},      // its command, its icon deleted
        {Root::LocalMachine, L"SOFTWARE\\Pixelmoor"},               // its command and capabilities
        {Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor.ani"},  // command and icon, as every class
        {Root::CurrentUser, L"Software"},                           // the extension list and the classes
        {Root::CurrentUser, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"},  // user choices
    };
    const std::vector<KeyPath> shared = SharedParentKeys(writes);
    ASSERT_EQ(shared.size(), 4u + 76u + 3u);  // 4 in HKLM, 76 classes, 3 in HKCU
    EXPECT_EQ(std::vector<KeyPath>(shared.begin(), shared.begin() + 7), first);
    EXPECT_EQ(shared.back(), (KeyPath{Root::CurrentUser, L"SOFTWARE\\Classes"}));  // spelt as first reached
}

}  // namespace
}  // namespace pixelmoor
