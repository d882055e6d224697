// The hyperlink and the colour static attached to real static controls of a
// dialog under Wine: what the dialog's colour requests, fonts, sizes and
// painted pixels show, and what a click opens.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/dialog_result.h"
#include "framework/gdi_objects.h"
#include "contract/product.h"
#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"
#include "wizard/color_static.h"
#include "wizard/hyperlink.h"

namespace pixelmoor {
namespace {

constexpr int kLeftLink = 1001;
constexpr int kCentredLink = 1002;
constexpr int kEmptyLink = 1003;
constexpr int kRightLink = 1004;
constexpr int kSecondLink = 1005;
constexpr int kStatusLine = 1010;  // SS_CENTER | SS_CENTERIMAGE, wide
constexpr int kWrapping = 1011;    // left aligned, narrow and tall
constexpr int kNarrowLine = 1012;  // SS_CENTER | SS_CENTERIMAGE, narrower than its text

constexpr COLORREF kLinkColour = RGB(0, 0, 238);
constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
constexpr COLORREF kHoverColour = RGB(255, 0, 0);

INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> result = ReflectControlMessage(message, wParam, lParam)) {
        return DialogProcResult(dialog, message, *result);
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The test dialog (not shown). Declared after the control objects of a
// test, so that it is destroyed before them.
class TestDialog {
public:
    TestDialog() : dialog_(::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), nullptr, HostProc, 0)) {}
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;
    ~TestDialog() {
        if (dialog_) ::DestroyWindow(dialog_);
    }
    operator HWND() const { return dialog_; }
    [[nodiscard]] HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }

private:
    HWND dialog_;
};

// What the dialog answers to a static control's colour request.
struct ColourAnswer {
    COLORREF text;
    int backgroundMode;
    HBRUSH brush;
};

ColourAnswer AskColour(HWND dialog, HWND control) {
    const UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(control)));
    return {::GetTextColor(dc.get()), ::GetBkMode(dc.get()), brush};
}

LOGFONTW ShownFont(HWND control) {
    return CFont::LogFontOf(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0))).value_or(LOGFONTW{});
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

RECT RectInParent(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The size of a text in the control's dialog font with underlining, which is
// what the link measures itself with.
SIZE UnderlinedTextSize(HWND control, const std::wstring& text) {
    LOGFONTW logFont = ShownFont(control);
    logFont.lfUnderline = TRUE;
    const UniqueFont font(::CreateFontIndirectW(&logFont));
    const ScreenDc dc(control);
    const HGDIOBJ previous = ::SelectObject(dc.get(), font.get());
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc.get(), previous);
    return size;
}

// Dispatches this thread's messages until `done` holds; false after 10
// seconds without it. `seen` watches each message before it is dispatched.
bool PumpUntil(const std::function<bool()>& done, const std::function<void(const MSG&)>& seen = {}) {
    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (!done()) {
        if (::GetTickCount64() > deadline) return false;
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (seen) seen(message);
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

TEST(Hyperlink, SetUpTakesTargetAndTextFromEachOther) {
    const std::wstring faq = kFaqAddress;
    const struct {
        int id;
        std::wstring targetBefore;  // set before binding (empty: none)
        std::wstring text;          // shown afterwards
        std::wstring target;        // opened by a click
    } rows[] = {
        {kLeftLink, L"", L"Pixelmoor EULA", L"Pixelmoor EULA"},  // no target: the text is the target
        {kEmptyLink, faq, faq, faq},                             // no text: the target is shown
        {kLeftLink, faq, L"Pixelmoor EULA", faq},                // both given: each stays
    };
    for (const auto& row : rows) {
        CHyperLink link;
        const TestDialog dialog;
        if (!row.targetBefore.empty()) link.SetLinkTarget(row.targetBefore);
        ASSERT_TRUE(link.SubclassDlgItem(row.id, dialog));
        EXPECT_EQ(WindowText(link.GetSafeHwnd()), row.text);
        EXPECT_EQ(link.LinkTarget(), row.target);
        // clicks are reported, and the hand cursor is shown over it
        EXPECT_NE(::GetWindowLongW(link.GetSafeHwnd(), GWL_STYLE) & SS_NOTIFY, 0);
        ASSERT_NE(link.LinkCursor(), nullptr);
        EXPECT_EQ(::SendMessageW(link.GetSafeHwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.GetSafeHwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(::GetCursor(), link.LinkCursor());
    }

    // The welcome page's order: bind, always underline, then the licence page.
    CHyperLink licence;
    const TestDialog dialog;
    ASSERT_TRUE(licence.SubclassDlgItem(kLeftLink, dialog));
    licence.SetUnderlineMode(CHyperLink::kUnderlineAlways);
    licence.SetLinkTarget(kLicenceAddress);
    EXPECT_EQ(WindowText(licence.GetSafeHwnd()), L"Pixelmoor EULA");
    EXPECT_EQ(licence.LinkTarget(), std::wstring(kLicenceAddress));
    EXPECT_TRUE(ShownFont(licence.GetSafeHwnd()).lfUnderline);
    // a second binding of the same object changes nothing
    EXPECT_FALSE(licence.SubclassDlgItem(kSecondLink, dialog));
    EXPECT_EQ(CStatic::FromHandle(dialog.Item(kSecondLink)), nullptr);
}

TEST(Hyperlink, FitToTextKeepsTheEdgeOrCentreOfItsAlignment) {
    enum Keeps { Left, Centre, Right };
    const struct {
        int id;
        Keeps keeps;
    } rows[] = {
        {kLeftLink, Left},      // LTEXT: the left edge stays
        {kCentredLink, Centre}, // CTEXT: the centre stays
        {kRightLink, Right},    // RTEXT: the right edge stays
    };
    for (const auto& row : rows) {
        CHyperLink link;
        const TestDialog dialog;
        const HWND control = dialog.Item(row.id);
        const RECT before = RectInParent(control);
        const SIZE text = UnderlinedTextSize(control, L"Pixelmoor EULA");
        ASSERT_LT(text.cx, before.right - before.left) << "the test control must be wider than its text";
        ASSERT_TRUE(link.SubclassDlgItem(row.id, dialog));
        const RECT after = RectInParent(control);

        // the top stays and the height becomes the text's (no frame)
        EXPECT_EQ(after.top, before.top) << row.id;
        EXPECT_EQ(after.bottom - after.top, text.cy) << row.id;
        const int width = after.right - after.left;
        switch (row.keeps) {
        case Left:
            EXPECT_EQ(after.left, before.left);
            EXPECT_EQ(width, text.cx);
            break;
        case Centre:
            // both edges move by the same amount; an odd difference leaves one pixel over
            EXPECT_EQ(after.left + after.right, before.left + before.right);
            EXPECT_EQ(width, text.cx + ((before.right - before.left) - text.cx) % 2);
            break;
        case Right:
            EXPECT_EQ(after.right, before.right);
            EXPECT_EQ(width, text.cx);
            break;
        }
    }
}

TEST(Hyperlink, ColoursAndUnderlineFollowTheMouseAndTheMode) {
    const struct {
        int mode;
        bool before, over, after;  // underlined
    } rows[] = {
        {CHyperLink::kUnderlineOnHover, false, true, false},  // only while the mouse is over it
        {CHyperLink::kUnderlineAlways, true, true, true},     // always
        {CHyperLink::kUnderlineNever, false, false, false},   // never
    };
    for (const auto& row : rows) {
        CHyperLink link;
        const TestDialog dialog;
        ASSERT_TRUE(link.SubclassDlgItem(kLeftLink, dialog));
        link.SetUnderlineMode(row.mode);
        const HWND control = link.GetSafeHwnd();

        const ColourAnswer idle = AskColour(dialog, control);
        EXPECT_EQ(idle.text, kLinkColour) << row.mode;
        EXPECT_EQ(idle.backgroundMode, TRANSPARENT) << row.mode;
        EXPECT_EQ(idle.brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))) << row.mode;
        EXPECT_EQ(ShownFont(control).lfUnderline != 0, row.before) << row.mode;

        // the mouse comes onto the link
        RECT screen{};
        ::GetWindowRect(control, &screen);
        ASSERT_TRUE(::SetCursorPos((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2));
        ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(AskColour(dialog, control).text, kHoverColour) << row.mode;
        EXPECT_EQ(ShownFont(control).lfUnderline != 0, row.over) << row.mode;

        // the hover timer finds it still there: nothing changes
        int ticks = 0;
        ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; },
                              [&](const MSG& m) { ticks += m.message == WM_TIMER && m.hwnd == control; }));
        EXPECT_EQ(AskColour(dialog, control).text, kHoverColour) << row.mode;

        // the mouse leaves: the next timer tick restores the link colour
        ASSERT_TRUE(::SetCursorPos(screen.right + 40, screen.bottom + 40));
        EXPECT_TRUE(PumpUntil([&] { return AskColour(dialog, control).text == kLinkColour; })) << row.mode;
        EXPECT_EQ(ShownFont(control).lfUnderline != 0, row.after) << row.mode;
    }
}

// The handler of ".htm" files as a test sets it, restored afterwards. The
// fallback opener reads it through HKEY_CLASSES_ROOT.
class HtmlHandlerScope {
public:
    HtmlHandlerScope() : saved_(test::ReadRegString(HKEY_LOCAL_MACHINE, kHtm, nullptr)) {}
    HtmlHandlerScope(const HtmlHandlerScope&) = delete;
    HtmlHandlerScope& operator=(const HtmlHandlerScope&) = delete;
    ~HtmlHandlerScope() {
        if (saved_) test::WriteRegString(HKEY_LOCAL_MACHINE, kHtm, nullptr, *saved_);
        for (const wchar_t* name : {kWithCommand, kWithoutCommand, kLongCommand}) {
            test::DeleteRegTree(HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\") + name);
        }
    }

    // ".htm" names this class (written with its terminator, or without).
    void Use(const wchar_t* className, bool terminated = true) const {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHtm, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        // The registry adds a terminator that the count leaves out when one
        // follows the data; a character after it keeps the value unterminated.
        const std::wstring data = std::wstring(className) + (terminated ? L'\0' : L'#');
        const auto bytes = static_cast<DWORD>((data.size() - (terminated ? 0 : 1)) * sizeof(wchar_t));
        ASSERT_EQ(::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes),
                  ERROR_SUCCESS);
    }
    static void SetCommand(const wchar_t* className, const std::wstring& command) {
        test::WriteRegString(HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\") + className + L"\\shell\\open\\command",
                             nullptr, command);
    }

    static constexpr wchar_t kHtm[] = L"SOFTWARE\\Classes\\.htm";
    static constexpr wchar_t kWithCommand[] = L"Pixelmoor.LinkTest.Echo";
    static constexpr wchar_t kWithoutCommand[] = L"Pixelmoor.LinkTest.NoCommand";
    static constexpr wchar_t kLongCommand[] = L"Pixelmoor.LinkTest.Long";

private:
    std::optional<std::wstring> saved_;
};

TEST(Hyperlink, ClickShowsVisitedOnlyAfterASuccessfulOpen) {
    const std::wstring scratch = test::MakeScratchFolder(L"hyperlink-open");
    const std::wstring opened = scratch + L"opened.txt";
    const std::wstring echoed = scratch + L"echoed.txt";
    const std::wstring missing = scratch + L"missing.pmlink";
    const std::wstring probe = scratch + L"open_probe.bat";
    ASSERT_TRUE(test::WriteFileBytes(probe, "@echo opened>\"" + test::Narrow(opened) + "\"\r\n"));

    HtmlHandlerScope handler;
    HtmlHandlerScope::SetCommand(HtmlHandlerScope::kWithCommand,
                                 L"C:\\windows\\system32\\cmd.exe /c >\"" + echoed + L"\" echo %1");
    HtmlHandlerScope::SetCommand(HtmlHandlerScope::kLongCommand,
                                 L"C:\\windows\\system32\\cmd.exe /c echo " + std::wstring(100, L'x') + L" %1");
    test::WriteRegString(HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\") + HtmlHandlerScope::kWithoutCommand,
                         nullptr, L"no command");

    CHyperLink link;
    const TestDialog dialog;
    ASSERT_TRUE(link.SubclassDlgItem(kLeftLink, dialog));
    const HWND control = link.GetSafeHwnd();
    EXPECT_EQ(AskColour(dialog, control).text, kLinkColour);

    // Each row clicks once; the visited state carries over to the next row.
    const struct {
        const std::wstring* target;
        const wchar_t* htmlClass;  // what ".htm" names (null: left as it is)
        bool terminated;
        COLORREF colour;           // afterwards
        const std::wstring* trace; // file the open leaves behind
    } rows[] = {
        // the shell opens an existing file (a batch file that leaves a trace)
        {&probe, nullptr, true, kVisitedColour, &opened},
        // the shell fails and ".htm" has no open command: the visit is cleared
        {&missing, HtmlHandlerScope::kWithoutCommand, true, kLinkColour, nullptr},
        // the shell fails; the ".htm" program is started with the target
        {&missing, HtmlHandlerScope::kWithCommand, true, kVisitedColour, &echoed},
        // that program's command does not fit 260 bytes: counts as missing
        {&missing, HtmlHandlerScope::kLongCommand, true, kLinkColour, nullptr},
        // the class name is stored without its terminator: counts as missing
        {&missing, HtmlHandlerScope::kWithCommand, false, kLinkColour, nullptr},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        if (row.htmlClass != nullptr) handler.Use(row.htmlClass, row.terminated);
        link.SetLinkTarget(*row.target);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kLeftLink, STN_CLICKED), reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(AskColour(dialog, control).text, row.colour) << "row " << i;
        if (row.trace != nullptr) {
            // the started program has written its line
            EXPECT_TRUE(PumpUntil([&] {
                return test::ReadFileBytes(*row.trace).value_or("").find("\r\n") != std::string::npos;
            })) << "row " << i;
        }
    }
    // the batch file ran; the ".htm" program got the target after its cut command
    EXPECT_EQ(test::ReadFileBytes(opened).value_or("(none)"), "opened\r\n");
    EXPECT_EQ(test::ReadFileBytes(echoed).value_or("(none)"), " " + test::Narrow(missing) + "\r\n");
    test::RemoveTree(scratch);
}

// The control drawn into a 32-bit bitmap of its client size: the background
// as erased, then the text as painted.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    [[nodiscard]] bool IsRed(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return ((p >> 16) & 0xFF) >= 200 && ((p >> 8) & 0xFF) <= 80 && (p & 0xFF) <= 80;
    }
    [[nodiscard]] bool RowHasRed(int y) const {
        for (int x = 0; x < width; ++x) {
            if (IsRed(x, y)) return true;
        }
        return false;
    }
    [[nodiscard]] bool ColumnHasRed(int x) const {
        for (int y = 0; y < height; ++y) {
            if (IsRed(x, y)) return true;
        }
        return false;
    }
};

Picture Draw(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    Picture picture{client.right, client.bottom, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return picture;
    const HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
    ::SendMessageW(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(first, first + picture.width * picture.height);
    ::SelectObject(dc.get(), previous);
    return picture;
}

// The first and last row (or column) that holds red, -1 when none does.
std::pair<int, int> RedSpan(int count, const std::function<bool(int)>& hasRed) {
    int first = -1, last = -1;
    for (int i = 0; i < count; ++i) {
        if (!hasRed(i)) continue;
        if (first < 0) first = i;
        last = i;
    }
    return {first, last};
}

int LineHeight(HFONT font) {
    const ScreenDc dc;
    const HGDIOBJ previous = ::SelectObject(dc.get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    ::SelectObject(dc.get(), previous);
    return metrics.tmHeight;
}

void MakeStatusText(CXColorStatic& status, int height) {
    status.SetTextColor(RGB(255, 0, 0));
    status.UseBoldWeight(true);
    status.UseArialFont(height);
}

TEST(ColorStatic, StatusTextIsBoldRedArialCentredOnTheButtonFace) {
    CXColorStatic status;
    const TestDialog dialog;
    ASSERT_TRUE(status.SubclassDlgItem(kStatusLine, dialog));
    MakeStatusText(status, 24);

    const LOGFONTW font = CFont::LogFontOf(status.TextFont()).value_or(LOGFONTW{});
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    EXPECT_EQ(font.lfHeight, 24);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(status.TextColor(), RGB(255, 0, 0));
    // its own font is not handed to the window
    EXPECT_NE(reinterpret_cast<HFONT>(::SendMessageW(status.GetSafeHwnd(), WM_GETFONT, 0, 0)), status.TextFont());

    const Picture picture = Draw(status.GetSafeHwnd());
    ASSERT_GT(picture.width, 0);
    const std::uint32_t face = ::GetSysColor(COLOR_BTNFACE);
    const std::uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    EXPECT_EQ(picture.pixels[0], faceRgb) << "background";
    // one line of red text, centred both ways
    const auto [top, bottom] = RedSpan(picture.height, [&](int y) { return picture.RowHasRed(y); });
    const auto [left, right] = RedSpan(picture.width, [&](int x) { return picture.ColumnHasRed(x); });
    ASSERT_GE(top, 0) << "no red text";
    EXPECT_LE(bottom - top, LineHeight(status.TextFont()));
    EXPECT_NEAR(top + bottom, picture.height - 1, 4) << "vertical centre";
    EXPECT_NEAR(left + right, picture.width - 1, 6) << "horizontal centre";
}

TEST(ColorStatic, TextWrapsAtWordsOnlyWithoutCentreImage) {
    const struct {
        int id;
        bool wraps;
    } rows[] = {
        {kWrapping, true},     // left aligned, no SS_CENTERIMAGE: several lines from the top
        {kNarrowLine, false},  // SS_CENTERIMAGE: one line, even when it does not fit
    };
    for (const auto& row : rows) {
        CXColorStatic status;
        const TestDialog dialog;
        ASSERT_TRUE(status.SubclassDlgItem(row.id, dialog));
        MakeStatusText(status, 16);
        const Picture picture = Draw(status.GetSafeHwnd());
        const int line = LineHeight(status.TextFont());
        const auto [top, bottom] = RedSpan(picture.height, [&](int y) { return picture.RowHasRed(y); });
        ASSERT_GE(top, 0) << row.id;
        if (row.wraps) {
            EXPECT_LT(top, line) << "starts on the first line";
            EXPECT_GT(bottom - top, line) << "more than one line";
        } else {
            EXPECT_LE(bottom - top, line) << "one line";
        }
    }
}

TEST(ColorStatic, BoldThenFontAndFontThenBoldGiveTheSameFont) {
    CXColorStatic boldFirst;
    CXColorStatic fontFirst;
    const TestDialog dialog;
    ASSERT_TRUE(boldFirst.SubclassDlgItem(kStatusLine, dialog));
    ASSERT_TRUE(fontFirst.SubclassDlgItem(kNarrowLine, dialog));
    boldFirst.UseBoldWeight(true);
    boldFirst.UseArialFont(27);
    fontFirst.UseArialFont(27);
    fontFirst.UseBoldWeight(true);

    const LOGFONTW a = CFont::LogFontOf(boldFirst.TextFont()).value_or(LOGFONTW{});
    const LOGFONTW b = CFont::LogFontOf(fontFirst.TextFont()).value_or(LOGFONTW{});
    EXPECT_STREQ(a.lfFaceName, L"Arial");
    EXPECT_EQ(a.lfHeight, 27);
    EXPECT_EQ(a.lfWeight, 700);
    // the same font either way: face and height kept, only the weight changed
    EXPECT_STREQ(b.lfFaceName, a.lfFaceName);
    EXPECT_EQ(b.lfHeight, a.lfHeight);
    EXPECT_EQ(b.lfWidth, a.lfWidth);
    EXPECT_EQ(b.lfWeight, a.lfWeight);
    EXPECT_EQ(b.lfItalic, a.lfItalic);
    EXPECT_EQ(b.lfUnderline, a.lfUnderline);
    EXPECT_EQ(b.lfCharSet, a.lfCharSet);
    EXPECT_EQ(b.lfQuality, a.lfQuality);
    EXPECT_EQ(b.lfPitchAndFamily, a.lfPitchAndFamily);

    // turning bold off again keeps the face and height too
    fontFirst.UseBoldWeight(false);
    const LOGFONTW c = CFont::LogFontOf(fontFirst.TextFont()).value_or(LOGFONTW{});
    EXPECT_STREQ(c.lfFaceName, L"Arial");
    EXPECT_EQ(c.lfHeight, 27);
    EXPECT_EQ(c.lfWeight, 400);
}

}  // namespace
}  // namespace pixelmoor
