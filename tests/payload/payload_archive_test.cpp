// The payload archive as the setup embeds it: its layout, its entry records
// and the toolbar skins in it.
#include "tests/payload/payload_archive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

PayloadDirectory Directory() {
    std::optional<PayloadDirectory> directory = ReadPayloadDirectory();
    EXPECT_TRUE(directory.has_value()) << Narrow(PayloadZipPath());
    return directory.value_or(PayloadDirectory{});
}

bool IsFolder(const PayloadEntry& entry) { return !entry.name.empty() && entry.name.back() == '/'; }

TEST(PayloadArchive, EntriesAreTheViewerLayoutInFixedOrder) {
    const std::vector<std::string> expected = {
        // the viewer, its uninstaller and the documents that the start menu links
        "p_moor64.exe", "pm_uninstall.exe", "p_about.txt", "p_changes.txt", "p_options.txt", "p_plugins.txt",
        "p_languages.txt", "p_moor64.chm", "readme_zip.txt",
        // help (the start menu links Help/p_moor32_deutsch.chm) and gallery templates
        "Help/", "Help/p_moor32_deutsch.chm", "Html/", "Html/Galerie.htm", "Html/Bildseite.htm", "Html/Index.htm",
        "Html/Vorlagen.txt",
        // languages: the settings name DEUTSCH.DLL
        "Languages/", "Languages/Deutsch.dll", "Languages/English.dll",
        // plug-ins: a file listed before its folder entry, on purpose
        "Plugins/", "Plugins/Plugins32/Bridge.dll", "Plugins/Plugins32/", "Plugins/Camera.dll", "Plugins/Capture.exe",
        "Plugins/Diashow.exe", "Plugins/Filters.dll", "Plugins/Icons.dll", "Plugins/Lossless.dll", "Plugins/Media.dll",
        "Plugins/Metadata.dll", "Plugins/Raster.dll", "Plugins/Sketch.dll", "Plugins/TextScan.dll",
        "Plugins/Vector.dll",
        // the four skins that the settings choose from, each with its description
        "Toolbars/", "Toolbars/gnome-colors-human_48.png", "Toolbars/gnome-colors-human_48.txt",
        "Toolbars/gnome-colors-wise_32.png", "Toolbars/gnome-colors-wise_32.txt", "Toolbars/Basalt_16.png",
        "Toolbars/Basalt_16.txt", "Toolbars/Quillon_24.png", "Toolbars/Quillon_24.txt"};
    std::vector<std::string> names;
    for (const PayloadEntry& entry : Directory().entries) names.push_back(entry.name);
    EXPECT_EQ(names, expected);
}

TEST(PayloadArchive, FoldersAreStoredEmptyAndFilesDeflatedWithPlainAsciiNames) {
    const PayloadDirectory directory = Directory();
    ASSERT_EQ(directory.entries.size(), 43u);
    EXPECT_EQ(directory.commentLength, 0u);
    int folders = 0, files = 0;
    std::size_t longest = 0;
    for (const PayloadEntry& entry : directory.entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(std::all_of(entry.name.begin(), entry.name.end(),
                                [](char c) { return c > 0x20 && c < 0x7f && c != '\\'; }));
        EXPECT_LE(entry.name.size(), 34u);
        longest = std::max(longest, entry.name.size());
        EXPECT_EQ(entry.flags & 1u, 0u);  // not encrypted
        if (IsFolder(entry)) {
            ++folders;
            EXPECT_EQ(entry.method, 0);
            EXPECT_EQ(entry.size, 0u);
            EXPECT_EQ(entry.packedSize, 0u);
            EXPECT_EQ(entry.externalAttributes, static_cast<unsigned long>(FILE_ATTRIBUTE_DIRECTORY));
        } else {
            ++files;
            EXPECT_EQ(entry.method, Z_DEFLATED);
            EXPECT_GT(entry.size, 0u);
            EXPECT_EQ(entry.externalAttributes, static_cast<unsigned long>(FILE_ATTRIBUTE_ARCHIVE));
        }
        // One fixed time stamp, so that the same sources give the same archive.
        EXPECT_EQ(std::vector<int>({entry.year, entry.month, entry.day, entry.hour, entry.minute, entry.second}),
                  std::vector<int>({2026, 12, 1, 12, 0, 0}));
    }
    EXPECT_EQ(folders, 6);
    EXPECT_EQ(files, 37);
    EXPECT_EQ(longest, 34u);  // Toolbars/gnome-colors-human_48.png
}

TEST(PayloadArchive, EachFolderHoldsItsNumberOfFiles) {
    struct Row {
        std::string folder;
        int files;
    };
    const Row rows[] = {
        {"", 9},                    // viewer, uninstaller, five documents, English help, read-me
        {"Plugins/", 12},           // eleven plug-ins and the icon library, directly in the folder
        {"Plugins/Plugins32/", 1},  // the bridge library
        {"Languages/", 2},          // German and English
        {"Toolbars/", 8},           // four skins, four descriptions
        {"Help/", 1},               // German help
        {"Html/", 4},               // three templates and their description
    };
    const PayloadDirectory directory = Directory();
    for (const Row& row : rows) {
        const auto count = std::count_if(directory.entries.begin(), directory.entries.end(), [&](const auto& e) {
            return !IsFolder(e) && e.name.substr(0, e.name.find_last_of('/') + 1) == row.folder;
        });
        EXPECT_EQ(count, row.files) << row.folder;
    }
}

TEST(PayloadArchive, IsSizedLikeTheRealViewer) {
    // The real payload: 4,308,720 bytes packed, about 9.1 MB unpacked. The
    // stand-in keeps within 3 % of both, so that the setup's copy and unpack
    // steps handle realistic amounts of data.
    const std::optional<std::string> archive = ReadFileBytes(PayloadZipPath());
    ASSERT_TRUE(archive.has_value());
    EXPECT_NEAR(static_cast<double>(archive->size()), 4308720.0, 4308720.0 * 0.03);
    std::uint64_t unpacked = 0;
    for (const PayloadEntry& entry : Directory().entries) unpacked += entry.size;
    EXPECT_NEAR(static_cast<double>(unpacked), 9.1e6, 9.1e6 * 0.03);
}

TEST(PayloadArchive, EveryFileReadsBackWithItsCrc) {
    for (const PayloadEntry& entry : Directory().entries) {
        if (IsFolder(entry)) continue;
        const std::optional<std::string> data = ReadPayloadEntry(entry.name);
        ASSERT_TRUE(data.has_value()) << entry.name;
        EXPECT_EQ(data->size(), entry.size) << entry.name;
    }
}

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
    return (std::uint32_t{static_cast<unsigned char>(bytes[at])} << 24) |
           (std::uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8) |
           std::uint32_t{static_cast<unsigned char>(bytes[at + 3])};
}

struct PngImage {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    std::string pixels;  // the inflated image data (a filter byte before each row)
    bool chunksIntact = true;
    bool ended = false;
};

// Walks the chunks of a PNG file, checking each CRC, and inflates its image data.
PngImage DecodePng(const std::string& png) {
    PngImage image;
    std::string packed;
    for (std::size_t at = 8; at + 12 <= png.size() && !image.ended;) {
        const std::uint32_t length = BigEndian32(png, at);
        if (at + 12 + length > png.size()) return PngImage{};
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, length);
        const uLong crc = ::crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
        image.chunksIntact = image.chunksIntact && crc == BigEndian32(png, at + 8 + length);
        if (type == "IHDR" && length == 13) {
            image.width = BigEndian32(data, 0);
            image.height = BigEndian32(data, 4);
            image.depth = static_cast<unsigned char>(data[8]);
            image.colourType = static_cast<unsigned char>(data[9]);
            image.interlace = static_cast<unsigned char>(data[12]);
        }
        if (type == "IDAT") packed += data;
        image.ended = type == "IEND";
        at += 12 + length;
    }
    image.pixels.resize(std::size_t{image.height} * (1 + 4 * std::size_t{image.width}) + 1);
    uLongf size = static_cast<uLongf>(image.pixels.size());
    if (::uncompress(reinterpret_cast<Bytef*>(image.pixels.data()), &size,
                     reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())) != Z_OK)
        size = 0;
    image.pixels.resize(size);
    return image;
}

TEST(PayloadToolbars, SkinsAreRgbaStripsOfTwentyButtonsOfTheirHeight) {
    struct Row {
        const char* entry;
        std::uint32_t height;
    };
    const Row rows[] = {
        {"Toolbars/gnome-colors-human_48.png", 48},  // screens of 1600 lines or 170 % scale
        {"Toolbars/gnome-colors-wise_32.png", 32},   // over 1200 lines or 150 %
        {"Toolbars/Basalt_16.png", 16},              // under 768 lines
        {"Toolbars/Quillon_24.png", 24},             // everything else
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        const std::optional<std::string> png = ReadPayloadEntry(row.entry);
        ASSERT_TRUE(png.has_value());
        ASSERT_GT(png->size(), 8u);
        EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        const PngImage image = DecodePng(*png);
        EXPECT_TRUE(image.chunksIntact);
        EXPECT_TRUE(image.ended);
        EXPECT_EQ(image.height, row.height);
        EXPECT_EQ(image.width, 20 * row.height);
        EXPECT_EQ(image.depth, 8);
        EXPECT_EQ(image.colourType, 6);  // RGBA
        EXPECT_EQ(image.interlace, 0);
        // Every row is there, each led by a filter byte that a reader knows (0 to 4).
        ASSERT_EQ(image.pixels.size(), std::size_t{row.height} * (1 + 4 * 20 * row.height));
        for (std::uint32_t y = 0; y < row.height; ++y)
            EXPECT_LE(static_cast<unsigned char>(image.pixels[y * (1 + 4 * 20 * row.height)]), 4u);
    }
}

}  // namespace
}  // namespace pixelmoor::test
