// Our own wording for every error code the layer can set. Each text is one
// sentence ended by "\r\n", as the platform ends its message texts; a code
// missing here has no text at all, which callers must cope with.
#include "kernel/ErrorTexts.h"

#include <algorithm>
#include <array>

namespace winapi {
namespace {

struct Entry {
    DWORD code;
    const char* text;
};

constexpr Entry entries[] = {
    { ERROR_SUCCESS, "The operation succeeded.\r\n" },
    { ERROR_INVALID_FUNCTION, "The function is not valid here.\r\n" },
    { ERROR_FILE_NOT_FOUND, "No file of that name exists.\r\n" },
    { ERROR_ACCESS_DENIED, "Access was refused.\r\n" },
    { ERROR_INVALID_HANDLE, "The handle does not refer to a live object.\r\n" },
    { ERROR_NOT_ENOUGH_MEMORY, "There is not enough memory to carry out the operation.\r\n" },
    { ERROR_INVALID_DATA, "The data is malformed.\r\n" },
    { ERROR_OUTOFMEMORY, "The system ran out of memory while carrying out the operation.\r\n" },
    { ERROR_NOT_SUPPORTED, "The request is not supported.\r\n" },
    { ERROR_INVALID_PARAMETER, "A parameter of the call is not valid.\r\n" },
    { ERROR_CALL_NOT_IMPLEMENTED, "The call is not available on this system.\r\n" },
    { ERROR_INSUFFICIENT_BUFFER, "The buffer given is too small for the data.\r\n" },
    { ERROR_INVALID_NAME, "The name is not valid.\r\n" },
    { ERROR_MOD_NOT_FOUND, "No module of that name is loaded.\r\n" },
    { ERROR_DISCARDED, "The memory block has been discarded and cannot be locked.\r\n" },
    { ERROR_NOT_LOCKED, "The memory block is not locked.\r\n" },
    { ERROR_MR_MID_NOT_FOUND, "No message text exists for that code.\r\n" },
    { ERROR_NOACCESS, "The memory address given is not accessible.\r\n" },
    { ERROR_INVALID_FLAGS, "The flags given are not valid.\r\n" },
    { ERROR_INVALID_WINDOW_HANDLE, "The window handle does not refer to a live window.\r\n" },
    { ERROR_INVALID_MENU_HANDLE, "The menu handle does not refer to a live menu.\r\n" },
    { ERROR_INVALID_CURSOR_HANDLE, "The cursor handle does not refer to a live cursor.\r\n" },
    { ERROR_INVALID_ACCEL_HANDLE, "The accelerator table handle is not valid.\r\n" },
    { ERROR_TLW_WITH_WSCHILD, "A child window must have a parent window.\r\n" },
    { ERROR_CANNOT_FIND_WND_CLASS, "No window class of that name is registered.\r\n" },
    { ERROR_WINDOW_OF_OTHER_THREAD, "The window belongs to another thread.\r\n" },
    { ERROR_CLASS_ALREADY_EXISTS, "A window class of that name is already registered.\r\n" },
    { ERROR_CLASS_DOES_NOT_EXIST, "The window class is not registered.\r\n" },
    { ERROR_CLASS_HAS_WINDOWS, "The window class still has windows.\r\n" },
    { ERROR_INVALID_INDEX, "The index is outside the valid range.\r\n" },
    { ERROR_INVALID_ICON_HANDLE, "The icon handle does not refer to a live icon.\r\n" },
    { ERROR_CLIPBOARD_NOT_OPEN, "The clipboard is not open for this thread.\r\n" },
    { ERROR_WINDOW_NOT_DIALOG, "The window is not a dialog box.\r\n" },
    { ERROR_CONTROL_ID_NOT_FOUND, "No control with that identifier exists.\r\n" },
    { ERROR_INVALID_COMBOBOX_MESSAGE, "The message is not valid for a combo box without an edit field.\r\n" },
    { ERROR_WINDOW_NOT_COMBOBOX, "The window is not a combo box.\r\n" },
    { ERROR_DC_NOT_FOUND, "The device context handle is not valid.\r\n" },
    { ERROR_CHILD_WINDOW_MENU, "A child window cannot have a menu.\r\n" },
    { ERROR_INVALID_THREAD_ID, "The thread identifier does not name a thread with a message queue.\r\n" },
    { ERROR_NO_SCROLLBARS, "The window has no scroll bars.\r\n" },
    { ERROR_INVALID_SCROLLBAR_RANGE, "The scroll bar range is not valid.\r\n" },
    { ERROR_INVALID_SHOWWIN_COMMAND, "The show command is not valid.\r\n" },
    { ERROR_NO_SYSTEM_RESOURCES, "The system has too few resources left to complete the request.\r\n" },
    { ERROR_COMMITMENT_LIMIT, "The memory the request needs cannot be committed.\r\n" },
    { ERROR_MENU_ITEM_NOT_FOUND, "The menu has no such item.\r\n" },
    { ERROR_TIMEOUT, "The operation did not finish in the time allowed.\r\n" },
    { ERROR_RESOURCE_DATA_NOT_FOUND, "The image file holds no resource section.\r\n" },
    { ERROR_RESOURCE_TYPE_NOT_FOUND, "The image file holds no resource of that type.\r\n" },
    { ERROR_RESOURCE_NAME_NOT_FOUND, "The image file holds no resource of that name.\r\n" },
    { ERROR_RESOURCE_LANG_NOT_FOUND, "The image file holds no resource of that language.\r\n" },
    { ERROR_NOT_ENOUGH_QUOTA, "The queue or quota is full; the request cannot be taken.\r\n" },
    { ERROR_INVALID_PIXEL_FORMAT, "The pixel format is not valid.\r\n" },
};

constexpr bool sortedByCode()
{
    for (std::size_t i = 1; i < std::size(entries); ++i) {
        if (entries[i - 1].code >= entries[i].code)
            return false;
    }
    return true;
}
static_assert(sortedByCode(), "keep the table sorted by code so that lookup can bisect it");

}

const char* errorText(DWORD code)
{
    const auto found = std::lower_bound(std::begin(entries), std::end(entries), code,
        [](const Entry& entry, DWORD wanted) { return entry.code < wanted; });
    return found != std::end(entries) && found->code == code ? found->text : nullptr;
}

}
