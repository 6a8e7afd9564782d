// The icon and cursor store and its calls: loading system images and the
// program's icon and cursor resources (shared loads come back as the same
// handle and are never destroyed), copies with the platform's flags,
// descriptions handed out as new bitmaps, icons made from bitmaps, and
// the cursor shown. Icons and cursors share one handle table and one lock,
// taken before the drawing objects' lock when both are needed.
#include "user/Icons.h"

#include "core/Faults.h"
#include "core/HandleTable.h"
#include "gdi/GdiObjects.h"
#include "resources/ResourceTable.h"

#include <windows.h>
#include <winapi/host.h>

#include <map>
#include <mutex>
#include <string>

using namespace winapi;
using namespace winapi::icons;

namespace {

// Where an image came from, so that LR_COPYFROMRESOURCE can draw it anew.
struct Origin {
    bool system { false };
    resources::NameOrId name;
};

struct IconObject {
    IconImage image;
    bool shared { false };
    std::optional<Origin> origin;
};

struct Store {
    std::mutex lock;
    HandleTable<IconObject> table { HandleKind::Icon };
    // Shared loads by what was asked for: the same request gives the same
    // handle for as long as the program runs.
    std::map<std::string, std::uint32_t> shared;
    std::uint32_t current { 0 };
};

Store& store()
{
    static Store instance;
    return instance;
}

int standardSize(bool cursor, bool vertical)
{
    return GetSystemMetrics(cursor ? (vertical ? SM_CYCURSOR : SM_CXCURSOR) : (vertical ? SM_CYICON : SM_CXICON));
}

// A monochrome version of a colour image: the XOR mask is white where an
// opaque pixel is light.
IconImage toMonochrome(IconImage image)
{
    if (!image.colour)
        return image;
    const int w = image.width();
    const int h = image.height();
    std::optional<gdi::Pixmap> masks = gdi::Pixmap::make(w, h * 2, 1);
    if (!masks)
        return image;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool transparent = image.mask.pixel(x, y) != 0;
            masks->setPixel(x, y, transparent ? RGB(255, 255, 255) : RGB(0, 0, 0));
            const bool light = !transparent && gdi::isLightColour(image.colour->pixel(x, y));
            masks->setPixel(x, y + h, light ? RGB(255, 255, 255) : RGB(0, 0, 0));
        }
    }
    image.mask = std::move(*masks);
    image.colour.reset();
    return image;
}

std::optional<IconImage> scaledImage(const IconImage& source, int width, int height)
{
    if (width == source.width() && height == source.height())
        return source;
    IconImage image;
    image.isIcon = source.isIcon;
    image.hotspot = source.isIcon
        ? POINT { width / 2, height / 2 }
        : POINT { source.hotspot.x * width / source.width(), source.hotspot.y * height / source.height() };
    std::optional<gdi::Pixmap> mask = source.mask.converted(width, source.colour ? height : height * 2, 1);
    if (!mask)
        return std::nullopt;
    image.mask = std::move(*mask);
    if (source.colour) {
        image.colour = source.colour->converted(width, height, 32);
        if (!image.colour)
            return std::nullopt;
    }
    return image;
}

// Draws or reads the image of an origin at a size (0: the image's own, or
// the standard size for system images). Sets the code on failure.
std::optional<IconImage> loadImage(const Origin& origin, bool cursor, int width, int height, bool monochrome)
{
    std::optional<IconImage> image;
    if (origin.system) {
        const int w = width > 0 ? width : standardSize(cursor, false);
        const int h = height > 0 ? height : standardSize(cursor, true);
        image = cursor ? systemCursor(origin.name.id, w, h) : systemIcon(origin.name.id, w, h);
        if (!image)
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    } else {
        const std::optional<resources::IconImage> found = resources::findIconImage(origin.name, width, height, cursor);
        if (!found)
            return std::nullopt;
        image = decodeIconResource(found->data.data(), found->data.size(), cursor, width, height);
    }
    if (image && monochrome)
        image = toMonochrome(std::move(*image));
    return image;
}

HICON insert(IconObject object)
{
    const std::uint32_t handle = store().table.insert(std::make_unique<IconObject>(std::move(object)));
    if (handle == 0) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return nullptr;
    }
    return toHandle<HICON>(handle);
}

std::string sharedKey(const Origin& origin, bool cursor, int width, int height, bool monochrome)
{
    std::string key = origin.system ? "system:" : "module:";
    key += cursor ? "cursor:" : "icon:";
    key += origin.name.isId() ? "#" + std::to_string(origin.name.id) : origin.name.name;
    key += ":" + std::to_string(width) + "x" + std::to_string(height) + (monochrome ? ":mono" : "");
    return key;
}

HANDLE loadIconOrCursor(HINSTANCE instance, LPCSTR name, bool cursor, int width, int height, UINT flags)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Origin origin;
    if (instance == nullptr) {
        if (!IS_INTRESOURCE(name)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        origin.system = true;
        origin.name.id = LOWORD(name);
    } else if (resources::isOwnModule(instance)) {
        origin.name = resources::nameOrIdFrom(name);
    } else {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (flags & LR_DEFAULTSIZE) {
        width = width > 0 ? width : standardSize(cursor, false);
        height = height > 0 ? height : standardSize(cursor, true);
    }
    const bool monochrome = flags & LR_MONOCHROME;
    const bool shared = flags & LR_SHARED;
    std::string key;
    if (shared) {
        key = sharedKey(origin, cursor, width, height, monochrome);
        // A shared image belongs to the resource image it came from: the
        // address of its directory tells one image from the next.
        if (!origin.system) {
            const auto directory = resources::findResource(
                resources::nameOrIdFrom(cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON), origin.name);
            if (!directory)
                return nullptr;
            key += ":" + std::to_string(reinterpret_cast<std::uintptr_t>(directory->data()));
        }
    }
    if (shared) {
        std::lock_guard guard(store().lock);
        const auto found = store().shared.find(key);
        if (found != store().shared.end())
            return toHandle<HANDLE>(found->second);
    }
    std::optional<IconImage> image = loadImage(origin, cursor, width, height, monochrome);
    if (!image)
        return nullptr;
    std::lock_guard guard(store().lock);
    if (shared) {
        // Another thread may have loaded the same image meanwhile.
        const auto found = store().shared.find(key);
        if (found != store().shared.end())
            return toHandle<HANDLE>(found->second);
    }
    HICON icon = insert(IconObject { std::move(*image), shared, std::move(origin) });
    if (icon && shared)
        store().shared.emplace(key, handleValue(icon));
    return icon;
}

HANDLE loadBitmap(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags)
{
    // The system's own bitmaps are not provided.
    if (instance == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (!resources::isOwnModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const auto data = resources::findResource(resources::nameOrIdFrom(RT_BITMAP), resources::nameOrIdFrom(name));
    if (!data)
        return nullptr;
    std::optional<gdi::Pixmap> pixels = decodeBitmapResource(data->data(), data->size(), flags & LR_MONOCHROME);
    if (!pixels)
        return nullptr;
    if ((width > 0 && width != pixels->width()) || (height > 0 && height != pixels->height())) {
        pixels = pixels->converted(width > 0 ? width : pixels->width(), height > 0 ? height : pixels->height(),
            pixels->bitsPixel());
        if (!pixels) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    std::lock_guard guard(gdi::objectLock());
    return gdi::createBitmapObject(std::move(*pixels));
}

HANDLE copyBitmap(HANDLE source, int width, int height, UINT flags)
{
    std::lock_guard guard(gdi::objectLock());
    const gdi::BitmapObject* bitmap = gdi::findBitmap(source);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const gdi::Pixmap& pixels = bitmap->pixels;
    width = width > 0 ? width : pixels.width();
    height = height > 0 ? height : pixels.height();
    const unsigned depth = flags & LR_MONOCHROME ? 1 : pixels.bitsPixel();
    if ((flags & LR_COPYRETURNORG) && width == pixels.width() && height == pixels.height()
        && depth == pixels.bitsPixel())
        return source;
    std::optional<gdi::Pixmap> copy = pixels.converted(width, height, depth);
    if (!copy) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HBITMAP result = gdi::createBitmapObject(std::move(*copy));
    if (result && (flags & LR_COPYDELETEORG))
        gdi::removeObject(source);
    return result;
}

BOOL destroy(HICON icon)
{
    std::unique_ptr<IconObject> removed;
    std::lock_guard guard(store().lock);
    const IconObject* found = store().table.find(icon);
    if (!found) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (found->shared)
        return TRUE;
    removed = store().table.remove(icon);
    // The cursor shown cannot outlive its image: the screen shows none.
    if (store().current == handleValue(icon))
        store().current = 0;
    return TRUE;
}

HANDLE copyIcon(HANDLE source, UINT type, int width, int height, UINT flags)
{
    IconImage image;
    std::optional<Origin> origin;
    bool shared = false;
    {
        std::lock_guard guard(store().lock);
        const IconObject* found = store().table.find(source);
        if (!found) {
            SetLastError(ERROR_INVALID_CURSOR_HANDLE);
            return nullptr;
        }
        image = found->image;
        origin = found->origin;
        shared = found->shared;
    }
    const bool cursor = !image.isIcon;
    if (flags & LR_DEFAULTSIZE) {
        width = width > 0 ? width : standardSize(type == IMAGE_CURSOR, false);
        height = height > 0 ? height : standardSize(type == IMAGE_CURSOR, true);
    }
    width = width > 0 ? width : image.width();
    height = height > 0 ? height : image.height();
    const bool monochrome = (flags & LR_MONOCHROME) && image.colour;
    if ((flags & LR_COPYRETURNORG) && width == image.width() && height == image.height() && !monochrome)
        return source;

    std::optional<IconImage> copy;
    if ((flags & LR_COPYFROMRESOURCE) && origin)
        copy = loadImage(*origin, cursor, width, height, monochrome);
    if (!copy) {
        copy = scaledImage(image, width, height);
        if (copy && monochrome)
            copy = toMonochrome(std::move(*copy));
    }
    if (!copy) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HICON result;
    {
        std::lock_guard guard(store().lock);
        result = insert(IconObject { std::move(*copy), false, origin });
    }
    if (result && (flags & LR_COPYDELETEORG) && !shared)
        destroy(static_cast<HICON>(source));
    return result;
}

}

namespace winapi::icons {

std::optional<IconImage> iconImage(HICON icon)
{
    std::lock_guard guard(store().lock);
    const IconObject* found = store().table.find(icon);
    if (!found)
        return std::nullopt;
    return found->image;
}

}

std::size_t winapi::host::liveIcons()
{
    std::lock_guard guard(store().lock);
    std::size_t count = 0;
    store().table.forEach([&](std::uint32_t, const IconObject& object) {
        if (!object.shared)
            ++count;
    });
    return count;
}

HCURSOR winapi::host::currentCursor()
{
    return GetCursor();
}

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    if (injectedFailure("LoadIconA"))
        return nullptr;
    return static_cast<HICON>(loadIconOrCursor(instance, name, false, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (injectedFailure("LoadCursorA"))
        return nullptr;
    return static_cast<HCURSOR>(loadIconOrCursor(instance, name, true, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    if (injectedFailure("LoadImageA"))
        return nullptr;
    // The program reads no files; images come only from its resources.
    if (flags & LR_LOADFROMFILE) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (type) {
    case IMAGE_BITMAP:
        return loadBitmap(instance, name, width, height, flags);
    case IMAGE_ICON:
    case IMAGE_CURSOR:
        return loadIconOrCursor(instance, name, type == IMAGE_CURSOR, width, height, flags);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HANDLE WINAPI CopyImage(HANDLE image, UINT type, int width, int height, UINT flags)
{
    if (injectedFailure("CopyImage"))
        return nullptr;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (type) {
    case IMAGE_BITMAP:
        return copyBitmap(image, width, height, flags);
    case IMAGE_ICON:
    case IMAGE_CURSOR:
        return copyIcon(image, type, width, height, flags);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HICON WINAPI CopyIcon(HICON icon)
{
    if (injectedFailure("CopyIcon"))
        return nullptr;
    return static_cast<HICON>(copyIcon(icon, IMAGE_ICON, 0, 0, 0));
}

BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info)
{
    if (injectedFailure("GetIconInfo"))
        return FALSE;
    if (!info) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::optional<IconImage> image = icons::iconImage(icon);
    if (!image) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    // The caller owns both bitmaps and deletes them.
    std::lock_guard guard(gdi::objectLock());
    HBITMAP mask = gdi::createBitmapObject(std::move(image->mask));
    HBITMAP colour = nullptr;
    if (mask && image->colour) {
        colour = gdi::createBitmapObject(std::move(*image->colour));
        if (!colour) {
            gdi::removeObject(mask);
            mask = nullptr;
        }
    }
    if (!mask)
        return FALSE;
    info->fIcon = image->isIcon;
    info->xHotspot = static_cast<DWORD>(image->hotspot.x);
    info->yHotspot = static_cast<DWORD>(image->hotspot.y);
    info->hbmMask = mask;
    info->hbmColor = colour;
    return TRUE;
}

HICON WINAPI CreateIconIndirect(PICONINFO info)
{
    if (injectedFailure("CreateIconIndirect"))
        return nullptr;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    IconImage image;
    image.isIcon = info->fIcon != FALSE;
    {
        std::lock_guard guard(gdi::objectLock());
        const gdi::BitmapObject* mask = gdi::findBitmap(info->hbmMask);
        const gdi::BitmapObject* colour = info->hbmColor ? gdi::findBitmap(info->hbmColor) : nullptr;
        if (!mask || (info->hbmColor && !colour)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        std::optional<gdi::Pixmap> maskPixels;
        if (colour) {
            const gdi::Pixmap& pixels = colour->pixels;
            image.colour = pixels.converted(pixels.width(), pixels.height(), 32);
            maskPixels = mask->pixels.converted(pixels.width(), pixels.height(), 1);
            if (!image.colour || !maskPixels) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
        } else {
            // A monochrome image holds both masks in one bitmap of twice
            // the image's height.
            if (mask->pixels.height() < 2 || mask->pixels.height() % 2) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            maskPixels = mask->pixels.converted(mask->pixels.width(), mask->pixels.height(), 1);
            if (!maskPixels) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
        }
        image.mask = std::move(*maskPixels);
    }
    // An icon's hotspot is its centre, whatever the record says.
    image.hotspot = image.isIcon ? POINT { image.width() / 2, image.height() / 2 }
                                 : POINT { static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot) };
    std::lock_guard guard(store().lock);
    return insert(IconObject { std::move(image), false, std::nullopt });
}

BOOL WINAPI DestroyIcon(HICON icon)
{
    if (injectedFailure("DestroyIcon"))
        return FALSE;
    return destroy(icon);
}

BOOL WINAPI DestroyCursor(HCURSOR cursor)
{
    if (injectedFailure("DestroyCursor"))
        return FALSE;
    return destroy(cursor);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor)
{
    std::lock_guard guard(store().lock);
    if (cursor && !store().table.find(cursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return nullptr;
    }
    const std::uint32_t previous = store().current;
    store().current = handleValue(cursor);
    return toHandle<HCURSOR>(previous);
}

HCURSOR WINAPI GetCursor(void)
{
    std::lock_guard guard(store().lock);
    return toHandle<HCURSOR>(store().current);
}

}
