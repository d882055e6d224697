#include "integration/format_table.h"

#include <algorithm>

namespace pixelmoor {

namespace {

// A row as it is written below: its extensions in fixed slots, the count
// beside them.
struct WrittenRow {
    std::wstring_view label;
    std::wstring_view description;
    IconKind icon;
    std::array<FormatExtension, kMaxExtensionsPerRow> extensionSlots;
    std::size_t extensionCount;
};

// One row per line, so that the table reads like the list the user sees.
// Only read while compiling: the program holds the rows with their
// extensions packed one after another (a third of the bytes of the slots).
// clang-format off
constexpr WrittenRow kWrittenRows[kFormatRowCount] = {
    {L"ANI", L"Animated Windows Cursors *", IconKind::Own, {{{L"ani", L"ani"}}}, 1},
    {L"ARW/DNG/ERF/NEF/NRW/RWL", L"Digital Camera RAW Formats *", IconKind::Viewer, {{{L"arw", L"arw"}, {L"dng", L"dng"}, {L"erf", L"erf"}, {L"nef", L"nef"}, {L"nrw", L"nrw"}, {L"rwl", L"rwl"}}}, 6},
    {L"AVIF", L"AV1 image file format *", IconKind::Viewer, {{{L"avif", L"avif"}}}, 1},
    {L"B3D", L"BodyPaint 3D Format *", IconKind::Viewer, {{{L"b3d", L"b3d"}}}, 1},
    {L"BMP/DIB", L"Windows Bitmap", IconKind::Viewer, {{{L"bmp", L"bmp"}, {L"dib", L"bmp"}}}, 2},
    {L"CLP", L"Windows Clipboard *", IconKind::Viewer, {{{L"clp", L"clp"}}}, 1},
    {L"CRW/CR2/CR3", L"Canon RAW Format *", IconKind::Viewer, {{{L"crw", L"crw"}, {L"cr2", L"cr2"}, {L"cr3", L"cr3"}}}, 3},
    {L"CUR", L"Windows Cursor", IconKind::Own, {{{L"cur", L"cur"}}}, 1},
    {L"DCM/ACR/IMA", L"DICOM Format *", IconKind::Viewer, {{{L"dcm", L"dcm"}, {L"acr", L"dcm"}, {L"ima", L"dcm"}}}, 3},
    {L"DCX", L"Multipage Zsoft Paintbrush", IconKind::Viewer, {{{L"dcx", L"dcx"}}}, 1},
    {L"DDS", L"Direct Draw Surface *", IconKind::Viewer, {{{L"dds", L"dds"}}}, 1},
    {L"DJVU/IW44", L"DjVu Format *", IconKind::Viewer, {{{L"djvu", L"djvu"}, {L"iw44", L"djvu"}}}, 2},
    {L"DXF", L"Drawing Interchange Format *", IconKind::Viewer, {{{L"dxf", L"dxf"}}}, 1},
    {L"ECW", L"Enhanced Compressed Wavelet *", IconKind::Viewer, {{{L"ecw", L"ecw"}}}, 1},
    {L"EMF", L"Enhanced Windows Metafile", IconKind::Viewer, {{{L"emf", L"emf"}}}, 1},
    {L"EPS/PS", L"PostScript Format *", IconKind::Viewer, {{{L"eps", L"eps"}, {L"ps", L"eps"}}}, 2},
    {L"EXR", L"EXR Format *", IconKind::Viewer, {{{L"exr", L"exr"}}}, 1},
    {L"G3", L"G3 FAX Format *", IconKind::Viewer, {{{L"g3", L"g3"}}}, 1},
    {L"GIF", L"Compuserve GIF", IconKind::Viewer, {{{L"gif", L"gif"}}}, 1},
    {L"HDP/JXR/WDP", L"JPEG-XR/HD-Photo Format *", IconKind::Viewer, {{{L"hdp", L"hdp"}, {L"jxr", L"hdp"}, {L"wdp", L"hdp"}}}, 3},
    {L"HEIC", L"High Efficiency Image File Format *", IconKind::Viewer, {{{L"heic", L"heic"}}}, 1},
    {L"ICO", L"Windows Icon", IconKind::Own, {{{L"ico", L"ico"}}}, 1},
    {L"IFF/LBM", L"Amiga Interchange File Format *", IconKind::Viewer, {{{L"iff", L"iff"}, {L"lbm", L"iff"}}}, 2},
    {L"JLS", L"JPEG-LS Format *", IconKind::Viewer, {{{L"jls", L"jls"}}}, 1},
    {L"JP2/JPC/J2K", L"JPEG2000 Format *", IconKind::Viewer, {{{L"jp2", L"jp2"}, {L"jpc", L"jp2"}, {L"j2k", L"jp2"}}}, 3},
    {L"JPG/JPEG/JFIF/JPE", L"JPEG Format", IconKind::Viewer, {{{L"jpg", L"jpg"}, {L"jpeg", L"jpg"}, {L"jfif", L"jpg"}, {L"jpe", L"jpg"}}}, 4},
    {L"JPM", L"JPM Format *", IconKind::Viewer, {{{L"jpm", L"jpm"}}}, 1},
    {L"JXL", L"JPEG XL Format *", IconKind::Viewer, {{{L"jxl", L"jxl"}}}, 1},
    {L"MNG/JNG", L"Multiple Network Graphics *", IconKind::Viewer, {{{L"mng", L"mng"}, {L"jng", L"jng"}}}, 2},
    {L"PBM", L"Portable Bitmap", IconKind::Viewer, {{{L"pbm", L"pbm"}}}, 1},
    {L"PCD", L"Kodak Photo CD", IconKind::Viewer, {{{L"pcd", L"pcd"}}}, 1},
    {L"PCX", L"Zsoft Paintbrush", IconKind::Viewer, {{{L"pcx", L"pcx"}}}, 1},
    {L"PGM", L"Portable Greymap", IconKind::Viewer, {{{L"pgm", L"pgm"}}}, 1},
    {L"PNG", L"Portable Network Graphics", IconKind::Viewer, {{{L"png", L"png"}}}, 1},
    {L"PPM", L"Portable Pixelmap", IconKind::Viewer, {{{L"ppm", L"ppm"}}}, 1},
    {L"PSD", L"Adobe Photoshop Image", IconKind::Viewer, {{{L"psd", L"psd"}}}, 1},
    {L"PSP", L"Paint Shop Pro Image *", IconKind::Viewer, {{{L"psp", L"psp"}}}, 1},
    {L"QOI", L"Quite OK Image *", IconKind::Viewer, {{{L"qoi", L"qoi"}}}, 1},
    {L"RAS/SUN", L"Sun Raster Format *", IconKind::Viewer, {{{L"ras", L"ras"}, {L"sun", L"ras"}}}, 2},
    {L"RAW", L"RAW Image Data *", IconKind::Viewer, {{{L"raw", L"raw"}}}, 1},
    {L"RLE", L"Utah RLE Format *", IconKind::Viewer, {{{L"rle", L"rle"}}}, 1},
    {L"SFF", L"Structured Fax Format *", IconKind::Viewer, {{{L"sff", L"sff"}}}, 1},
    {L"SGI/RGB", L"Silicon Graphics Image *", IconKind::Viewer, {{{L"sgi", L"sgi"}, {L"rgb", L"sgi"}}}, 2},
    {L"SID", L"LizardTech MrSID Format *", IconKind::Viewer, {{{L"sid", L"sid"}}}, 1},
    {L"TGA", L"Truevision Targa", IconKind::Viewer, {{{L"tga", L"tga"}}}, 1},
    {L"TIF/TIFF", L"Tagged Image File Format", IconKind::Viewer, {{{L"tif", L"tif"}, {L"tiff", L"tif"}}}, 2},
    {L"WBMP", L"WAP Bitmap *", IconKind::Viewer, {{{L"wbmp", L"wbmp"}}}, 1},
    {L"WEBP", L"Weppy Format *", IconKind::Viewer, {{{L"webp", L"webp"}}}, 1},
    {L"WMF", L"Windows Metafile", IconKind::Viewer, {{{L"wmf", L"wmf"}}}, 1},
    {L"XBM", L"X-Bitmap *", IconKind::Viewer, {{{L"xbm", L"xbm"}}}, 1},
    {L"XPM", L"X-Pixmap *", IconKind::Viewer, {{{L"xpm", L"xpm"}}}, 1},
    {L"SWF/FLV", L"Macromedia Flash Format *", IconKind::Viewer, {{{L"swf", L"swf"}, {L"flv", L"flv"}}}, 2},
    {L"TTF", L"True Type Font Format *", IconKind::Viewer, {{{L"ttf", L"ttf"}}}, 1},
    {L"ASF", L"Advanced Systems Format *", IconKind::Video, {{{L"asf", L"asf"}}}, 1},
    {L"AVI", L"Video for Windows *", IconKind::Video, {{{L"avi", L"avi"}}}, 1},
    {L"MPG/MPE/MPEG", L"MPEG Movie *", IconKind::Video, {{{L"mpg", L"mpg"}, {L"mpe", L"mpe"}, {L"mpeg", L"mpg"}}}, 3},
    {L"MOV", L"Apple QuickTime Movie *", IconKind::Video, {{{L"mov", L"mov"}}}, 1},
    {L"WMV", L"Windows Media Video File *", IconKind::Video, {{{L"wmv", L"wmv"}}}, 1},
    {L"AIF", L"Audio Interchange Format *", IconKind::Audio, {{{L"aif", L"aif"}}}, 1},
    {L"MID/RMI", L"MIDI Sound Format *", IconKind::Audio, {{{L"mid", L"mid"}, {L"rmi", L"rmi"}}}, 2},
    {L"MP3", L"MPEG Audio Format *", IconKind::Audio, {{{L"mp3", L"mp3"}}}, 1},
    {L"OGG", L"Ogg Vorbis Audio Format *", IconKind::Audio, {{{L"ogg", L"ogg"}}}, 1},
    {L"AU/SND", L"SUN Audio Format *", IconKind::Audio, {{{L"au", L"au"}, {L"snd", L"au"}}}, 2},
    {L"WAV", L"Windows Audio Format *", IconKind::Audio, {{{L"wav", L"wav"}}}, 1},
    {L"WMA", L"Windows Media Audio File *", IconKind::Audio, {{{L"wma", L"wma"}}}, 1},
};
// clang-format on

// Every row uses exactly its counted slots: the used ones filled, the others empty.
static_assert([] {
    for (const WrittenRow& row : kWrittenRows) {
        if (row.extensionCount < 1 || row.extensionCount > kMaxExtensionsPerRow) return false;
        for (std::size_t slot = 0; slot < kMaxExtensionsPerRow; ++slot) {
            const bool used = slot < row.extensionCount;
            if (row.extensionSlots[slot].extension.empty() == used || row.extensionSlots[slot].type.empty() == used)
                return false;
        }
    }
    return true;
}());

constexpr std::size_t kExtensionCount = [] {
    std::size_t count = 0;
    for (const WrittenRow& row : kWrittenRows) count += row.extensionCount;
    return count;
}();

constexpr std::array<FormatExtension, kExtensionCount> kExtensions = [] {
    std::array<FormatExtension, kExtensionCount> extensions{};
    std::size_t next = 0;
    for (const WrittenRow& row : kWrittenRows)
        for (std::size_t slot = 0; slot < row.extensionCount; ++slot) extensions[next++] = row.extensionSlots[slot];
    return extensions;
}();

constexpr std::array<FormatRow, kFormatRowCount> kRows = [] {
    std::array<FormatRow, kFormatRowCount> rows{};
    std::size_t first = 0;
    for (std::size_t i = 0; i < kFormatRowCount; ++i) {
        const WrittenRow& row = kWrittenRows[i];
        rows[i] = {row.label, row.description, row.icon,
                   std::span<const FormatExtension>(kExtensions.data() + first, row.extensionCount)};
        first += row.extensionCount;
    }
    return rows;
}();

}  // namespace

std::span<const FormatRow, kFormatRowCount> FormatTable() { return std::span<const FormatRow, kFormatRowCount>(kRows); }

AssociationSelection ImageRowSelection() {
    AssociationSelection selection{};
    std::fill_n(selection.begin(), kImageRowCount, 1);
    return selection;
}

AssociationSelection FullSelection() {
    AssociationSelection selection;
    selection.fill(1);
    return selection;
}

bool AssociationRequested(const AssociationSelection& selection) noexcept {
    return std::any_of(selection.begin(), selection.end(), [](std::int32_t flag) { return flag != 0; });
}

}  // namespace pixelmoor
