// The LISTBOX class: its messages with the platform's results, sorting and
// searching without regard to case, selection and scrolling by a person's
// clicks, keys and scroll-bar presses, and a list of tens of thousands of
// lines, filled from another thread as the solver fills its list.
#include "TestControlsFixture.h"

#include <chrono>
#include <thread>

using namespace testing_support;
namespace host = winapi::host;

namespace {

class ListBox : public ControlTest {
protected:
    HWND list(DWORD style, int height = 100, HFONT font = nullptr, int id = 20, int y = 10)
    {
        return make("LISTBOX", nullptr, WS_BORDER | style, { 10, y, 210, y + height }, id, font);
    }
    static LRESULT add(HWND list, const char* text)
    {
        return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    static std::string item(HWND list, int index)
    {
        const auto length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0)
            return "<error>";
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return text;
    }
    static std::vector<std::string> items(HWND list)
    {
        std::vector<std::string> all;
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            all.push_back(item(list, i));
        return all;
    }
    static int lineHeight(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)); }
    static int shownLines(HWND list)
    {
        RECT client {};
        GetClientRect(list, &client);
        return client.bottom / lineHeight(list);
    }
    // A point of the scroll bar beside the client area, in screen coordinates.
    static POINT scrollBarPoint(HWND list, int fromTop)
    {
        RECT client {};
        GetClientRect(list, &client);
        POINT point { client.right + GetSystemMetrics(SM_CXVSCROLL) / 2, fromTop >= 0 ? fromTop : client.bottom + fromTop };
        ClientToScreen(list, &point);
        return point;
    }
};

TEST_F(ListBox, ItemMessagesAnswerAsThePlatformDoes)
{
    HWND box = list(0);
    expectAnswers(box, {
        { LB_GETCOUNT, 0, nullptr, 0 },
        { LB_ADDSTRING, 0, "b", 0 },
        { LB_ADDSTRING, 0, "a", 1 },
        { LB_ADDSTRING, 0, "", 2 },
        { LB_INSERTSTRING, 0, "c", 0 },
        { LB_INSERTSTRING, static_cast<WPARAM>(-1), "d", 4 },
        { LB_INSERTSTRING, 9, "x", LB_ERR },
        { LB_GETCOUNT, 0, nullptr, 5 },
        { LB_GETTEXTLEN, 3, nullptr, 0 },
        { LB_GETTEXTLEN, 5, nullptr, LB_ERR },
        { LB_DELETESTRING, 1, nullptr, 4 },
        { LB_DELETESTRING, 4, nullptr, LB_ERR },
        { LB_GETTEXT, 7, nullptr, LB_ERR },
        { LB_SETITEMDATA, 0, nullptr, LB_OKAY },
        { LB_GETITEMDATA, 9, nullptr, LB_ERR },
    });
    EXPECT_EQ(items(box), (std::vector<std::string> { "c", "a", "", "d" }));
    EXPECT_EQ(SendMessageA(box, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(std::string(8, 'z').data())), 1);

    // A list that cannot grow answers LB_ERRSPACE; another failure LB_ERR.
    host::failNext("LB_ADDSTRING", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(add(box, "e"), LB_ERRSPACE);
    host::failNext("LB_INSERTSTRING", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SendMessageA(box, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("e")), LB_ERR);
    EXPECT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), 4) << "nothing was added";

    SendMessageA(box, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageA(box, LB_RESETCONTENT, 0, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(ListBox, SortedListsOrderWithoutRegardToCase)
{
    HWND box = list(LBS_SORT);
    struct Added {
        const char* text;
        LRESULT index;
    };
    for (const Added& a : std::vector<Added> {
             { "banana", 0 }, { "Apple", 0 }, { "cherry", 2 }, { "apple", 1 }, { "\xC9t\xE9", 4 }, { "\xE9t\xE9", 5 } })
        EXPECT_EQ(add(box, a.text), a.index) << a.text;
    EXPECT_EQ(items(box), (std::vector<std::string> { "Apple", "apple", "banana", "cherry", "\xC9t\xE9", "\xE9t\xE9" }));
    EXPECT_EQ(SendMessageA(box, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra")), 0) << "inserting does not sort";
    // The selection follows its line when lines come before it.
    SendMessageA(box, LB_SETCURSEL, 3, 0);
    add(box, "avocado");
    EXPECT_EQ(item(box, static_cast<int>(SendMessageA(box, LB_GETCURSEL, 0, 0))), "banana");
    SendMessageA(box, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(item(box, static_cast<int>(SendMessageA(box, LB_GETCURSEL, 0, 0))), "banana");
}

TEST_F(ListBox, SearchesWrapAroundFromTheStartIndex)
{
    HWND box = list(0);
    for (const char* text : { "alpha", "Beta", "alphabet", "gamma", "ALPHA" })
        add(box, text);
    struct Case {
        UINT message;
        int start;
        const char* text;
        LRESULT found;
    };
    const std::vector<Case> cases {
        { LB_FINDSTRING, -1, "alp", 0 },
        { LB_FINDSTRING, 0, "alp", 2 },
        { LB_FINDSTRING, 2, "ALP", 4 },
        { LB_FINDSTRING, 4, "alp", 0 },
        { LB_FINDSTRING, -1, "beta", 1 },
        { LB_FINDSTRING, -1, "delta", LB_ERR },
        { LB_FINDSTRING, 1, "", 2 },
        { LB_FINDSTRING, 99, "gam", 3 },
        { LB_FINDSTRINGEXACT, -1, "alpha", 0 },
        { LB_FINDSTRINGEXACT, 0, "alpha", 4 },
        { LB_FINDSTRINGEXACT, -1, "alph", LB_ERR },
        { LB_SELECTSTRING, 3, "a", 4 },
        { LB_SELECTSTRING, -1, "zeta", LB_ERR },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(box, c.message, static_cast<WPARAM>(c.start), reinterpret_cast<LPARAM>(c.text)), c.found)
            << std::hex << c.message << std::dec << " " << c.start << " " << c.text;
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), 4) << "the last successful LB_SELECTSTRING selected";

    HWND empty = list(0, 100, nullptr, 21);
    EXPECT_EQ(SendMessageA(empty, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("")), LB_ERR);
}

TEST_F(ListBox, SelectionAndTopIndexFollowTheLinesShown)
{
    HWND box = list(LBS_NOINTEGRALHEIGHT, 100, dialogFont());
    winapi::gdi::FontMeasures measures;
    ASSERT_TRUE(winapi::gdi::fontMeasures(dialogFont(), measures));
    EXPECT_EQ(lineHeight(box), measures.height) << "a line is as high as the font";
    for (int i = 0; i < 30; ++i)
        add(box, ("line " + std::to_string(i)).c_str());
    const int shown = shownLines(box);

    struct Case {
        UINT message;
        WPARAM index;
        LRESULT result;
        LRESULT selected;
        LRESULT top;
    };
    const std::vector<Case> cases {
        { LB_SETCURSEL, 3, 3, 3, 0 },
        { LB_SETCURSEL, static_cast<WPARAM>(-1), LB_ERR, LB_ERR, 0 },
        { LB_SETCURSEL, 30, LB_ERR, LB_ERR, 0 },
        { LB_SETCURSEL, 29, 29, 29, 30 - shown },
        { LB_SETTOPINDEX, 2, LB_OKAY, 29, 2 },
        { LB_SETTOPINDEX, 29, LB_OKAY, 29, 30 - shown },
        { LB_SETTOPINDEX, 30, LB_ERR, 29, 30 - shown },
        { LB_SETCURSEL, 0, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(box, c.message, c.index, 0), c.result) << std::hex << c.message << std::dec << c.index;
        EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), c.selected) << c.index;
        EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), c.top) << c.index;
    }
    EXPECT_EQ(notificationsOf(box), std::vector<WORD> {}) << "a program's changes are not reported";

    RECT line {};
    SendMessageA(box, LB_SETTOPINDEX, 5, 0);
    EXPECT_EQ(SendMessageA(box, LB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&line)), LB_OKAY);
    EXPECT_EQ(line.top, 2 * measures.height);
    EXPECT_EQ(LOWORD(SendMessageA(box, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 2 * measures.height + 1))), 7);

    // Without LBS_NOINTEGRALHEIGHT the list trims itself to whole lines.
    HWND trimmed = list(0, 100, dialogFont(), 21);
    RECT client {};
    GetClientRect(trimmed, &client);
    EXPECT_EQ(client.bottom % measures.height, 0);
    EXPECT_EQ(client.bottom / measures.height, shown);
    GetClientRect(box, &client);
    EXPECT_NE(client.bottom % measures.height, 0) << "the template's height is kept";
}

TEST_F(ListBox, ClickingAndArrowingThroughAList)
{
    HWND box = list(LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 100, dialogFont());
    for (const char* text : { "apple", "banana", "cherry", "date", "elder", "fig", "grape", "hazel", "iris", "juniper" })
        add(box, text);
    const int height = lineHeight(box);
    const int shown = shownLines(box);
    ASSERT_LT(shown, 10);
    log().clear();

    clickAt(box, 20, 2 * height + 1);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), 2);
    struct Key {
        std::vector<UINT> keys; // an initializer list would not outlive the table
        LRESULT selected;
        LRESULT top;
    };
    const std::vector<Key> keys {
        { { VK_DOWN }, 3, 0 },
        { { VK_UP }, 2, 0 },
        { { VK_END }, 9, 10 - shown },
        { { VK_HOME }, 0, 0 },
        { { VK_NEXT }, shown - 1, 0 },
        { { 'J' }, 9, 10 - shown }, // the next line that starts with the letter
        { { 'B' }, 1, 1 },          // wrapping round
        { { VK_UP }, 0, 0 },
    };
    for (const Key& k : keys) {
        press(k.keys);
        EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), k.selected) << k.keys.front();
        EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), k.top) << k.keys.front();
    }
    const std::vector<WORD> codes = notificationsOf(box);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LBN_SELCHANGE), 9) << "one for the click and one a key";
    EXPECT_EQ(codes.front(), LBN_SETFOCUS);

    log().clear();
    SendMessageA(box, LB_SETTOPINDEX, 0, 0);
    clickAt(box, 20, height + 1, true);
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { LBN_SELCHANGE, LBN_DBLCLK }));
    log().clear();
    clickAt(box, 20, 1);
    clickAt(box, 20, 1);
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { LBN_SELCHANGE, LBN_DBLCLK })) << "the second click is a double click";

    // A drag carries the selection along.
    POINT from { 20, 1 };
    POINT to { 20, 3 * height + 1 };
    ClientToScreen(box, &from);
    ClientToScreen(box, &to);
    host::mouseMove(from.x + 30, from.y + height);
    host::mouseDown();
    host::pumpMessages();
    host::mouseMove(to.x, to.y);
    host::mouseUp();
    host::pumpMessages();
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(GetCapture(), nullptr);

    // Without LBS_NOTIFY the user's changes go unreported.
    HWND quiet = list(0, 60, nullptr, 21, 200);
    add(quiet, "one");
    add(quiet, "two");
    log().clear();
    clickAt(quiet, 5, 1);
    press({ VK_DOWN });
    EXPECT_EQ(SendMessageA(quiet, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(notificationsOf(quiet), std::vector<WORD> { LBN_SETFOCUS }) << "focus changes are always reported";
}

TEST_F(ListBox, FiftyThousandLinesFillAndScrollQuickly)
{
    using Clock = std::chrono::steady_clock;
    HWND box = list(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 160, dialogFont());
    constexpr int lines = 50000;
    std::vector<std::string> texts;
    for (int i = 0; i < lines; ++i)
        texts.push_back("((100 + " + std::to_string(i) + ") \xD7 75 \xD7 3) - 50 = " + std::to_string(i));
    const auto start = Clock::now();
    for (const std::string& text : texts)
        add(box, text.c_str());
    ASSERT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), lines);
    const int shown = shownLines(box);
    const LRESULT last = lines - shown;

    struct Press {
        int fromTop; // in the scroll bar; negative from the bottom
        LRESULT top;
    };
    const std::vector<Press> presses {
        { 5, 0 },                        // the up arrow, at the top already
        { -5, 1 },                       // the down arrow
        { -5, 2 },
        { -GetSystemMetrics(SM_CYVSCROLL) - 5, 2 + shown - 1 }, // the track below the thumb
    };
    for (const Press& p : presses) {
        const POINT at = scrollBarPoint(box, p.fromTop);
        host::click(at.x, at.y);
        host::pumpMessages();
        EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), p.top) << p.fromTop;
    }
    // The thumb, dragged to the bottom and back to the middle.
    const POINT thumb = scrollBarPoint(box, GetSystemMetrics(SM_CYVSCROLL) + 1);
    const POINT bottom = scrollBarPoint(box, -1);
    host::mouseMove(thumb.x, thumb.y);
    host::mouseDown();
    host::pumpMessages();
    host::mouseMove(bottom.x, bottom.y + 40);
    host::pumpMessages();
    EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), last);
    const POINT middle = scrollBarPoint(box, 80);
    host::mouseMove(middle.x, middle.y);
    host::mouseUp();
    host::pumpMessages();
    const LRESULT halfway = SendMessageA(box, LB_GETTOPINDEX, 0, 0);
    EXPECT_GT(halfway, last / 3);
    EXPECT_LT(halfway, 2 * last / 3);

    SendMessageA(box, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), halfway + 3);
    SetFocus(box);
    press({ VK_END });
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), lines - 1);
    EXPECT_EQ(SendMessageA(box, LB_GETTOPINDEX, 0, 0), last);
    EXPECT_EQ(SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                  reinterpret_cast<LPARAM>("((100 + 49999) \xD7 75 \xD7 3) - 50 = 49999")),
        lines - 1);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    // Well under a second; the sanitizers' checks of every access take
    // their multiple, and a list whose cost grew with its length would
    // still take far longer.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr auto limit = std::chrono::milliseconds(6000);
#else
    constexpr auto limit = std::chrono::milliseconds(800);
#endif
    EXPECT_LT(Clock::now() - start, limit);
}

TEST_F(ListBox, LinesSentFromAnotherThreadArriveInOrder)
{
    HWND box = list(0);
    const DWORD thread = GetCurrentThreadId();
    constexpr int lines = 3000;
    std::thread worker([box, thread] {
        for (int i = 0; i < lines; ++i) {
            if (i == lines / 2)
                SendMessageA(box, LB_RESETCONTENT, 0, 0);
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
        }
        PostThreadMessageA(thread, WM_APP, 0, 0);
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) && message.message != WM_APP)
        DispatchMessageA(&message);
    worker.join();
    ASSERT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), lines / 2);
    for (int i = 0; i < lines / 2; i += 97)
        EXPECT_EQ(item(box, i), std::to_string(lines / 2 + i));
}

}
