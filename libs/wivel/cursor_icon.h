// Wrappers of the platform's icons and mouse cursors. CursorOrIcon holds the
// handle and answers questions about the image from the platform's
// description of it, read once on first need; Icon and MouseCursor add how
// each kind is copied and destroyed. A wrapper destroys its image only when it
// owns it.
#pragma once

#include "gdiobject.h"
#include "geometry.h"
#include "object.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace wivel {

class CursorOrIcon : public Object {
public:
    CursorOrIcon(const CursorOrIcon&) = delete;
    CursorOrIcon& operator=(const CursorOrIcon&) = delete;
    ~CursorOrIcon() override;

    // Equal to any cursor or icon of the same handle, whatever its kind.
    bool equals(const Object* other) const override;
    // Consistent with equality: wrappers of one handle hash alike.
    std::size_t toHash() const override;

    virtual HICON handle() const;
    // The platform's description. Its bitmap handles belong to maskBitmap
    // and colourBitmap, not to the caller.
    virtual ICONINFO info() const;
    // Null only while the description could not be read.
    virtual Bitmap* maskBitmap() const;
    // Null for a monochrome image.
    virtual Bitmap* colourBitmap() const;
    virtual Size size() const;
    virtual std::int32_t width() const;
    virtual std::int32_t height() const;
    virtual Point hotspot() const;
    // A copy of the same size, made afresh from the resource where possible.
    virtual std::unique_ptr<CursorOrIcon> duplicate();
    // A copy of the given size (0 keeps the source's measure). `flags` are
    // the low LR_ flags (LR_MONOCHROME, LR_COPYRETURNORG, LR_COPYDELETEORG);
    // `fromResource` asks for LR_COPYFROMRESOURCE.
    virtual std::unique_ptr<CursorOrIcon> duplicate(
        std::int32_t width, std::int32_t height, std::uint8_t flags, bool fromResource)
        = 0;
    virtual std::unique_ptr<CursorOrIcon> duplicate(const Size& size, std::uint8_t flags, bool fromResource);

    UINT imageType() const { return m_imageType; }
    bool fromResource() const { return m_fromResource; }
    bool owned() const { return m_owned; }

protected:
    // Requires a handle that is not null.
    CursorOrIcon(HICON handle, UINT imageType, bool owned);
    // A copy of `source` made with CopyImage. The copy owns its image unless
    // it is made afresh from a resource. Should the platform destroy the
    // source's image (LR_COPYDELETEORG), the source stops owning it.
    CursorOrIcon(CursorOrIcon& source, std::int32_t width, std::int32_t height, UINT flags);

private:
    void readInfo() const;

    HICON m_handle;
    mutable ICONINFO m_iconInfo {};
    UINT m_imageType;
    mutable std::unique_ptr<Bitmap> m_maskBitmap;
    mutable std::unique_ptr<Bitmap> m_colourBitmap;
    mutable Size m_size;
    bool m_fromResource = false;
    bool m_owned;
};

class MouseCursor : public CursorOrIcon {
public:
    MouseCursor(HCURSOR handle, bool owned);
    MouseCursor(MouseCursor& source, std::int32_t width, std::int32_t height, UINT flags);
    ~MouseCursor() override;

    using CursorOrIcon::duplicate;
    std::unique_ptr<CursorOrIcon> duplicate(
        std::int32_t width, std::int32_t height, std::uint8_t flags, bool fromResource) override;
    // Makes this the cursor shown; the previous one is not kept.
    virtual void makeCurrent();

    // Set for a cursor built from icon data, which is destroyed as an icon.
    bool destroyAsIcon() const { return m_destroyAsIcon; }

private:
    bool m_destroyAsIcon = false;
};

class Icon : public CursorOrIcon {
public:
    Icon(HICON handle, bool owned);
    Icon(Icon& source, std::int32_t width, std::int32_t height, UINT flags);
    ~Icon() override;

    using CursorOrIcon::duplicate;
    std::unique_ptr<CursorOrIcon> duplicate(
        std::int32_t width, std::int32_t height, std::uint8_t flags, bool fromResource) override;
    // A copy in the system's small-icon size.
    virtual std::unique_ptr<Icon> smallCopy();
};

}
