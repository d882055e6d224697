#include "tests/resources/dialog_template.h"

namespace pixelmoor::test {

namespace {

// Little-endian reads that stop (ok = false) at the end of the bytes.
class Reader {
public:
    explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    [[nodiscard]] bool ok() const { return ok_; }
    std::uint32_t Word() { return Take(2); }
    std::uint32_t Dword() { return Take(4); }
    int Short() { return static_cast<std::int16_t>(Take(2)); }
    std::uint32_t Byte() { return Take(1); }
    void AlignToDword() { position_ = (position_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t count) {
        if (position_ + count > bytes_.size()) ok_ = false;
        position_ += count;
    }

    // A zero-terminated UTF-16 text.
    std::wstring Text() {
        std::wstring text;
        for (std::uint32_t unit = Word(); ok_ && unit != 0; unit = Word()) text += static_cast<wchar_t>(unit);
        return text;
    }
    // Nothing, an ordinal (0xFFFF and a number) or a text.
    std::wstring TextOrOrdinal(std::uint32_t* ordinal = nullptr) {
        const std::uint32_t first = Take(2, /*peek=*/true);
        if (first == 0) {
            Word();
            return {};
        }
        if (first == 0xFFFF) {
            Word();
            const std::uint32_t number = Word();
            if (ordinal != nullptr) *ordinal = number;
            return L"#" + std::to_wstring(number);
        }
        return Text();
    }

private:
    std::uint32_t Take(std::size_t count, bool peek = false) {
        if (!ok_ || position_ + count > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) value |= std::uint32_t{bytes_[position_ + i]} << (8 * i);
        if (!peek) position_ += count;
        return value;
    }

    std::span<const unsigned char> bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT

std::wstring ClassName(Reader& reader) {
    std::uint32_t ordinal = 0;
    std::wstring name = reader.TextOrOrdinal(&ordinal);
    if (ordinal == 0) return name;
    switch (ordinal) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return name;
    }
}

DialogItem ReadItem(Reader& reader, bool extended) {
    DialogItem item;
    reader.AlignToDword();
    if (extended) {
        reader.Dword();  // help id
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
    } else {
        item.style = reader.Dword();
        item.exStyle = reader.Dword();
    }
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = extended ? reader.Dword() : reader.Word();
    item.className = ClassName(reader);
    item.text = reader.TextOrOrdinal();
    reader.Skip(reader.Word());  // creation data
    return item;
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const unsigned char> bytes) {
    Reader reader(bytes);
    DialogTemplate dialog;
    const std::uint32_t version = reader.Word();
    const std::uint32_t signature = reader.Word();
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        reader.Dword();  // help id
        dialog.exStyle = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = version | (signature << 16);
        dialog.exStyle = reader.Dword();
    }
    const std::uint32_t count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    dialog.menu = reader.TextOrOrdinal();
    dialog.className = reader.TextOrOrdinal();
    dialog.title = reader.Text();
    if ((dialog.style & kSetFont) != 0) {
        dialog.pointSize = static_cast<int>(reader.Word());
        if (dialog.extended) {
            dialog.weight = static_cast<int>(reader.Word());
            dialog.italic = static_cast<int>(reader.Byte());
            dialog.charset = static_cast<int>(reader.Byte());
        }
        dialog.face = reader.Text();
    }
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) dialog.items.push_back(ReadItem(reader, dialog.extended));
    if (!reader.ok()) return std::nullopt;
    return dialog;
}

}  // namespace pixelmoor::test
