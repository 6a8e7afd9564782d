// The layer's table of system message texts, one per error code it sets.
#pragma once

#include <windows.h>

namespace winapi {

// The text for a code, ending with the platform's line break, or nullptr
// when the code has none.
const char* errorText(DWORD code);

}
