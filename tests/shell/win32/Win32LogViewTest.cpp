// The log view driven by the messages a user's keys and mouse send, on a log in memory: what it does to the log,
// the caret, the clipboard, the scroll bars and what screen readers are told.

#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/win32/WindowClass.h"
#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "shell/win32/Clipboard.h"
#include "shell/win32/LogViewAccessible.h"
#include "shell/win32/UniqueHandle.h"
#include "shell/win32/Win32FindBar.h"
#include "shell/win32/Win32LogView.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using namespace test;

constexpr int kViewId = 1001;
constexpr wchar_t kFrameClass[] = L"OvinLogViewTestFrame";

const wchar_t* frameClass()
{
    return win32::RegisterWindowClass({.name = kFrameClass, .procedure = DefWindowProcW, .cursor = nullptr})
               ? kFrameClass
               : L"STATIC";
}

/// A hidden top-level window holding the view on a log of `text`.
struct ViewOnLog {
    explicit ViewOnLog(const std::string& text, int width = 400, int height = 200)
    {
        if (!text.empty())
            log.editText(0, 0, text);
        frame.reset(CreateWindowExW(0, frameClass(), L"test", WS_OVERLAPPEDWINDOW, 0, 0, width + 50, height + 50,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        view = std::make_unique<Win32LogView>(frame.get(), log, kViewId);
        MoveWindow(view->hwnd(), 0, 0, width, height, FALSE);
    }
    ~ViewOnLog()
    {
        view.reset();
        setModifiers({});
    }

    /// Holds the modifier keys down for the keys that follow, as GetKeyState reads them.
    static void setModifiers(std::vector<int> keys)
    {
        BYTE state[256] = {};
        for (int k : keys)
            state[k] = 0x80;
        SetKeyboardState(state);
    }
    void key(UINT vk, std::vector<int> modifiers = {})
    {
        setModifiers(modifiers);
        SendMessageW(hwnd(), WM_KEYDOWN, vk, 1);
        setModifiers({});
    }
    void type(const std::wstring& chars)
    {
        for (wchar_t c : chars)
            SendMessageW(hwnd(), WM_CHAR, c, 1);
    }
    void mouse(UINT message, int x, int y, WPARAM keys = 0) { SendMessageW(hwnd(), message, keys, MAKELPARAM(x, y)); }
    SCROLLINFO scroll(int bar) const
    {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(view->hwnd(), bar, &si);
        return si;
    }

    HWND hwnd() const { return view->hwnd(); }
    const LogDocument& doc() const { return view->document(); }

    FakeClock clock;
    FakeFileSystem files;
    EventLog log{files, clock, "C:\\app\\"};
    win32::WindowHandle frame;
    std::unique_ptr<Win32LogView> view;
};

TEST(Win32LogView, TypingEditsTheLog)
{
    const struct {
        const char* name;
        std::size_t caret;
        std::wstring typed;
        std::vector<UINT> keys;  // after the typed characters
        std::string expected;
    } cases[] = {
        {"at the end", 11, L"ab", {}, "one\r\ntwo\r\nab"},
        {"in the middle", 3, L"X", {}, "oneX\r\ntwo\r\n"},
        {"Czech letters", 0, L"čř", {}, "čřone\r\ntwo\r\n"},
        {"backspace", 3, L"", {VK_BACK, VK_BACK}, "o\r\ntwo\r\n"},
        {"backspace over a line break", 5, L"", {VK_BACK}, "onetwo\r\n"},
        {"delete", 0, L"", {VK_DELETE}, "ne\r\ntwo\r\n"},
        {"enter breaks the line with CR LF", 2, L"", {VK_RETURN}, "on\r\ne\r\ntwo\r\n"},
        // The characters that come with Enter, Backspace and Ctrl+letters must not reach the log once more.
        {"control characters", 3, L"\r\b\x01\x1b", {}, "one\r\ntwo\r\n"},
    };
    for (const auto& c : cases) {
        ViewOnLog v("one\r\ntwo\r\n");
        const_cast<LogDocument&>(v.doc()).setCaret(c.caret);
        v.type(c.typed);
        for (UINT k : c.keys)
            v.key(k);
        EXPECT_EQ(v.log.text(), c.expected) << c.name;
    }
}

TEST(Win32LogView, KeysMoveTheCaretAsTheDocumentSays)
{
    const std::string text = "alpha beta\r\ngamma\r\ndelta epsilon\r\n";
    const struct {
        UINT key;
        std::vector<int> modifiers;
        std::size_t caret;
        std::size_t expectedCaret;
        std::size_t expectedAnchor;
    } cases[] = {
        {VK_RIGHT, {}, 0, 1, 1},
        {VK_LEFT, {}, 12, 10, 10},          // back over the CR LF at once
        {VK_RIGHT, {VK_CONTROL}, 0, 5, 5},  // to the end of the word
        {VK_RIGHT, {VK_SHIFT}, 0, 1, 0},
        {VK_RIGHT, {VK_CONTROL, VK_SHIFT}, 0, 5, 0},
        {VK_END, {}, 0, 10, 10},
        {VK_HOME, {}, 14, 12, 12},
        {VK_END, {VK_CONTROL}, 0, text.size(), text.size()},
        {VK_HOME, {VK_CONTROL, VK_SHIFT}, 14, 0, 14},
        {VK_DOWN, {}, 1, 13, 13},  // the same column, "gamma" is long enough
        {VK_UP, {}, 13, 1, 1},
        {VK_DOWN, {VK_SHIFT}, 0, 12, 0},
    };
    for (const auto& c : cases) {
        ViewOnLog v(text);
        const_cast<LogDocument&>(v.doc()).setCaret(c.caret);
        v.key(c.key, c.modifiers);
        EXPECT_EQ(v.doc().caret(), c.expectedCaret) << c.key << " from " << c.caret;
        EXPECT_EQ(v.doc().anchor(), c.expectedAnchor) << c.key << " from " << c.caret;
    }
}

TEST(Win32LogView, TheMouseSelects)
{
    ViewOnLog v("hello world\r\nsecond line\r\n");
    // A click at the left edge of the first line puts the caret at its start; Shift+click far right selects it.
    v.mouse(WM_LBUTTONDOWN, 1, 2);
    v.mouse(WM_LBUTTONUP, 1, 2);
    EXPECT_EQ(v.doc().caret(), 0u);
    v.mouse(WM_LBUTTONDOWN, 1000, 2, MK_SHIFT | MK_LBUTTON);
    v.mouse(WM_LBUTTONUP, 1000, 2);
    EXPECT_EQ(v.doc().selectedText(), "hello world");
    // A double click selects the word under the mouse; dragging from it goes on by words.
    v.mouse(WM_LBUTTONDBLCLK, 4, 2, MK_LBUTTON);
    EXPECT_EQ(v.doc().selectedText(), "hello");
    v.mouse(WM_MOUSEMOVE, 1000, 2, MK_LBUTTON);
    v.mouse(WM_LBUTTONUP, 1000, 2);
    EXPECT_EQ(v.doc().selectedText(), "hello world");
    // A drag from the start down past the window's foot selects into the lines below.
    v.mouse(WM_LBUTTONDOWN, 1, 2, MK_LBUTTON);
    v.mouse(WM_MOUSEMOVE, 1000, 190, MK_LBUTTON);
    v.mouse(WM_LBUTTONUP, 1000, 190);
    EXPECT_EQ(v.doc().selectionStart(), 0u);
    EXPECT_EQ(v.doc().caret(), v.log.text().size());
}

TEST(Win32LogView, ClipboardRoundTrip)
{
    ViewOnLog v("[12:00:00.000] Nastavena priorita: Normální\r\n");
    v.key('A', {VK_CONTROL});
    v.key('C', {VK_CONTROL});
    EXPECT_EQ(win32::clipboardText(v.hwnd()), v.log.text());

    // Cut takes the selection out of the log; paste puts it back, its line breaks as CR LF.
    const std::string whole = v.log.text();
    v.key('X', {VK_CONTROL});
    EXPECT_EQ(v.log.text(), "");
    v.key('V', {VK_CONTROL});
    EXPECT_EQ(v.log.text(), whole);
    ASSERT_TRUE(win32::setClipboardText(v.hwnd(), "a\nb"));
    v.key(VK_INSERT, {VK_SHIFT});
    EXPECT_EQ(v.log.text(), whole + "a\r\nb");

    // Nothing selected: copy leaves the clipboard alone, cut the log.
    v.key(VK_END, {VK_CONTROL});
    v.key('X', {VK_CONTROL});
    EXPECT_EQ(v.log.text(), whole + "a\r\nb");
    EXPECT_EQ(win32::clipboardText(v.hwnd()), "a\nb");
}

TEST(Win32LogView, FollowsTheEndOnlyAtTheBottom)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "[12:00:00.000] line " + std::to_string(i) + "\r\n";
    ViewOnLog v(text);
    auto atBottom = [&] {
        const SCROLLINFO si = v.scroll(SB_VERT);
        return si.nPos + static_cast<int>(si.nPage) > si.nMax;
    };
    EXPECT_TRUE(atBottom()) << "opened on a log, the view shows its end";
    v.log.AddLogLine("Nastavena priorita: Normální");
    EXPECT_TRUE(atBottom());
    EXPECT_EQ(v.scroll(SB_VERT).nMax, static_cast<int>(v.doc().lineCount()) - 1);

    SendMessageW(v.hwnd(), WM_VSCROLL, SB_PAGEUP, 0);
    const int away = v.scroll(SB_VERT).nPos;
    v.log.AddLogLine("Nastavena priorita: Normální");
    EXPECT_EQ(v.scroll(SB_VERT).nPos, away) << "a user reading above stays where he is";
    EXPECT_FALSE(atBottom());

    SendMessageW(v.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    v.log.AddLogLine("Nastavena priorita: Normální");
    EXPECT_TRUE(atBottom());
}

TEST(Win32LogView, FindSelectsTheMatchAndEscClosesTheBar)
{
    ViewOnLog v("alpha\r\nbeta gamma\r\ngamma\r\n");
    const_cast<LogDocument&>(v.doc()).setCaret(0);
    v.key('F', {VK_CONTROL});
    HWND bar = FindWindowExW(v.hwnd(), nullptr, L"OvinFindBar", nullptr);
    ASSERT_NE(bar, nullptr);
    auto open = [&] { return (GetWindowLongW(bar, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(open());
    HWND edit = GetDlgItem(bar, win32::Win32FindBar::kNeedleId);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"gamma");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(v.doc().selectionStart(), 12u);
    EXPECT_EQ(v.doc().selectedText(), "gamma");
    SendMessageW(edit, WM_KEYDOWN, VK_F3, 1);
    EXPECT_EQ(v.doc().selectionStart(), 19u);
    v.key(VK_F3, {VK_SHIFT});
    EXPECT_EQ(v.doc().selectionStart(), 12u) << "Shift+F3 in the view looks back";

    SetWindowTextW(edit, L"delta");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(v.doc().selectionStart(), 12u) << "no match leaves the selection";
    HWND status = GetDlgItem(bar, win32::Win32FindBar::kStatusId);
    wchar_t said[32] = {};
    GetWindowTextW(status, said, 32);
    EXPECT_STREQ(said, L"Nenalezeno");

    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(open());
}

TEST(Win32LogView, TheFindBarTakesRoomOnlyWhileOpen)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    ViewOnLog v(text);
    const UINT page = v.scroll(SB_VERT).nPage;
    v.view->openFindBar();
    EXPECT_LT(v.scroll(SB_VERT).nPage, page);
    HWND bar = FindWindowExW(v.hwnd(), nullptr, L"OvinFindBar", nullptr);
    SendMessageW(GetDlgItem(bar, win32::Win32FindBar::kNeedleId), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(v.scroll(SB_VERT).nPage, page);
    EXPECT_TRUE(v.scroll(SB_VERT).nPos + static_cast<int>(page) > v.scroll(SB_VERT).nMax);
}

TEST(Win32LogView, AMonthOfLinesScrollsWithThirtyTwoBitPositions)
{
    constexpr int kLines = 2'600'000;
    std::string text;
    text.reserve(kLines * 3);
    for (int i = 0; i < kLines; ++i)
        text += "x\r\n";
    ViewOnLog v(text);
    SCROLLINFO si = v.scroll(SB_VERT);
    EXPECT_EQ(si.nMax, kLines);  // the empty line after the last break counts
    EXPECT_EQ(si.nPos + static_cast<int>(si.nPage), kLines + 1);
    v.key(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(v.scroll(SB_VERT).nPos, 0);
    const_cast<LogDocument&>(v.doc()).setCaret(v.doc().lineStart(2'000'000));
    v.key(VK_RIGHT);
    si = v.scroll(SB_VERT);
    EXPECT_LE(si.nPos, 2'000'000);
    EXPECT_GT(si.nPos + static_cast<int>(si.nPage), 2'000'000);
}

TEST(Win32LogView, TheLogGoesOnAfterTheParentTookTheWindow)
{
    ViewOnLog v("a\r\n");
    DestroyWindow(v.frame.release());
    EXPECT_EQ(v.hwnd(), nullptr);
    v.log.AddLogLine("Nastavena priorita: Normální");
    v.log.editText(0, 0, "y");
    v.view.reset();
    EXPECT_EQ(v.log.text().substr(0, 4), "ya\r\n");
}

TEST(Win32LogView, ScreenReadersGetTheRoleTheLineAndTheCaret)
{
    ViewOnLog v("first\r\nsecond line\r\n");
    const_cast<LogDocument&>(v.doc()).setCaret(9);
    SendMessageW(v.hwnd(), WM_SETFOCUS, 0, 0);

    const HRESULT com = CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(v.hwnd(), static_cast<DWORD>(OBJID_CLIENT), win32::kIidAccessible,
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    ASSERT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    BSTR value = nullptr;
    ASSERT_EQ(accessible->get_accValue(self, &value), S_OK);
    EXPECT_STREQ(value, L"second line");
    SysFreeString(value);
    v.key(VK_UP);
    ASSERT_EQ(accessible->get_accValue(self, &value), S_OK);
    EXPECT_STREQ(value, L"first");
    SysFreeString(value);

    // The caret is the system's, where the thread's GUI information shows it.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(info.hwndCaret, v.hwnd());
    EXPECT_GT(info.rcCaret.bottom, info.rcCaret.top);

    // A screen reader that holds on to the object past the view gets an answer, not a crash.
    v.view.reset();
    EXPECT_NE(accessible->get_accValue(self, &value), S_OK);
    accessible->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace
}  // namespace ovin
