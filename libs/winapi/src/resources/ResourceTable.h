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

// Whether a module handle names the program's module: NULL or the value
// of GetModuleHandleA(NULL).
bool isOwnModule(HMODULE module);

// Reads a type or name parameter of an ANSI call: MAKEINTRESOURCE values,
// "#123" texts (1 to 65535) and plain names.
NameOrId nameOrIdFrom(LPCSTR value);

// The data of one resource of the linked image, or nothing (with the
// platform's last-error code set: ERROR_RESOURCE_DATA_NOT_FOUND,
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND).
std::optional<std::span<const BYTE>> findResource(const NameOrId& type, const NameOrId& name);

// The same lookup for FindResourceA: the resource's handle value (stale
// once another image is set) and its data, and the data back from a handle
// value (nothing, with ERROR_INVALID_HANDLE, for a stale or false one).
struct FoundResource {
    std::uint32_t handle { 0 };
    std::span<const BYTE> data;
};
std::optional<FoundResource> findResourceHandle(const NameOrId& type, const NameOrId& name);
std::optional<std::span<const BYTE>> resourceData(std::uint32_t handle);

// The string of a string table, or nothing (with the last-error code set
// as findResource sets it) when no block of the table holds the id. An id
// whose block exists but that has no text gives an empty text: the format
// stores the two the same way.
std::optional<std::string> findString(UINT id);

// The image of an icon group (RT_GROUP_ICON) or cursor group
// (RT_GROUP_CURSOR) nearest the requested size (0 means the system's
// standard size): the RT_ICON or RT_CURSOR data, a DIB (header, colour
// table, colour bits, mask bits; cursors start with the two hotspot words).
// The measures are those of the image itself, not of the directory. Of two
// images equally near the request the larger wins, then the deeper. Fails
// as findResource does, or with ERROR_INVALID_DATA for a broken directory.
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
    // The bytes after the size word (whose count includes itself in the
    // classic format and does not in the extended one).
    std::vector<BYTE> creationData;
    bool operator==(const DialogItemTemplate&) const = default;
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
    // Identifiers of a classic template are 16-bit and come back as stored
    // (an item of id -1 has 0xFFFF), those of an extended one are 32-bit.
    std::vector<DialogItemTemplate> items;
    bool operator==(const DialogTemplate&) const = default;
};
// Menu and class names come back upper-cased like any resource name; the
// titles keep their case. Nothing for a template that is cut short or
// otherwise malformed.
std::optional<DialogTemplate> parseDialogTemplate(std::span<const BYTE> data);

struct MenuTemplateItem {
    // Both forms are filled from either kind of template. `flags` are MF_
    // flags: as stored in a classic template, without the end-of-level mark
    // MF_END and with MF_SEPARATOR for the separator form (no flags, id 0,
    // no text); for an extended one MF_POPUP and the type and state bits,
    // which share the MF_ values. `type` (MFT_) and `state` (MFS_) are as
    // stored in an extended template and the matching MF_ bits otherwise.
    UINT flags { 0 };
    UINT type { 0 };
    UINT state { 0 };
    UINT id { 0 };
    DWORD helpId { 0 }; // extended popups only
    std::string text;
    std::vector<MenuTemplateItem> children; // the items of a popup
    bool operator==(const MenuTemplateItem&) const = default;
};
struct MenuTemplate {
    bool extended { false };
    std::vector<MenuTemplateItem> items;
    bool operator==(const MenuTemplate&) const = default;
};
std::optional<MenuTemplate> parseMenuTemplate(std::span<const BYTE> data);

struct AcceleratorEntry {
    BYTE flags { 0 }; // FVIRTKEY, FSHIFT, FCONTROL, FALT, FNOINVERT
    WORD key { 0 };
    WORD command { 0 };
    bool operator==(const AcceleratorEntry&) const = default;
};
// The entries up to the one marked last; nothing when no entry is.
std::optional<std::vector<AcceleratorEntry>> parseAcceleratorTable(std::span<const BYTE> data);

// UTF-16 text of the image to Windows-1252 bytes ('?' for what it lacks,
// one for each character, so a surrogate pair gives one).
std::string toAnsi(std::u16string_view text);

}
