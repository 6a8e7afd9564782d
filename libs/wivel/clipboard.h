// The platform clipboard while the program holds it open. Constructing a
// Clipboard opens it and destroying the object closes it, so a Clipboard
// lives on the stack for the few statements that use it; only one exists at
// a time. Data of a standard or registered format is handed to the
// clipboard; data of an application-defined format (0x0200 to 0x03FF),
// whose handles the platform never frees, is kept alive here until the
// clipboard is next emptied through reset.
#pragma once

#include "clipboarddata.h"
#include "object.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace wivel {

class WindowBase;

class Clipboard : public Object {
public:
    // Opens the clipboard for the owner's window, or for no window when
    // the owner is null. Requires that no other Clipboard exists.
    explicit Clipboard(const WindowBase* owner);
    ~Clipboard() override;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    // Empties the clipboard, which makes the owner its owner, and lets go
    // of the data kept for application-defined formats.
    virtual void reset();
    // Stores the data under the format. The data must accept the format.
    virtual void opIndexAssign(std::shared_ptr<ClipboardData> data, UINT format);
    virtual void putBytes(std::span<const std::byte> bytes, UINT format);
    // The text's characters and one zero byte.
    virtual void putText(std::string_view text, UINT format);
    virtual int formatCount() const;
    virtual bool hasFormat(UINT format) const;
    // The first of the formats that is on the clipboard; 0 when the
    // clipboard is empty, 0xFFFFFFFF when none of them is there.
    virtual UINT firstAvailableFormat(std::span<const UINT> formats) const;
    // The clipboard's data for the format, as an object that does not own
    // the handle: a Bitmap for CF_BITMAP, a Palette for CF_PALETTE, a
    // GlobalMemoryObject for any other format. The handle is not examined:
    // a memory format that is not on the clipboard gives an object of no
    // block, and a missing drawing object breaks the wrappers' precondition
    // of a handle.
    virtual std::unique_ptr<ClipboardData> retrieve(UINT format) const;
};

}
