// The Application object: instance handle, window references, resource
// loaders and the shared string buffer.
#include "application.h"

#include "except.h"
#include "windowbase.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace wivel {
namespace {

// One buffer for all string loads of the process: it starts with room for
// 32 characters and only ever doubles. The lock makes loads from several
// threads safe; a load is short, so they simply queue.
struct StringBuffer {
    std::mutex lock;
    std::vector<char> characters;
};

StringBuffer& stringBuffer()
{
    static StringBuffer buffer;
    return buffer;
}

}

Application::Application()
    : m_instance(GetModuleHandleA(nullptr))
{
}

std::size_t Application::toHash() const { return std::hash<HINSTANCE> {}(m_instance); }

bool Application::equals(const Object* other) const
{
    const auto* application = dynamic_cast<const Application*>(other);
    return application != nullptr && application->instance() == instance();
}

HINSTANCE Application::instance() const { return m_instance; }

WindowBase* Application::mainWindow() const { return m_mainWindow; }

WindowBase* Application::mainWindow(WindowBase* window)
{
    require(m_mainWindow == nullptr, "the main window is set only once");
    require(window != nullptr, "the main window is a window");
    m_mainWindow = window;
    return window;
}

HICON Application::loadIcon(UINT number) { return LoadIconA(m_instance, MAKEINTRESOURCEA(number)); }

HICON Application::loadIcon(const std::string& name) { return LoadIconA(m_instance, name.c_str()); }

HCURSOR Application::loadCursor(UINT number) { return LoadCursorA(m_instance, MAKEINTRESOURCEA(number)); }

HCURSOR Application::loadCursor(const std::string& name) { return LoadCursorA(m_instance, name.c_str()); }

int Application::run()
{
    require(m_mainWindow != nullptr, "the loop runs with a main window");
    m_mainWindow->show();
    MSG message {};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        // An error fills no record: it is reported when it has a code, and
        // otherwise the loop waits for the next message.
        if (got == -1) {
            checkDefinedAPI(false, "GetMessageA", "Application.run");
            continue;
        }
        // 1. The accelerators of the message's framework window or its
        // nearest framework ancestor.
        if (translateAccelerators(&message))
            continue;
        // 2. The dialog keyboard handling (Tab, Enter, Escape, mnemonics) of
        // the active framework dialog.
        WindowBase* active = m_activeWindow;
        if (active != nullptr && active->isDialog() && active->isDialogMessage(&message))
            continue;
        // 3. The platform's own translation and dispatch.
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string Application::stringTable(UINT number)
{
    StringBuffer& buffer = stringBuffer();
    std::lock_guard guard(buffer.lock);
    std::vector<char>& characters = buffer.characters;
    if (characters.empty())
        characters.resize(32);
    for (;;) {
        // A failure that passes the check (its code is zero) may leave the
        // buffer untouched: it must not yield the previous load's text.
        characters[0] = '\0';
        const int loaded = LoadStringA(m_instance, number, characters.data(), static_cast<int>(characters.size()));
        checkDefinedAPI(loaded, "LoadStringA", "Application.stringTable");
        if (loaded == 0)
            return {};
        const std::size_t length
            = static_cast<std::size_t>(std::find(characters.begin(), characters.end(), '\0') - characters.begin());
        // A text that fills the buffer may have been cut short.
        if (length + 1 < characters.size())
            return std::string(characters.data(), length);
        characters.resize(characters.size() * 2);
    }
}

std::size_t Application::stringBufferCapacity()
{
    StringBuffer& buffer = stringBuffer();
    std::lock_guard guard(buffer.lock);
    return buffer.characters.size();
}

}
