// What the window system asks of the host: the test's message box handler.
#pragma once

#include <winapi/host.h>

namespace winapi::host::detail {

// A copy of the current handler (empty when none is set).
MessageBoxHandler messageBoxHandler();

}
