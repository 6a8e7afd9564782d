// Windows made from dialog templates in the program's resources, modeless
// (created and then living beside the message loop) or modal (shown by a
// call that returns the dialog's result when it closes). Every framework
// dialog has windowProcedure as its dialog procedure and learns its handle
// from its first message, through the pending window.
#pragma once

#include "windowbase.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace wivel {

class DialogException : public WindowBaseException {
public:
    explicit DialogException(const std::string& message);
};

class Dialog : public WindowBase {
public:
    // The standard listeners' priorities: below every ordinary one.
    static constexpr std::int32_t initDialogPriority = static_cast<std::int32_t>(0xC0000000);
    static constexpr std::int32_t standardPriority = static_cast<std::int32_t>(0xB0000000);

    // A modeless dialog without parent.
    Dialog(std::int32_t templateId, Application& application);
    // A modal dialog is owned by its parent's window.
    Dialog(std::int32_t templateId, WindowBase* parent, bool modal);

    // Modeless dialogs only.
    void create() override;
    // A modal dialog runs until it is closed and returns its result, which
    // is never zero; a modeless one is created if need be and made visible.
    INT_PTR show() override;
    // Ends a modal dialog with the code, destroys a modeless one.
    void close(INT_PTR code) override;
    // Answers as a dialog procedure does: FALSE leaves the message to the
    // default dialog processing; a consumed message's result is stored as
    // the dialog's message result.
    LRESULT processMessage(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target) override;
    // OK and Cancel close the dialog with their identifier; other
    // notifications with a code are ignored.
    LRESULT handleControlNotify(UINT code, UINT id, NMHDR* header) override;
    void installListeners() override;
    virtual LRESULT initDialogListener(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target, bool& handled);
    // True: the platform puts the focus on the first control that takes it.
    virtual bool autoFocus();

    bool modal() const { return m_modal; }
    std::int32_t templateId() const { return m_templateId; }

private:
    HWND parentHandle() const;

    bool m_modal = false;
    std::int32_t m_templateId;
};

}
