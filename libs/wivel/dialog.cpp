// Dialog creation under the application's lock, the modal run, and the
// dialog's answers to the platform's dialog manager.
#include "dialog.h"

#include "application.h"
#include "except.h"

#include <mutex>

namespace wivel {

DialogException::DialogException(const std::string& message)
    : WindowBaseException(message)
{
}

Dialog::Dialog(std::int32_t templateId, Application& application)
    : WindowBase(application)
    , m_templateId(templateId)
{
    isDialog(true);
}

Dialog::Dialog(std::int32_t templateId, WindowBase* parent, bool modal)
    : WindowBase(parent)
    , m_modal(modal)
    , m_templateId(templateId)
{
    isDialog(true);
}

HWND Dialog::parentHandle() const { return parent() != nullptr ? parent()->handle() : nullptr; }

// Creation holds the application's lock, and binding the new window takes
// the registry's inside it: always in that order.
void Dialog::create()
{
    require(!m_modal, "only a modeless dialog is created on its own");
    std::scoped_lock guard(application());
    pendingWindow(this);
    const HWND window = CreateDialogParamA(application().instance(),
        MAKEINTRESOURCEA(m_templateId), parentHandle(), windowProcedure, 0);
    if (window == nullptr) {
        // Left pending, the object would be bound by the next unknown window.
        withdrawPendingWindow(this);
        throw DialogException("Could not create dialog - possibly invalid resource ID");
    }
}

INT_PTR Dialog::show()
{
    if (!m_modal)
        return WindowBase::show();
    INT_PTR result = 0;
    {
        // Held for the whole modal run: other threads that create dialogs wait.
        std::scoped_lock guard(application());
        pendingWindow(this);
        result = DialogBoxParamA(application().instance(),
            MAKEINTRESOURCEA(m_templateId), parentHandle(), windowProcedure, 0);
        if (result == -1) {
            withdrawPendingWindow(this);
            throw DialogException("Could not create dialog - possibly invalid resource ID");
        }
    }
    require(result != 0, "a modal dialog ends with a result that is not zero");
    return result;
}

void Dialog::close(INT_PTR code)
{
    if (!canClose())
        return;
    if (m_modal)
        EndDialog(handle(), code);
    else
        DestroyWindow(handle());
}

LRESULT Dialog::processMessage(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target)
{
    bool handled = false;
    const LRESULT result = dispatch(message, wParam, lParam, target, handled);
    if (!handled)
        return FALSE;
    // The answer to WM_INITDIALOG says whether the platform sets the focus.
    if (message == WM_INITDIALOG)
        return result;
    // A handler may have destroyed the dialog: then there is nowhere to
    // store the result. The pointer-sized store keeps the whole result on
    // 64-bit hosts; a previous result of zero is no failure.
    const HWND window = handle();
    if (IsWindow(window)) {
        SetLastError(0);
        checkDefinedAPI(
            SetWindowLongPtrA(window, DWLP_MSGRESULT, result), "SetWindowLongPtrA", "Dialog.processMessage");
    }
    return TRUE;
}

LRESULT Dialog::handleControlNotify(UINT code, UINT id, NMHDR* header)
{
    if (code != 0)
        return 0;
    if (id == IDOK || id == IDCANCEL) {
        close(id);
        return 0;
    }
    return onControlNotify(code, id, header);
}

void Dialog::installListeners()
{
    clearListeners();
    // Bound through the virtual operation, so a subclass's replacement runs.
    addListener(ListenerHandler(this, &Dialog::initDialogListener), initDialogPriority);
    addListener(ListenerHandler(this, &WindowBase::standardListener), standardPriority);
}

LRESULT Dialog::initDialogListener(UINT message, WPARAM, LPARAM, WindowBase&, bool& handled)
{
    if (message != WM_INITDIALOG)
        return 0;
    onInitDialog();
    initialised(true);
    handled = true;
    return autoFocus() ? 1 : 0;
}

bool Dialog::autoFocus() { return true; }

}
