// What the clipboard asks of an object it is given: the platform handle that
// holds the object's data in one clipboard format. With `transfer` true the
// clipboard takes the handle over and the object must never free it again;
// with `transfer` false the object keeps it and must keep it valid while it
// is on the clipboard. Each implementation names the formats it accepts; any
// other format is a broken precondition.
#pragma once

#include <windows.h>

namespace wivel {

class ClipboardData {
public:
    virtual ~ClipboardData();
    virtual HANDLE clipboardHandle(UINT format, bool transfer) = 0;

protected:
    ClipboardData() = default;
    ClipboardData(const ClipboardData&) = default;
    ClipboardData& operator=(const ClipboardData&) = default;
};

}
