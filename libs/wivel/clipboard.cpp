// The scoped clipboard: opening and closing, storing data by the rules of
// its format, and reading it back. The two items of process-wide state are
// unguarded: the clipboard is used from the user-interface thread only.
#include "clipboard.h"

#include "except.h"
#include "gdiobject.h"
#include "globalmem.h"
#include "windowbase.h"

#include <map>
#include <vector>

namespace wivel {
namespace {

// Every block made for the clipboard is movable and shareable.
constexpr UINT clipboardFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

// True while a Clipboard exists.
bool isOpen = false;

// Both application-defined ranges: the platform frees the handles of
// neither, so their data objects must outlive their time on the clipboard.
bool isPrivateFormat(UINT format) { return format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST; }

// Never destroyed, so that no data object outlives the platform's stores
// at the end of the process; what it still holds then goes with them.
std::map<UINT, std::shared_ptr<ClipboardData>>& keptData()
{
    static auto* kept = new std::map<UINT, std::shared_ptr<ClipboardData>>;
    return *kept;
}

// Frees a handle whose object gave it up for the clipboard when the
// clipboard then refused it, the way the clipboard would have freed it.
void releaseRefused(UINT format, HANDLE handle)
{
    if (format == CF_BITMAP || format == CF_PALETTE)
        checkRelease(DeleteObject(handle) != FALSE, "DeleteObject", "Clipboard.opIndexAssign");
    else
        checkRelease(GlobalFree(handle) == nullptr, "GlobalFree", "Clipboard.opIndexAssign");
}

}

Clipboard::Clipboard(const WindowBase* owner)
{
    require(!isOpen, "only one Clipboard exists at a time");
    checkDefinedAPI(OpenClipboard(owner ? owner->handle() : nullptr), "OpenClipboard", "Clipboard.this");
    isOpen = true;
}

// A failed close cannot throw out of the destructor: it goes to
// checkRelease. The object is gone either way, so isOpen is cleared, and a
// later Clipboard may try again: the platform lets the thread that still
// holds the clipboard open it again, and anyone else is told why not by
// the failure of OpenClipboard rather than shut out for good.
Clipboard::~Clipboard()
{
    if (!CloseClipboard())
        checkRelease(GetLastError() == 0, "CloseClipboard", "Clipboard.~this");
    isOpen = false;
}

void Clipboard::reset()
{
    checkDefinedAPI(EmptyClipboard(), "EmptyClipboard", "Clipboard.reset");
    // Taken out first, so that the objects are released with the map
    // already empty.
    const auto released = std::move(keptData());
    keptData().clear();
}

void Clipboard::opIndexAssign(std::shared_ptr<ClipboardData> data, UINT format)
{
    require(data != nullptr, "data to store on the clipboard");
    if (isPrivateFormat(format)) {
        checkDefinedAPI(
            SetClipboardData(format, data->clipboardHandle(format, false)), "SetClipboardData", "Clipboard.opIndexAssign");
        keptData()[format] = std::move(data);
        return;
    }
    // The data object no longer owns the handle, so if the clipboard
    // refuses it, it is freed here before the failure is reported.
    const HANDLE handle = data->clipboardHandle(format, true);
    if (SetClipboardData(format, handle) != nullptr)
        return;
    const DWORD code = GetLastError();
    if (code == 0)
        return;
    if (handle)
        releaseRefused(format, handle);
    throw DefinedAPIException(code, "SetClipboardData", "Clipboard.opIndexAssign");
}

void Clipboard::putBytes(std::span<const std::byte> bytes, UINT format)
{
    opIndexAssign(std::make_shared<GlobalMemoryObject>(bytes, clipboardFlags), format);
}

void Clipboard::putText(std::string_view text, UINT format)
{
    opIndexAssign(std::make_shared<GlobalMemoryObject>(text, clipboardFlags), format);
}

int Clipboard::formatCount() const { return CountClipboardFormats(); }

bool Clipboard::hasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }

UINT Clipboard::firstAvailableFormat(std::span<const UINT> formats) const
{
    std::vector<UINT> list(formats.begin(), formats.end());
    return static_cast<UINT>(GetPriorityClipboardFormat(list.data(), static_cast<int>(list.size())));
}

std::unique_ptr<ClipboardData> Clipboard::retrieve(UINT format) const
{
    const HANDLE handle = GetClipboardData(format);
    if (format == CF_BITMAP)
        return std::make_unique<Bitmap>(static_cast<HBITMAP>(handle), false);
    if (format == CF_PALETTE)
        return std::make_unique<Palette>(static_cast<HPALETTE>(handle), false);
    return std::make_unique<GlobalMemoryObject>(handle);
}

}
