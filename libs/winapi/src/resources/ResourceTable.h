// The module's resources: the compiled resource image (the standard binary
// .res format) linked into the program and handed to the layer through
// winapi::host::setResourceImage, and parsers for the templates that the
// window system builds from it. Texts in the image are UTF-16; parsed
// templates carry them as Windows-1252 bytes, as the ANSI calls see them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::resources {

// A resource type or name: a 16-bit number or a text (upper-cased, as the
// platform compares names without regard to case).
struct NameOrId {
    WORD id { 0 };
    std::string name;

    bool isId() const { return name.empty() && id != 0; }
    bool empty() const { return name.empty() && id == 0; }
    bool operator==(const NameOrId&) const = default;
};

// Reads a type or name parameter of an ANSI call: MAKEINTRESOURCE values,
// "#123" texts and plain names.
NameOrId nameOrIdFrom(LPCSTR value);

// The data of one resource of the linked image, or nothing (with the
// platform's last-error code set: ERROR_RESOURCE_DATA_NOT_FOUND,
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND).
std::optional<std::span<const BYTE>> findResource(const NameOrId& type, const NameOrId& name);

// The string of a string table, or nothing when the table has no such id.
std::optional<std::string> findString(UINT id);

// The image of an icon group (RT_GROUP_ICON) or cursor group
// (RT_GROUP_CURSOR) nearest the requested size (0 means the system's
// standard size): the RT_ICON or RT_CURSOR data, a DIB (header, colour
// table, colour bits, mask bits; cursors start with the two hotspot words).
struct IconImage {
    std::span<const BYTE> data;
    int width { 0 };
    int height { 0 };
    WORD bitCount { 0 };
    WORD imageId { 0 };
};
std::optional<IconImage> findIconImage(const NameOrId& group, int width, int height, bool cursor);

struct DialogItemTemplate {
    DWORD style { 0 };
    DWORD exStyle { 0 };
    DWORD helpId { 0 };
    short x { 0 }, y { 0 }, cx { 0 }, cy { 0 };
    DWORD id { 0 };
    // Predefined classes (atoms 0x0080 to 0x0085) come back as their names:
    // "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX".
    NameOrId windowClass;
    // The text, or a resource number (an SS_ICON static names its icon so).
    NameOrId title;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    bool extended { false };
    DWORD style { 0 };
    DWORD exStyle { 0 };
    DWORD helpId { 0 };
    short x { 0 }, y { 0 }, cx { 0 }, cy { 0 };
    NameOrId menu;
    NameOrId windowClass;
    std::string title;
    bool hasFont { false }; // DS_SETFONT or DS_SHELLFONT
    WORD pointSize { 0 };
    WORD weight { 0 };
    BYTE italic { 0 };
    BYTE charset { 0 };
    std::string faceName;
    std::vector<DialogItemTemplate> items;
};
std::optional<DialogTemplate> parseDialogTemplate(std::span<const BYTE> data);

struct MenuTemplateItem {
    // For a classic template: MF_ flags as stored (MF_POPUP, MF_GRAYED,
    // MF_SEPARATOR, ...). For an extended one: type (MFT_) and state (MFS_).
    UINT flags { 0 };
    UINT type { 0 };
    UINT state { 0 };
    UINT id { 0 };
    std::string text;
    std::vector<MenuTemplateItem> children; // the items of a popup
};
struct MenuTemplate {
    bool extended { false };
    std::vector<MenuTemplateItem> items;
};
std::optional<MenuTemplate> parseMenuTemplate(std::span<const BYTE> data);

struct AcceleratorEntry {
    BYTE flags { 0 }; // FVIRTKEY, FSHIFT, FCONTROL, FALT, FNOINVERT
    WORD key { 0 };
    WORD command { 0 };
};
std::optional<std::vector<AcceleratorEntry>> parseAcceleratorTable(std::span<const BYTE> data);

// UTF-16 text of the image to Windows-1252 bytes ('?' for what it lacks).
std::string toAnsi(std::u16string_view text);

}
