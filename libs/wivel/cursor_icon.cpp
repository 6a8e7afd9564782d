// Icons and cursors: the lazily read description, copies, and destruction by
// kind.
#include "cursor_icon.h"

#include "except.h"

#include <functional>

namespace wivel {
namespace {

constexpr UINT copyFlags(std::uint8_t flags, bool fromResource)
{
    return (fromResource ? LR_COPYFROMRESOURCE : 0u) + flags;
}

}

// ---- CursorOrIcon -------------------------------------------------------

CursorOrIcon::CursorOrIcon(HICON handle, UINT imageType, bool owned)
    : m_handle(handle)
    , m_imageType(imageType)
    , m_owned(owned)
{
    require(handle != nullptr, "an icon or cursor handle is not null");
}

CursorOrIcon::CursorOrIcon(CursorOrIcon& source, std::int32_t width, std::int32_t height, UINT flags)
    : m_handle(nullptr)
    , m_imageType(source.m_imageType)
    , m_fromResource(source.m_fromResource && (flags & LR_COPYFROMRESOURCE) != 0)
    , m_owned(!m_fromResource)
{
    HANDLE copy = CopyImage(source.m_handle, m_imageType, width, height, flags);
    checkDefinedAPI(copy, "CopyImage", "CursorOrIcon.this");
    if (copy == source.m_handle && m_owned) {
        // The platform handed back the source's own image (LR_COPYRETURNORG).
        // This object would destroy an image the source still holds, so it
        // takes a copy of its own instead.
        copy = CopyImage(source.m_handle, m_imageType, width, height, flags & ~(LR_COPYRETURNORG | LR_COPYDELETEORG));
        checkDefinedAPI(copy, "CopyImage", "CursorOrIcon.this");
    } else if (copy != source.m_handle && (flags & LR_COPYDELETEORG) != 0) {
        source.m_owned = false;
    }
    require(copy != nullptr, "a copied image's handle is not null");
    m_handle = static_cast<HICON>(copy);
}

CursorOrIcon::~CursorOrIcon() = default;

bool CursorOrIcon::equals(const Object* other) const
{
    const auto* image = dynamic_cast<const CursorOrIcon*>(other);
    return image != nullptr && image->handle() == handle();
}

std::size_t CursorOrIcon::toHash() const { return std::hash<HICON> {}(m_handle); }

HICON CursorOrIcon::handle() const { return m_handle; }

void CursorOrIcon::readInfo() const
{
    if (m_iconInfo.hbmMask != nullptr)
        return;
    ICONINFO description {};
    checkDefinedAPI(GetIconInfo(m_handle, &description), "GetIconInfo", "CursorOrIcon.info");
    // A failure without a code: nothing was read, and nothing is recorded.
    if (description.hbmMask == nullptr)
        return;
    // The platform hands over new bitmaps, which their wrappers delete.
    auto mask = std::make_unique<Bitmap>(description.hbmMask, true);
    std::unique_ptr<Bitmap> colour;
    if (description.hbmColor != nullptr)
        colour = std::make_unique<Bitmap>(description.hbmColor, true);
    // A monochrome image's mask holds its two masks one above the other.
    m_size = colour ? colour->size() : Size(mask->width(), mask->height() / 2);
    m_maskBitmap = std::move(mask);
    m_colourBitmap = std::move(colour);
    m_iconInfo = description;
}

ICONINFO CursorOrIcon::info() const
{
    readInfo();
    return m_iconInfo;
}

Bitmap* CursorOrIcon::maskBitmap() const
{
    readInfo();
    return m_maskBitmap.get();
}

Bitmap* CursorOrIcon::colourBitmap() const
{
    readInfo();
    return m_colourBitmap.get();
}

Size CursorOrIcon::size() const
{
    readInfo();
    return m_size;
}

std::int32_t CursorOrIcon::width() const { return size().width; }

std::int32_t CursorOrIcon::height() const { return size().height; }

Point CursorOrIcon::hotspot() const
{
    readInfo();
    return { static_cast<std::int32_t>(m_iconInfo.xHotspot), static_cast<std::int32_t>(m_iconInfo.yHotspot) };
}

// LR_COPYRETURNORG with LR_COPYFROMRESOURCE, the source's own size.
std::unique_ptr<CursorOrIcon> CursorOrIcon::duplicate() { return duplicate(0, 0, LR_COPYRETURNORG, true); }

std::unique_ptr<CursorOrIcon> CursorOrIcon::duplicate(const Size& size, std::uint8_t flags, bool fromResource)
{
    return duplicate(size.width, size.height, flags, fromResource);
}

// ---- MouseCursor --------------------------------------------------------

MouseCursor::MouseCursor(HCURSOR handle, bool owned)
    : CursorOrIcon(handle, IMAGE_CURSOR, owned)
{
}

MouseCursor::MouseCursor(MouseCursor& source, std::int32_t width, std::int32_t height, UINT flags)
    : CursorOrIcon(source, width, height, flags)
{
}

MouseCursor::~MouseCursor()
{
    if (!owned())
        return;
    if (m_destroyAsIcon)
        checkRelease(DestroyIcon(CursorOrIcon::handle()) != FALSE, "DestroyIcon", "MouseCursor.~this");
    else
        checkRelease(DestroyCursor(CursorOrIcon::handle()) != FALSE, "DestroyCursor", "MouseCursor.~this");
}

std::unique_ptr<CursorOrIcon> MouseCursor::duplicate(
    std::int32_t width, std::int32_t height, std::uint8_t flags, bool fromResource)
{
    return std::make_unique<MouseCursor>(*this, width, height, copyFlags(flags, fromResource));
}

void MouseCursor::makeCurrent() { SetCursor(handle()); }

// ---- Icon ---------------------------------------------------------------

Icon::Icon(HICON handle, bool owned)
    : CursorOrIcon(handle, IMAGE_ICON, owned)
{
}

Icon::Icon(Icon& source, std::int32_t width, std::int32_t height, UINT flags)
    : CursorOrIcon(source, width, height, flags)
{
}

Icon::~Icon()
{
    if (owned())
        checkRelease(DestroyIcon(CursorOrIcon::handle()) != FALSE, "DestroyIcon", "Icon.~this");
}

std::unique_ptr<CursorOrIcon> Icon::duplicate(
    std::int32_t width, std::int32_t height, std::uint8_t flags, bool fromResource)
{
    return std::make_unique<Icon>(*this, width, height, copyFlags(flags, fromResource));
}

std::unique_ptr<Icon> Icon::smallCopy()
{
    return std::make_unique<Icon>(
        *this, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_COPYFROMRESOURCE);
}

}
