// Message boxes: the buttons of each kind, answers from the host's handler
// and from keys, the default button, Escape's rules, the owner disabled
// while a box is up, and a worker thread's sends served by the box's loop.
#include "WindowTesting.h"

#include <thread>

using namespace testing_support;
namespace host = winapi::host;

namespace {

class MessageBoxes : public WindowTest {
protected:
    HWND owner()
    {
        if (!m_owner) {
            m_class = recordingClass();
            m_owner = CreateWindowExA(0, m_class.c_str(), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                nullptr, nullptr, nullptr, nullptr);
            host::pumpMessages();
        }
        return m_owner;
    }
    std::string m_class;
    HWND m_owner { nullptr };
};

TEST_F(MessageBoxes, EachKindHasItsButtons)
{
    struct Case {
        UINT type;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        { MB_OK, { IDOK } },
        { MB_OKCANCEL, { IDOK, IDCANCEL } },
        { MB_ABORTRETRYIGNORE, { IDABORT, IDRETRY, IDIGNORE } },
        { MB_YESNOCANCEL, { IDYES, IDNO, IDCANCEL } },
        { MB_YESNO, { IDYES, IDNO } },
        { MB_RETRYCANCEL, { IDRETRY, IDCANCEL } },
    };
    for (const Case& c : cases) {
        for (const int answer : c.buttons) {
            std::vector<int> found;
            host::MessageBoxInfo seen;
            host::setMessageBoxHandler([&](const host::MessageBoxInfo& info) {
                seen = info;
                for (int id : { IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO }) {
                    if (GetDlgItem(info.box, id))
                        found.push_back(id);
                }
                return answer;
            });
            EXPECT_EQ(MessageBoxA(owner(), "Text", "Caption", c.type | MB_ICONQUESTION), answer) << c.type;
            std::sort(found.begin(), found.end());
            std::vector<int> expected = c.buttons;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(found, expected) << c.type;
            EXPECT_EQ(seen.text, "Text");
            EXPECT_EQ(seen.caption, "Caption");
            EXPECT_EQ(seen.owner, owner());
            EXPECT_EQ(seen.style, c.type | MB_ICONQUESTION);
            EXPECT_FALSE(IsWindow(seen.box)) << "gone when answered";
        }
    }
}

TEST_F(MessageBoxes, KeysAnswerAsAPersonWould)
{
    struct Case {
        const char* what;
        UINT type;
        std::vector<UINT> keys; // pressed one after another
        int result;
    };
    const Case cases[] = {
        { "Enter takes the default", MB_YESNO, { VK_RETURN }, IDYES },
        { "the second button as default", MB_YESNO | MB_DEFBUTTON2, { VK_RETURN }, IDNO },
        { "the third", MB_YESNOCANCEL | MB_DEFBUTTON3, { VK_RETURN }, IDCANCEL },
        { "Escape is Cancel", MB_OKCANCEL, { VK_ESCAPE }, IDCANCEL },
        { "Escape on OK alone is OK", MB_OK, { VK_ESCAPE }, IDOK },
        { "Escape does nothing without Cancel", MB_YESNO | MB_DEFBUTTON2, { VK_ESCAPE, VK_RETURN }, IDNO },
        { "Tab to the next button", MB_YESNO, { VK_TAB, VK_RETURN }, IDNO },
        { "Tab round and Space", MB_RETRYCANCEL, { VK_TAB, VK_TAB, VK_SPACE }, IDRETRY },
        { "a mnemonic", MB_ABORTRETRYIGNORE, { 'R' }, IDRETRY },
        { "a mnemonic with Alt", MB_ABORTRETRYIGNORE, { VK_MENU, 'I' }, IDIGNORE },
    };
    for (const Case& c : cases) {
        bool ownerDisabled = false;
        host::setMessageBoxHandler([&](const host::MessageBoxInfo&) {
            ownerDisabled = !IsWindowEnabled(owner());
            if (c.keys.front() == VK_MENU) {
                pressTogether(c.keys);
            } else {
                for (UINT key : c.keys)
                    host::pressKey(key);
            }
            return 0;
        });
        EXPECT_EQ(MessageBoxA(owner(), "Question?", "Keys", c.type), c.result) << c.what;
        EXPECT_TRUE(ownerDisabled) << c.what;
        EXPECT_TRUE(IsWindowEnabled(owner())) << c.what;
        EXPECT_EQ(GetActiveWindow(), owner()) << c.what;
    }

    // An answer that is not one of the box's buttons is not taken.
    int asked = 0;
    host::setMessageBoxHandler([&](const host::MessageBoxInfo&) {
        ++asked;
        host::pressKey(VK_RETURN);
        return IDYES;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Only OK", nullptr, MB_OK), IDOK);
    EXPECT_EQ(asked, 1);
}

TEST_F(MessageBoxes, TheCaptionDefaultsAndFailuresReport)
{
    std::string caption;
    host::setMessageBoxHandler([&](const host::MessageBoxInfo& info) {
        caption = info.caption;
        char text[32];
        GetWindowTextA(info.box, text, sizeof text);
        EXPECT_EQ(std::string(text), info.caption);
        return IDOK;
    });
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDOK);
    EXPECT_EQ(caption, "Error");
    {
        host::ScopedFailure failure("MessageBoxA", 1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
}

TEST_F(MessageBoxes, AWorkersSendsAreServedWhileABoxIsUp)
{
    constexpr int sends = 5000;
    HWND window = owner();
    std::atomic<int> answered { 0 };
    answer(WM_USER + 20, [&](HWND, UINT, WPARAM w, LPARAM) {
        ++answered;
        return static_cast<LRESULT>(w + 1);
    });
    std::atomic<bool> finished { false };
    std::atomic<bool> wrong { false };
    std::thread worker;
    const DWORD ui = GetCurrentThreadId();
    host::setMessageBoxHandler([&](const host::MessageBoxInfo& info) {
        worker = std::thread([&, box = info.box] {
            for (int i = 0; i < sends; ++i) {
                if (SendMessageA(window, WM_USER + 20, static_cast<WPARAM>(i), 0) != i + 1)
                    wrong = true;
            }
            SetWindowTextA(window, "done");
            finished = true;
            PostMessageA(box, WM_NULL, 0, 0);
        });
        return 0;
    });
    // Once the worker is through, the user presses Enter.
    host::setIdleHandler([&] {
        if (finished.exchange(false))
            host::pressKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(window, "Working", "Busy", MB_OK | MB_ICONEXCLAMATION), IDOK);
    worker.join();
    EXPECT_FALSE(wrong);
    EXPECT_EQ(answered, sends);
    char text[8];
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "done");
    for (const Delivery& d : log().of(WM_USER + 20))
        ASSERT_EQ(d.thread, ui);
}

}
