// Anchors the clipboard interface's type information in one place.
#include "clipboarddata.h"

namespace wivel {

ClipboardData::~ClipboardData() = default;

}
