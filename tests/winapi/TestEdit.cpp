// The EDIT class as a person uses it (keys and clicks injected through the
// host) and as programs drive it with its messages: what fits, selection,
// the clipboard, undo, limits, multi-line layout and scrolling, the caret,
// notifications, password and read-only boxes.
#include "TestControlsFixture.h"

using namespace testing_support;
namespace host = winapi::host;

namespace {

RECT formatRect(HWND edit)
{
    RECT rect {};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

class Edit : public ControlTest {
protected:
    HWND edit(DWORD style, int width = 300, HFONT font = nullptr, int id = 10, int height = 24, int y = 10)
    {
        HWND box = make("EDIT", "", WS_BORDER | WS_TABSTOP | style, { 10, y, 10 + width, y + height }, id, font);
        SetFocus(box);
        host::pumpMessages();
        return box;
    }
};

TEST_F(Edit, TypingIntoANarrowBoxStopsWhereTheTextNoLongerFits)
{
    struct Case {
        bool dialogFont;
        DWORD style;
        int width;
    };
    const std::vector<Case> cases {
        { true, 0, 40 }, { false, 0, 40 }, { true, 0, 90 }, { true, ES_AUTOHSCROLL, 40 }, { true, ES_RIGHT, 60 },
    };
    const std::string typed = "1234567890WMWMwiwi";
    for (const Case& c : cases) {
        HFONT font = c.dialogFont ? dialogFont() : nullptr;
        HWND box = edit(c.style, c.width, font);
        type(typed);
        const RECT format = formatRect(box);
        const std::string expected
            = (c.style & ES_AUTOHSCROLL) ? typed : fitting(font, typed, format.right - format.left);
        EXPECT_EQ(textOf(box), expected) << c.width << " " << c.style;
        EXPECT_LT(format.right - format.left, c.width) << "the border and margins take their share";
        EXPECT_EQ(sent(notificationsOf(box), EN_MAXTEXT), !(c.style & ES_AUTOHSCROLL)) << c.width;
        if (c.style & ES_AUTOHSCROLL) {
            EXPECT_GT(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "scrolled to the caret";
        }
        // Deleting makes room again.
        press({ VK_BACK });
        type("W");
        EXPECT_EQ(textOf(box), (c.style & ES_AUTOHSCROLL) ? typed.substr(0, typed.size() - 1) + "W"
                                                          : fitting(font, "W", format.right - format.left,
                                                              expected.substr(0, expected.size() - 1)))
            << c.width;
        DestroyWindow(box);
        log().clear();
    }
}

TEST_F(Edit, TheLimitStopsTheUserButNotSetText)
{
    HWND box = edit(ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageA(box, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 3);
    type("abcdef");
    EXPECT_EQ(textOf(box), "abc");
    EXPECT_TRUE(sent(notificationsOf(box), EN_MAXTEXT));
    EXPECT_EQ(SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("longer text")), TRUE);
    EXPECT_EQ(textOf(box), "longer text");
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("wxyz"));
    EXPECT_EQ(textOf(box), "wxy") << "a replacement is cut to the limit";

    struct Limit {
        DWORD style;
        WPARAM given;
        LRESULT read;
    };
    for (const Limit& l : std::vector<Limit> { { 0, 0, 0x7FFFFFFE }, { ES_MULTILINE, 0, 0xFFFFFFFF }, { 0, 12, 12 } }) {
        HWND other = edit(l.style | ES_AUTOHSCROLL, 300, nullptr, 11);
        SendMessageA(other, EM_LIMITTEXT, l.given, 0);
        EXPECT_EQ(static_cast<DWORD>(SendMessageA(other, EM_GETLIMITTEXT, 0, 0)), static_cast<DWORD>(l.read)) << l.style;
        DestroyWindow(other);
    }
}

TEST_F(Edit, SetTextIsRefusedOnlyByABoxTooNarrowForIt)
{
    struct Case {
        DWORD style;
        const char* text;
        LRESULT result;
    };
    const std::vector<Case> cases {
        { 0, "12", TRUE },
        { 0, "1234567890123", FALSE },
        { ES_AUTOHSCROLL, "1234567890123", TRUE },
        { ES_MULTILINE, "1234567890123", TRUE },
        { 0, "", TRUE },
    };
    for (const Case& c : cases) {
        HWND box = edit(c.style, 40, dialogFont());
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
        log().clear();
        EXPECT_EQ(SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text)), c.result) << c.text;
        EXPECT_EQ(textOf(box), c.result ? c.text : "1") << "a refused text leaves the old one";
        EXPECT_EQ(notificationsOf(box), c.result ? (std::vector<WORD> { EN_UPDATE, EN_CHANGE }) : std::vector<WORD> {});
        EXPECT_EQ(SetWindowTextA(box, c.text), c.result) << c.text;
        DestroyWindow(box);
    }
}

TEST_F(Edit, ShiftArrowsSelectAndTypingReplacesTheSelection)
{
    HWND box = edit(ES_AUTOHSCROLL);
    type("hello world");
    press({ VK_HOME });
    for (int i = 0; i < 5; ++i)
        press({ VK_SHIFT, VK_RIGHT });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 0 }, DWORD { 5 }));
    type("HELLO");
    EXPECT_EQ(textOf(box), "HELLO world");

    press({ VK_END });
    press({ VK_SHIFT, VK_CONTROL, VK_LEFT });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 6 }, DWORD { 11 }));
    type("there");
    EXPECT_EQ(textOf(box), "HELLO there");

    press({ VK_SHIFT, VK_HOME });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 0 }, DWORD { 11 }));
    press({ VK_SHIFT, VK_RIGHT });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 1 }, DWORD { 11 })) << "the anchor stays at the end";
    press({ VK_LEFT });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 1 }, DWORD { 1 })) << "Left ends a selection at its start";
    press({ VK_DELETE });
    EXPECT_EQ(textOf(box), "HLLO there");
    press({ VK_CONTROL, 'A' });
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 0 }, DWORD { 10 }));
    press({ VK_BACK });
    EXPECT_EQ(textOf(box), "");
}

TEST_F(Edit, CuttingAndPastingBetweenTwoBoxes)
{
    HWND first = edit(ES_AUTOHSCROLL, 200, dialogFont(), 10);
    HWND second = edit(ES_AUTOHSCROLL, 200, dialogFont(), 11, 24, 50);
    clickAt(first, 5, 5);
    ASSERT_EQ(GetFocus(), first) << "a click gives a box the focus";
    type("abc def");
    press({ VK_SHIFT, VK_CONTROL, VK_LEFT });
    press({ VK_CONTROL, 'X' });
    EXPECT_EQ(textOf(first), "abc ");
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("def", 4));

    clickAt(second, 5, 5);
    ASSERT_EQ(GetFocus(), second);
    press({ VK_CONTROL, 'V' });
    press({ VK_SHIFT, VK_INSERT });
    EXPECT_EQ(textOf(second), "defdef");
    press({ VK_SHIFT, VK_HOME });
    press({ VK_CONTROL, VK_INSERT });
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("defdef", 7));
    press({ VK_SHIFT, VK_DELETE });
    EXPECT_EQ(textOf(second), "");

    clickAt(first, 190, 5);
    press({ VK_CONTROL, 'V' });
    EXPECT_EQ(textOf(first), "abc defdef");
    // Double-clicking a word selects it; the clipboard's text stays when
    // it cannot be opened.
    clickAt(first, 2, 5, true);
    EXPECT_EQ(selectionOf(first), std::make_pair(DWORD { 0 }, DWORD { 3 }));
    {
        host::ScopedClipboardHold hold;
        ASSERT_TRUE(hold.held());
        press({ VK_CONTROL, 'X' });
    }
    EXPECT_EQ(textOf(first), "abc defdef") << "nothing is cut that could not be copied";
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("defdef", 7));
    SendMessageA(first, WM_CLEAR, 0, 0);
    EXPECT_EQ(textOf(first), " defdef");
}

TEST_F(Edit, UndoTakesBackTheLastChangeAndRedoesIt)
{
    HWND box = edit(ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(box, EM_CANUNDO, 0, 0), FALSE);
    type("abc");
    EXPECT_EQ(SendMessageA(box, EM_CANUNDO, 0, 0), TRUE);
    EXPECT_EQ(SendMessageA(box, EM_GETMODIFY, 0, 0), TRUE);
    press({ VK_CONTROL, 'Z' });
    EXPECT_EQ(textOf(box), "") << "typing is undone as a whole";
    SendMessageA(box, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(box), "abc") << "undoing the undo redoes";

    SendMessageA(box, EM_SETSEL, 3, 3);
    press({ VK_BACK });
    press({ VK_BACK });
    EXPECT_EQ(textOf(box), "a");
    SendMessageA(box, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(box), "abc");

    SendMessageA(box, EM_SETSEL, 1, 2);
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XY"));
    EXPECT_EQ(textOf(box), "aXYc");
    SendMessageA(box, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(box), "abc");

    SendMessageA(box, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_EQ(SendMessageA(box, EM_CANUNDO, 0, 0), FALSE);
    SendMessageA(box, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(box), "abc");

    type("d");
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("e"));
    EXPECT_EQ(SendMessageA(box, EM_CANUNDO, 0, 0), FALSE) << "a replacement that cannot be undone empties the buffer";
    type("f");
    SetWindowTextA(box, "new");
    EXPECT_EQ(SendMessageA(box, EM_CANUNDO, 0, 0), FALSE);
    EXPECT_EQ(SendMessageA(box, EM_GETMODIFY, 0, 0), FALSE) << "a new text is unmodified";
    SendMessageA(box, EM_SETMODIFY, TRUE, 0);
    EXPECT_EQ(SendMessageA(box, EM_GETMODIFY, 0, 0), TRUE);
}

TEST_F(Edit, SelectionMessagesClampAndOrderThePositions)
{
    HWND box = edit(ES_AUTOHSCROLL);
    SetWindowTextA(box, "abcdef");
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 0 }, DWORD { 0 })) << "a new text puts the caret first";
    struct Case {
        WPARAM start;
        LPARAM end;
        DWORD readStart;
        DWORD readEnd;
    };
    const std::vector<Case> cases {
        { 0, -1, 0, 6 },
        { 4, 2, 2, 4 },
        { 3, 3, 3, 3 },
        { 100, 200, 6, 6 },
        { 2, 5, 2, 5 },
        { static_cast<WPARAM>(-1), 0, 5, 5 }, // deselects, the caret stays
    };
    for (const Case& c : cases) {
        SendMessageA(box, EM_SETSEL, c.start, c.end);
        EXPECT_EQ(selectionOf(box), std::make_pair(c.readStart, c.readEnd)) << c.start << "," << c.end;
        EXPECT_EQ(SendMessageA(box, EM_GETSEL, 0, 0), MAKELRESULT(c.readStart, c.readEnd));
    }
    SendMessageA(box, EM_SETSEL, 4, 2);
    type("X");
    EXPECT_EQ(textOf(box), "abXef") << "the caret of a reversed selection is at its start";
}

TEST_F(Edit, TheCaretStandsWhereTheFontPutsTheText)
{
    HWND box = edit(ES_AUTOHSCROLL, 200, dialogFont());
    const RECT format = formatRect(box);
    type("Wide and thin");
    const host::CaretInfo caret = host::caret();
    EXPECT_EQ(caret.owner, box);
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.position.x, format.left + winapi::gdi::textWidth(dialogFont(), "Wide and thin"));
    winapi::gdi::FontMeasures measures;
    ASSERT_TRUE(winapi::gdi::fontMeasures(dialogFont(), measures));
    EXPECT_EQ(caret.size.cy, measures.height);

    // A click between two characters puts the caret between them; a drag selects.
    const int afterWide = format.left + winapi::gdi::textWidth(dialogFont(), "Wide");
    clickAt(box, afterWide, 5);
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 4 }, DWORD { 4 }));
    POINT from { format.left + winapi::gdi::textWidth(dialogFont(), "Wid"), 5 };
    ClientToScreen(box, &from);
    POINT to { format.left + winapi::gdi::textWidth(dialogFont(), "Wide and"), 5 };
    ClientToScreen(box, &to);
    host::mouseMove(from.x, from.y);
    host::mouseDown();
    host::pumpMessages();
    host::mouseMove(to.x, to.y);
    host::mouseUp();
    host::pumpMessages();
    EXPECT_EQ(selectionOf(box), std::make_pair(DWORD { 3 }, DWORD { 8 }));
    EXPECT_EQ(GetCapture(), nullptr) << "the capture ends with the button";
    EXPECT_EQ(LOWORD(SendMessageA(box, EM_POSFROMCHAR, 4, 0)), afterWide);
    EXPECT_EQ(LOWORD(SendMessageA(box, EM_CHARFROMPOS, 0, MAKELPARAM(afterWide + 1, 5))), 4);

    SetFocus(m_parent);
    EXPECT_EQ(host::caret().owner, nullptr) << "the caret goes with the focus";
}

TEST_F(Edit, MultiLineBoxesWrapScrollAndShowSoftBreaks)
{
    HFONT font = dialogFont();
    winapi::gdi::FontMeasures measures;
    ASSERT_TRUE(winapi::gdi::fontMeasures(font, measures));
    const int shownLines = 3;
    HWND box = edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 120, font, 10, shownLines * measures.height + 4);
    const RECT format = formatRect(box);
    const int width = format.right - format.left;
    const std::string word = "word ";
    std::string text;
    while (winapi::gdi::textWidth(font, text + "word") <= width)
        text += word;
    const std::string firstLine = text;
    text += "WWWWW line\r\nthird\r\nfourth\r\nfifth";
    SetWindowTextA(box, text.c_str());
    EXPECT_EQ(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(box, EM_LINEINDEX, 1, 0), static_cast<LRESULT>(firstLine.size()));
    EXPECT_EQ(SendMessageA(box, EM_LINELENGTH, firstLine.size(), 0), 10);
    EXPECT_EQ(SendMessageA(box, EM_LINEFROMCHAR, text.size(), 0), 4);
    EXPECT_EQ(SendMessageA(box, EM_LINEINDEX, 9, 0), -1);

    EXPECT_EQ(SendMessageA(box, EM_FMTLINES, TRUE, 0), TRUE);
    EXPECT_EQ(textOf(box), firstLine + "\r\r\n" + text.substr(firstLine.size()));
    SendMessageA(box, EM_FMTLINES, FALSE, 0);
    EXPECT_EQ(textOf(box), text);

    struct Scroll {
        LPARAM lines;
        LRESULT first;
    };
    for (const Scroll& s : std::vector<Scroll> { { 2, 2 }, { 10, 4 }, { -1, 3 }, { -10, 0 }, { 0, 0 } }) {
        EXPECT_EQ(SendMessageA(box, EM_LINESCROLL, 0, s.lines), TRUE);
        EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), s.first) << s.lines;
    }
    // Typing at the end scrolls it into view; Up keeps the column.
    press({ VK_CONTROL, VK_END });
    EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 5 - shownLines);
    press({ VK_UP });
    EXPECT_EQ(SendMessageA(box, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 3);
    press({ VK_RETURN });
    EXPECT_EQ(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 6) << "Enter breaks the line outside a dialog";
    EXPECT_EQ(SendMessageA(box, EM_SCROLLCARET, 0, 0), TRUE);

    // Without ES_AUTOVSCROLL a box takes no more lines than it shows.
    HWND fixed = edit(ES_MULTILINE, 120, font, 11, shownLines * measures.height + 4, 100);
    type("a\rb\rc\rd");
    EXPECT_EQ(textOf(fixed), "a\r\nb\r\ncd") << "the fourth line break is refused";
    EXPECT_TRUE(sent(notificationsOf(fixed), EN_MAXTEXT));
    EXPECT_EQ(SendMessageA(fixed, EM_LINESCROLL, 0, 1), TRUE);

    HWND single = edit(ES_AUTOHSCROLL, 120, font, 12, 24, 200);
    EXPECT_EQ(SendMessageA(single, EM_LINESCROLL, 0, 1), FALSE) << "a single-line box does not scroll by lines";
    EXPECT_EQ(SendMessageA(single, EM_GETLINECOUNT, 0, 0), 1);
    type("one\r\ntwo");
    EXPECT_EQ(textOf(single), "onetwo") << "a single-line box takes no line break";
}

TEST_F(Edit, NotificationsAndDialogCodes)
{
    HWND box = edit(ES_AUTOHSCROLL);
    HWND other = edit(ES_AUTOHSCROLL, 100, nullptr, 11, 24, 60);
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { EN_SETFOCUS, EN_KILLFOCUS }));
    log().clear();
    SetFocus(box);
    type("x");
    SetFocus(other);
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_KILLFOCUS }));
    for (const Delivery& d : log().of(WM_COMMAND)) {
        if (reinterpret_cast<HWND>(d.lParam) == box) {
            EXPECT_EQ(LOWORD(d.wParam), 10) << "the box's identifier";
        }
    }

    MSG enter { box, WM_KEYDOWN, VK_RETURN, 0, 0, {} };
    MSG tab { box, WM_KEYDOWN, VK_TAB, 0, 0, {} };
    struct Case {
        DWORD style;
        const MSG* message;
        LRESULT code;
    };
    const LRESULT common = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    const std::vector<Case> cases {
        { 0, nullptr, common },
        { 0, &enter, common },
        { ES_MULTILINE, nullptr, common | DLGC_WANTALLKEYS },
        { ES_MULTILINE, &enter, common },
        { ES_MULTILINE | ES_WANTRETURN, &enter, common | DLGC_WANTALLKEYS },
        { ES_MULTILINE | ES_WANTRETURN, &tab, common },
    };
    for (const Case& c : cases) {
        HWND probe = edit(c.style, 100, nullptr, 12, 40, 100);
        EXPECT_EQ(SendMessageA(probe, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(c.message)), c.code) << c.style;
        DestroyWindow(probe);
    }
}

TEST_F(Edit, PasswordAndReadOnlyBoxes)
{
    HWND secret = edit(ES_PASSWORD | ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(secret, EM_GETPASSWORDCHAR, 0, 0), '*');
    type("hidden");
    EXPECT_EQ(textOf(secret), "hidden");
    host::putClipboardBytes(CF_TEXT, std::string("before", 7));
    SendMessageA(secret, EM_SETSEL, 0, -1);
    SendMessageA(secret, WM_COPY, 0, 0);
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("before", 7)) << "a hidden text is not copied";
    const RECT format = formatRect(secret);
    EXPECT_EQ(host::caret().position.x, format.left + 6 * winapi::gdi::textWidth(winapi::gdi::systemFont(), "*"))
        << "the caret follows the characters shown";
    SendMessageA(secret, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(SendMessageA(secret, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_EQ(GetWindowLongA(secret, GWL_STYLE) & ES_PASSWORD, 0);

    HWND plain = edit(ES_AUTOHSCROLL, 200, nullptr, 11, 24, 60);
    EXPECT_EQ(SendMessageA(plain, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_EQ(SendMessageA(plain, EM_SETREADONLY, TRUE, 0), TRUE);
    EXPECT_NE(GetWindowLongA(plain, GWL_STYLE) & ES_READONLY, 0);
    type("no");
    EXPECT_EQ(textOf(plain), "");
    SendMessageA(plain, WM_PASTE, 0, 0);
    EXPECT_EQ(textOf(plain), "");
    SetWindowTextA(plain, "fixed");
    SendMessageA(plain, EM_SETSEL, 0, -1);
    SendMessageA(plain, WM_COPY, 0, 0);
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("fixed", 6)) << "a read-only text can be copied";
    SendMessageA(plain, WM_CUT, 0, 0);
    EXPECT_EQ(textOf(plain), "fixed");
    SendMessageA(plain, EM_SETREADONLY, FALSE, 0);
    SendMessageA(plain, WM_CUT, 0, 0);
    EXPECT_EQ(textOf(plain), "");
}

}
