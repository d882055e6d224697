#include "tests/resources/pe_imports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace pixelmoor::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutText(Bytes& b, std::size_t at, const char* text) { std::memcpy(&b[at], text, std::strlen(text) + 1); }

// Field offsets of the small PE32+ image below.
constexpr std::size_t kFileHeader = 0x44;
constexpr std::size_t kOptionalHeader = kFileHeader + 20;
constexpr std::size_t kDirectories = kOptionalHeader + 112;
constexpr std::size_t kSectionTable = kOptionalHeader + 240;
constexpr std::size_t kRaw = 0x200;  // one section: RVA 0x1000 at file offset 0x200, 0x200 bytes
constexpr std::size_t kImportTable = kRaw;
constexpr std::size_t kDelayTable = kRaw + 0x80;

// A PE32+ file with one section that imports KERNEL32.dll and USER32.dll and
// delay-loads comdlg32.dll.
Bytes SmallImage() {
    Bytes b(0x400, 0);
    Put16(b, 0, 0x5A4D);
    Put32(b, 0x3C, 0x40);
    Put32(b, 0x40, 0x00004550);
    Put16(b, kFileHeader, 0x8664);
    Put16(b, kFileHeader + 2, 1);
    Put16(b, kFileHeader + 16, 240);
    Put16(b, kOptionalHeader, 0x20B);
    Put32(b, kOptionalHeader + 108, 16);
    Put32(b, kDirectories + 1 * 8, 0x1000);   // import directory
    Put32(b, kDirectories + 13 * 8, 0x1080);  // delay-load directory
    Put32(b, kSectionTable + 8, 0x200);
    Put32(b, kSectionTable + 12, 0x1000);
    Put32(b, kSectionTable + 16, 0x200);
    Put32(b, kSectionTable + 20, kRaw);
    Put32(b, kImportTable + 12, 0x1100);
    Put32(b, kImportTable + 20 + 12, 0x1110);
    Put32(b, kDelayTable + 4, 0x1120);
    PutText(b, kRaw + 0x100, "KERNEL32.dll");
    PutText(b, kRaw + 0x110, "USER32.dll");
    PutText(b, kRaw + 0x120, "comdlg32.dll");
    return b;
}

std::optional<PeImports> Read(const Bytes& b) { return ReadPeImports(b); }

TEST(PeImports, NamesBothDirectoriesInFileOrder) {
    const auto imports = Read(SmallImage());
    ASSERT_TRUE(imports);
    EXPECT_EQ(imports->dlls, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));
    EXPECT_EQ(imports->delayedDlls, std::vector<std::string>{"comdlg32.dll"});
}

TEST(PeImports, MalformedFilesGiveNothing) {
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
    } cases[] = {
        {"no MZ signature", [](Bytes& b) { b[0] = 'X'; }},
        {"PE header offset far beyond the file", [](Bytes& b) { Put32(b, 0x3C, 0xFFFFFFF0); }},
        {"no PE signature", [](Bytes& b) { b[0x42] = 'X'; }},
        {"optional header neither PE32 nor PE32+", [](Bytes& b) { Put16(b, kOptionalHeader, 0x10C); }},
        {"more directories than the optional header holds",
         [](Bytes& b) { Put32(b, kOptionalHeader + 108, 0x10000000); }},
        {"import table outside every section", [](Bytes& b) { Put32(b, kDirectories + 8, 0x5000); }},
        {"DLL name outside every section", [](Bytes& b) { Put32(b, kImportTable + 12, 0x0F00); }},
        {"DLL name running to the end of the file",
         [](Bytes& b) {
             Put32(b, kImportTable + 12, 0x11FD);
             std::memcpy(&b[0x3FD], "abc", 3);
         }},
        {"import table without its closing zero descriptor",
         [](Bytes& b) {
             for (std::size_t at = kImportTable + 40; at < b.size(); at += 4) Put32(b, at, 0x1100);
         }},
        {"section table beyond the file", [](Bytes& b) { Put16(b, kFileHeader + 2, 40); }},
    };
    for (const auto& c : cases) {
        Bytes b = SmallImage();
        c.spoil(b);
        EXPECT_FALSE(Read(b)) << c.what;
    }
}

TEST(PeImports, FewerDirectoriesMeanNoDelayLoads) {
    Bytes b = SmallImage();
    Put32(b, kOptionalHeader + 108, 2);  // directories 0 and 1 only
    const auto imports = Read(b);
    ASSERT_TRUE(imports);
    EXPECT_EQ(imports->dlls.size(), 2u);
    EXPECT_TRUE(imports->delayedDlls.empty());
}

TEST(PeImports, CutFileGivesNothingOrTheWholeList) {
    const Bytes whole = SmallImage();
    const auto full = Read(whole);
    ASSERT_TRUE(full);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const auto cut = Read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
        if (!cut) continue;
        EXPECT_EQ(cut->dlls, full->dlls) << size;
        EXPECT_EQ(cut->delayedDlls, full->delayedDlls) << size;
    }
}

}  // namespace
}  // namespace pixelmoor::test
