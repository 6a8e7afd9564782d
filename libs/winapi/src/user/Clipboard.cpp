// The clipboard: which thread holds it open and with which window, its owner,
// the data stored under each format in the order it was placed, and who
// frees that data. Memory blocks of standard and registered formats and the
// drawing objects of CF_BITMAP and CF_PALETTE belong to the clipboard once
// stored and are freed when it is next emptied or the format is replaced;
// handles of the two application-defined ranges stay their program's.
// CF_TEXT and CF_UNICODETEXT are each offered in the other's place and
// converted on the first request. A format stored without data is rendered
// by the owner on request (WM_RENDERFORMAT); the owner hears when the
// clipboard is emptied (WM_DESTROYCLIPBOARD). One lock guards the state; it
// is never held while a message goes to a window or while data is freed.
#include "core/CodePage.h"
#include "core/Faults.h"
#include "gdi/GdiObjects.h"

#include <windows.h>
#include <winapi/host.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace winapi {
namespace {

constexpr UINT firstRegisteredFormat = 0xC000;
constexpr std::size_t registeredFormats = 0x10000 - firstRegisteredFormat;
// The platform keeps format names in its atom table, whose names are at
// most 255 characters long.
constexpr std::size_t longestFormatName = 255;
constexpr UINT clipboardBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

// What a format's handle is, which decides how it is checked when stored
// and how it is freed when the clipboard lets it go.
enum class DataKind {
    Memory,   // a global memory block, freed with GlobalFree
    Bitmap,   // a bitmap, deleted as a drawing object
    Palette,  // a palette, deleted as a drawing object
    Borrowed, // any value; the program that stored it frees it
    Absent,   // no objects of this kind exist here (enhanced metafiles)
};

DataKind kindOf(UINT format)
{
    switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
        return DataKind::Bitmap;
    case CF_PALETTE:
        return DataKind::Palette;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
        return DataKind::Absent;
    default:
        return format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST ? DataKind::Borrowed : DataKind::Memory;
    }
}

struct Entry {
    UINT format { 0 };
    HANDLE handle { nullptr }; // null: the owner renders it on request
    DataKind kind { DataKind::Memory };
    UINT convertedFrom { 0 }; // the format this one was converted from, or 0
};

struct ClipboardState {
    std::mutex lock;
    DWORD openThread { 0 };   // 0: not open
    HWND openWindow { nullptr };
    HWND owner { nullptr };   // the window that last emptied it
    bool heldElsewhere { false };
    // While the owner renders a format on request, its thread may store
    // data without having the clipboard open.
    bool rendering { false };
    DWORD renderingThread { 0 };
    std::vector<Entry> entries;
    DWORD sequence { 0 };
    std::vector<std::string> names; // names[i] is format 0xC000 + i
};

// Never destroyed: data still on the clipboard when the process ends is
// released by the memory and drawing-object stores themselves, and no
// thread ending late can find the state gone.
ClipboardState& clipboard()
{
    static ClipboardState* state = new ClipboardState;
    return *state;
}

// A thread that ends with the clipboard open closes it, as the platform
// does, so that other threads can open it again.
struct OpenedByThread {
    DWORD thread { 0 };
    ~OpenedByThread()
    {
        if (thread == 0)
            return;
        ClipboardState& state = clipboard();
        std::lock_guard guard(state.lock);
        if (state.openThread == thread) {
            state.openThread = 0;
            state.openWindow = nullptr;
        }
    }
};
thread_local OpenedByThread openedByThread;

// ---- Text conversions ----------------------------------------------------

// The text format offered in a format's place when it is missing, or 0.
UINT textSourceOf(UINT format)
{
    if (format == CF_UNICODETEXT)
        return CF_TEXT;
    if (format == CF_TEXT)
        return CF_UNICODETEXT;
    return 0;
}

template<typename Unit>
std::vector<Unit> readUnits(HGLOBAL block)
{
    std::vector<Unit> units;
    const SIZE_T size = GlobalSize(block);
    const auto* data = static_cast<const Unit*>(GlobalLock(block));
    if (!data)
        return units;
    // A text ends at its zero unit or, lacking one, at the end of its block.
    for (SIZE_T i = 0; i < size / sizeof(Unit) && data[i] != 0; ++i)
        units.push_back(data[i]);
    GlobalUnlock(block);
    return units;
}

template<typename Unit>
HGLOBAL writeUnits(const std::vector<Unit>& units)
{
    const HGLOBAL block = GlobalAlloc(clipboardBlockFlags | GMEM_ZEROINIT, (units.size() + 1) * sizeof(Unit));
    if (!block)
        return nullptr;
    if (auto* data = static_cast<Unit*>(GlobalLock(block))) {
        std::copy(units.begin(), units.end(), data);
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

// A new block holding the text of `source` (in `sourceFormat`) in `format`.
HGLOBAL convertText(HGLOBAL source, UINT sourceFormat, UINT format)
{
    if (sourceFormat == CF_TEXT && format == CF_UNICODETEXT) {
        std::vector<WCHAR> wide;
        for (const char c : readUnits<char>(source))
            wide.push_back(static_cast<WCHAR>(fromWindows1252(static_cast<unsigned char>(c))));
        return writeUnits(wide);
    }
    std::vector<char> ansi;
    for (const WCHAR c : readUnits<WCHAR>(source))
        ansi.push_back(toWindows1252(static_cast<char32_t>(c)));
    return writeUnits(ansi);
}

// ---- State helpers (lock held) -------------------------------------------

bool openHere(const ClipboardState& state) { return state.openThread != 0 && state.openThread == GetCurrentThreadId(); }

Entry* findEntry(ClipboardState& state, UINT format)
{
    const auto found
        = std::find_if(state.entries.begin(), state.entries.end(), [format](const Entry& e) { return e.format == format; });
    return found == state.entries.end() ? nullptr : &*found;
}

// The formats a reader may ask for: those stored, in the order they were
// placed, then those offered by conversion.
std::vector<UINT> availableFormats(ClipboardState& state)
{
    std::vector<UINT> formats;
    for (const Entry& entry : state.entries)
        formats.push_back(entry.format);
    for (const Entry& entry : state.entries) {
        const UINT offered = textSourceOf(entry.format);
        if (offered != 0 && !findEntry(state, offered) && std::find(formats.begin(), formats.end(), offered) == formats.end())
            formats.push_back(offered);
    }
    return formats;
}

// Queues the handle of an entry that leaves the clipboard for freeing,
// unless another entry still holds it or it is not the clipboard's to free.
void releaseLater(const ClipboardState& state, const Entry& leaving, std::vector<Entry>& released)
{
    if (!leaving.handle || leaving.kind == DataKind::Borrowed)
        return;
    const auto same = [&leaving](const Entry& e) { return e.handle == leaving.handle; };
    if (std::any_of(state.entries.begin(), state.entries.end(), same)
        || std::any_of(released.begin(), released.end(), same))
        return;
    released.push_back(leaving);
}

// ---- Freeing (no lock held) ----------------------------------------------

void deleteDrawingObject(HANDLE handle)
{
    std::unique_ptr<gdi::GdiObject> removed;
    std::lock_guard guard(gdi::objectLock());
    const gdi::GdiObject* object = gdi::findObject(handle);
    // A bitmap still selected into a device context is refused by the
    // platform too; it stays until its program deletes it.
    if (object && !object->stock && object->selections == 0)
        removed = gdi::removeObject(handle);
}

void freeAll(const std::vector<Entry>& released)
{
    for (const Entry& entry : released) {
        if (entry.kind == DataKind::Memory)
            GlobalFree(entry.handle);
        else
            deleteDrawingObject(entry.handle);
    }
}

// Whether `handle` may be stored under a format of `kind`; sets the code
// when not. A null handle asks for rendering on request and is checked by
// the caller.
bool acceptable(HANDLE handle, DataKind kind)
{
    bool valid = true;
    switch (kind) {
    case DataKind::Memory:
        valid = GlobalFlags(handle) != GMEM_INVALID_HANDLE;
        break;
    case DataKind::Bitmap:
    case DataKind::Palette: {
        std::lock_guard guard(gdi::objectLock());
        valid = kind == DataKind::Bitmap ? gdi::findBitmap(handle) != nullptr : gdi::findPalette(handle) != nullptr;
        break;
    }
    case DataKind::Borrowed:
        break;
    case DataKind::Absent:
        valid = false;
        break;
    }
    if (!valid)
        SetLastError(ERROR_INVALID_HANDLE);
    return valid;
}

int compareNames(const std::string& a, const char* b)
{
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i])))
            return 1;
    }
    return i == a.size() && b[i] == '\0' ? 0 : 1;
}

}

// ---- The owner window (no lock held) ---------------------------------------

bool isLiveWindow(HWND window) { return window && IsWindow(window); }

// The previous owner learns that its data is gone, so that it can free what
// it kept for the application-defined formats.
void tellEmptied(HWND previousOwner)
{
    if (isLiveWindow(previousOwner))
        SendMessageA(previousOwner, WM_DESTROYCLIPBOARD, 0, 0);
}

// The data of a stored format, asking the owner to render it first when it
// was stored without data. Null when the format is not stored, or when no
// live owner renders it.
HANDLE dataRendered(ClipboardState& state, UINT format)
{
    HWND owner = nullptr;
    {
        std::lock_guard guard(state.lock);
        const Entry* entry = findEntry(state, format);
        if (!entry || entry->handle)
            return entry ? entry->handle : nullptr;
        // One request at a time: an owner that asks for data while it
        // renders gets none rather than a request of its own.
        if (state.rendering)
            return nullptr;
        owner = state.owner;
    }
    if (!isLiveWindow(owner))
        return nullptr;
    const DWORD ownerThread = GetWindowThreadProcessId(owner, nullptr);
    {
        std::lock_guard guard(state.lock);
        state.rendering = true;
        state.renderingThread = ownerThread;
    }
    SendMessageA(owner, WM_RENDERFORMAT, format, 0);
    std::lock_guard guard(state.lock);
    state.rendering = false;
    state.renderingThread = 0;
    const Entry* entry = findEntry(state, format);
    return entry ? entry->handle : nullptr;
}

// ---- Host -------------------------------------------------------------------

bool host::holdClipboard()
{
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    if (state.openThread != 0)
        return false;
    state.heldElsewhere = true;
    return true;
}

void host::releaseClipboard()
{
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    state.heldElsewhere = false;
}

std::optional<std::string> host::clipboardBytes(UINT format)
{
    HANDLE block = nullptr;
    {
        ClipboardState& state = clipboard();
        std::lock_guard guard(state.lock);
        const Entry* entry = findEntry(state, format);
        if (!entry || !entry->handle || kindOf(format) != DataKind::Memory)
            return std::nullopt;
        block = entry->handle;
    }
    const SIZE_T size = GlobalSize(block);
    const auto* data = static_cast<const char*>(GlobalLock(block));
    if (!data)
        return std::nullopt;
    std::string bytes(data, size);
    GlobalUnlock(block);
    return bytes;
}

bool host::putClipboardBytes(UINT format, std::string_view bytes)
{
    if (format == 0 || kindOf(format) != DataKind::Memory)
        return false;
    const HGLOBAL block = GlobalAlloc(clipboardBlockFlags, bytes.size());
    if (!block)
        return false;
    if (void* data = GlobalLock(block)) {
        std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    // Another program can store only while nobody here has it open.
    std::vector<Entry> released;
    bool stored = false;
    HWND previousOwner = nullptr;
    {
        ClipboardState& state = clipboard();
        std::lock_guard guard(state.lock);
        if (state.openThread == 0) {
            std::vector<Entry> leaving = std::move(state.entries);
            state.entries = { Entry { format, block, DataKind::Memory, 0 } };
            for (const Entry& entry : leaving)
                releaseLater(state, entry, released);
            previousOwner = state.owner;
            state.owner = nullptr;
            ++state.sequence;
            stored = true;
        }
    }
    if (!stored) {
        GlobalFree(block);
        return false;
    }
    tellEmptied(previousOwner);
    freeAll(released);
    return true;
}

}

using winapi::clipboard;
using winapi::ClipboardState;
using winapi::DataKind;
using winapi::Entry;
using winapi::injectedFailure;

extern "C" {

BOOL WINAPI OpenClipboard(HWND newOwner)
{
    if (injectedFailure("OpenClipboard"))
        return FALSE;
    if (newOwner && !IsWindow(newOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const DWORD thread = GetCurrentThreadId();
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    if (state.heldElsewhere || (state.openThread != 0 && state.openThread != thread)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (state.openThread == thread) {
        // Opening again with the same window is harmless; another window
        // of this thread is refused like any other window.
        if (state.openWindow == newOwner)
            return TRUE;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    state.openThread = thread;
    state.openWindow = newOwner;
    winapi::openedByThread.thread = thread;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void)
{
    if (injectedFailure("CloseClipboard"))
        return FALSE;
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    if (!winapi::openHere(state)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    state.openThread = 0;
    state.openWindow = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void)
{
    if (injectedFailure("EmptyClipboard"))
        return FALSE;
    std::vector<Entry> released;
    HWND previousOwner = nullptr;
    {
        ClipboardState& state = clipboard();
        std::lock_guard guard(state.lock);
        if (!winapi::openHere(state)) {
            SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
            return FALSE;
        }
        std::vector<Entry> leaving = std::move(state.entries);
        state.entries.clear();
        for (const Entry& entry : leaving)
            winapi::releaseLater(state, entry, released);
        // Opened with no window, the clipboard is left with no owner.
        previousOwner = state.owner;
        state.owner = state.openWindow;
        ++state.sequence;
    }
    // The owner that empties its own clipboard is told as well.
    winapi::tellEmptied(previousOwner);
    winapi::freeAll(released);
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE data)
{
    if (injectedFailure("SetClipboardData"))
        return nullptr;
    if (format == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const DataKind kind = winapi::kindOf(format);
    if (data && !winapi::acceptable(data, kind))
        return nullptr;
    std::vector<Entry> released;
    {
        ClipboardState& state = clipboard();
        std::lock_guard guard(state.lock);
        const bool renderingHere = state.rendering && state.renderingThread == GetCurrentThreadId();
        if (!winapi::openHere(state) && !renderingHere) {
            SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
            return nullptr;
        }
        // Data rendered on request needs a window to ask for it.
        if (!data && !state.owner) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        Entry stored { format, data, kind, 0 };
        std::vector<Entry> leaving;
        if (Entry* existing = winapi::findEntry(state, format)) {
            leaving.push_back(*existing);
            *existing = stored;
        } else {
            state.entries.push_back(stored);
        }
        // A conversion made from the data this replaces is out of date.
        std::erase_if(state.entries, [&leaving, format](const Entry& e) {
            if (e.convertedFrom != format)
                return false;
            leaving.push_back(e);
            return true;
        });
        for (const Entry& entry : leaving)
            winapi::releaseLater(state, entry, released);
        ++state.sequence;
    }
    winapi::freeAll(released);
    if (!data)
        // Success with a null result: only the code tells it from failure.
        SetLastError(NO_ERROR);
    return data;
}

HANDLE WINAPI GetClipboardData(UINT format)
{
    if (injectedFailure("GetClipboardData"))
        return nullptr;
    ClipboardState& state = clipboard();
    UINT source = 0;
    {
        std::lock_guard guard(state.lock);
        if (!winapi::openHere(state)) {
            SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
            return nullptr;
        }
        if (!winapi::findEntry(state, format)) {
            source = winapi::textSourceOf(format);
            if (source != 0 && !winapi::findEntry(state, source))
                source = 0;
        }
    }
    const HANDLE data = winapi::dataRendered(state, source != 0 ? source : format);
    if (!data) {
        // No data in that format: not a failure of the call.
        SetLastError(NO_ERROR);
        return nullptr;
    }
    if (source == 0)
        return data;
    // Only this thread has the clipboard open, so the source stays while
    // the conversion runs without the lock.
    const HGLOBAL converted = winapi::convertText(data, source, format);
    if (!converted)
        return nullptr;
    std::lock_guard guard(state.lock);
    state.entries.push_back(Entry { format, converted, DataKind::Memory, source });
    return converted;
}

int WINAPI CountClipboardFormats(void)
{
    if (injectedFailure("CountClipboardFormats"))
        return 0;
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    SetLastError(NO_ERROR);
    return static_cast<int>(winapi::availableFormats(state).size());
}

UINT WINAPI EnumClipboardFormats(UINT format)
{
    if (injectedFailure("EnumClipboardFormats"))
        return 0;
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    if (!winapi::openHere(state)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return 0;
    }
    // The end of the list is a zero with no error.
    SetLastError(NO_ERROR);
    const std::vector<UINT> formats = winapi::availableFormats(state);
    if (format == 0)
        return formats.empty() ? 0 : formats.front();
    const auto found = std::find(formats.begin(), formats.end(), format);
    return found == formats.end() || found + 1 == formats.end() ? 0 : *(found + 1);
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format)
{
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    const std::vector<UINT> formats = winapi::availableFormats(state);
    SetLastError(NO_ERROR);
    return format != 0 && std::find(formats.begin(), formats.end(), format) != formats.end();
}

int WINAPI GetPriorityClipboardFormat(UINT* formats, int count)
{
    if (count < 0 || (count > 0 && !formats)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    const std::vector<UINT> available = winapi::availableFormats(state);
    if (available.empty())
        return 0;
    for (int i = 0; i < count; ++i) {
        if (std::find(available.begin(), available.end(), formats[i]) != available.end())
            return static_cast<int>(formats[i]);
    }
    return -1;
}

HWND WINAPI GetClipboardOwner(void)
{
    ClipboardState& state = clipboard();
    HWND owner = nullptr;
    {
        std::lock_guard guard(state.lock);
        owner = state.owner;
    }
    // An owner destroyed since is no owner; its data stays until emptied.
    return winapi::isLiveWindow(owner) ? owner : nullptr;
}

HWND WINAPI GetOpenClipboardWindow(void)
{
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    return state.openThread != 0 ? state.openWindow : nullptr;
}

UINT WINAPI RegisterClipboardFormatA(LPCSTR name)
{
    if (injectedFailure("RegisterClipboardFormatA"))
        return 0;
    if (!name || name[0] == '\0' || std::strlen(name) > winapi::longestFormatName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    for (std::size_t i = 0; i < state.names.size(); ++i) {
        if (winapi::compareNames(state.names[i], name) == 0)
            return winapi::firstRegisteredFormat + static_cast<UINT>(i);
    }
    if (state.names.size() >= winapi::registeredFormats) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    state.names.emplace_back(name);
    return winapi::firstRegisteredFormat + static_cast<UINT>(state.names.size() - 1);
}

int WINAPI GetClipboardFormatNameA(UINT format, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    const std::size_t index = format - winapi::firstRegisteredFormat;
    // The standard formats have no names of their own.
    if (format < winapi::firstRegisteredFormat || index >= state.names.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        buffer[0] = '\0';
        return 0;
    }
    const std::string& name = state.names[index];
    const std::size_t copied = std::min(name.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, name.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

DWORD WINAPI GetClipboardSequenceNumber(void)
{
    ClipboardState& state = clipboard();
    std::lock_guard guard(state.lock);
    return state.sequence;
}

}
