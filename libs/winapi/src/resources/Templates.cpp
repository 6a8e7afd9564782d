// Parsers of the templates that the window system builds from: dialog
// templates (classic and extended), menu templates (classic and extended)
// and accelerator tables, and the conversion of the image's UTF-16 texts to
// the Windows-1252 bytes that the ANSI calls hand out. The parsers trust
// nothing in the bytes: whatever is cut short or inconsistent is refused.
#include "resources/ByteReader.h"
#include "resources/ResourceTable.h"

#include <array>

namespace winapi::resources {
namespace {

// The class atoms that dialog templates use for the predefined classes.
NameOrId controlClass(NameOrId stored)
{
    static constexpr std::array<const char*, 6> names { "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX" };
    if (stored.isId() && stored.id >= 0x80 && stored.id < 0x80 + names.size())
        return NameOrId { 0, names[stored.id - 0x80] };
    return stored;
}

std::string ansiText(ByteReader& reader)
{
    return toAnsi(reader.text());
}

// Each item starts on a 32-bit boundary. Classic: style, extended style,
// x, y, cx, cy, 16-bit id. Extended: help id, extended style, style, x, y,
// cx, cy, 32-bit id. Then class, title and the creation data.
bool readItem(ByteReader& reader, bool extended, DialogItemTemplate& item)
{
    reader.align(4);
    if (extended) {
        item.helpId = reader.dword();
        item.exStyle = reader.dword();
        item.style = reader.dword();
    } else {
        item.style = reader.dword();
        item.exStyle = reader.dword();
    }
    item.x = reader.shortValue();
    item.y = reader.shortValue();
    item.cx = reader.shortValue();
    item.cy = reader.shortValue();
    item.id = extended ? reader.dword() : reader.word();
    item.windowClass = controlClass(reader.nameOrId(true));
    item.title = reader.nameOrId(false);
    const WORD dataSize = reader.word();
    if (!reader.ok())
        return false;
    if (dataSize != 0) {
        // The classic count includes the count itself.
        if (!extended && dataSize < 2)
            return false;
        const auto data = reader.bytes(extended ? dataSize : dataSize - 2u);
        item.creationData.assign(data.begin(), data.end());
    }
    return reader.ok();
}

constexpr int maxMenuDepth = 32; // nesting of popups; deeper is refused

constexpr UINT typeBits = MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_SEPARATOR | MFT_RADIOCHECK
    | MFT_RIGHTORDER | MF_RIGHTJUSTIFY;
constexpr UINT stateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

// One level of a classic menu: items until the one marked MF_END. A popup
// (MF_POPUP) has no id and is followed by its own level.
bool readClassicLevel(ByteReader& reader, std::vector<MenuTemplateItem>& items, int depth)
{
    if (depth > maxMenuDepth)
        return false;
    for (;;) {
        MenuTemplateItem item;
        const WORD option = reader.word();
        const bool popup = option & MF_POPUP;
        if (!popup)
            item.id = reader.word();
        item.text = ansiText(reader);
        if (!reader.ok())
            return false;
        item.flags = option & ~UINT { MF_END };
        if (!popup && item.flags == 0 && item.id == 0 && item.text.empty())
            item.flags = MF_SEPARATOR;
        item.type = item.flags & typeBits & ~UINT { MFT_RADIOCHECK }; // 0x200 is MF_USECHECKBITMAPS here
        item.state = item.flags & stateBits & ~UINT { MF_HILITE };    // 0x80 is MF_END here
        if (popup && !readClassicLevel(reader, item.children, depth + 1))
            return false;
        items.push_back(std::move(item));
        if (option & MF_END)
            return true;
    }
}

// One level of an extended menu: each item on a 32-bit boundary with type,
// state, id, flags (0x01 popup, 0x80 last) and text; a popup then has its
// help id and its own level.
bool readExtendedLevel(ByteReader& reader, std::vector<MenuTemplateItem>& items, int depth)
{
    if (depth > maxMenuDepth)
        return false;
    for (;;) {
        MenuTemplateItem item;
        reader.align(4);
        item.type = reader.dword();
        item.state = reader.dword();
        item.id = reader.dword();
        const WORD flags = reader.word();
        item.text = ansiText(reader);
        if (!reader.ok())
            return false;
        const bool popup = flags & 0x01;
        item.flags = (popup ? UINT { MF_POPUP } : 0) | (item.type & typeBits) | (item.state & stateBits);
        if (popup) {
            reader.align(4);
            item.helpId = reader.dword();
            if (!reader.ok() || !readExtendedLevel(reader, item.children, depth + 1))
                return false;
        }
        items.push_back(std::move(item));
        if (flags & 0x80)
            return true;
    }
}

// Windows-1252 bytes 0x80 to 0x9F: the characters they stand for, in byte
// order (0 where the code page leaves the byte undefined).
constexpr std::array<char16_t, 32> upperControlRange { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

char ansiOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < upperControlRange.size(); ++i) {
        if (upperControlRange[i] == c)
            return static_cast<char>(0x80 + i);
    }
    // The five bytes the code page leaves undefined map to the control
    // characters of the same value, both ways.
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
        return static_cast<char>(c);
    return '?';
}

}

std::optional<DialogTemplate> parseDialogTemplate(std::span<const BYTE> data)
{
    // Classic: style, extended style, item count, x, y, cx, cy. Extended:
    // version 1, signature 0xFFFF, help id, extended style, style, item
    // count, x, y, cx, cy. Then menu, class, title and, with DS_SETFONT,
    // the font: point size (extended: then weight, italic, charset) and
    // face name.
    ByteReader reader(data);
    DialogTemplate dialog;
    ByteReader probe(data);
    const WORD version = probe.word();
    dialog.extended = probe.word() == 0xFFFF && version == 1 && probe.ok();
    if (dialog.extended) {
        reader.skip(4);
        dialog.helpId = reader.dword();
        dialog.exStyle = reader.dword();
        dialog.style = reader.dword();
    } else {
        dialog.style = reader.dword();
        dialog.exStyle = reader.dword();
    }
    const WORD itemCount = reader.word();
    dialog.x = reader.shortValue();
    dialog.y = reader.shortValue();
    dialog.cx = reader.shortValue();
    dialog.cy = reader.shortValue();
    dialog.menu = reader.nameOrId(true);
    dialog.windowClass = reader.nameOrId(true);
    dialog.title = ansiText(reader);
    dialog.hasFont = dialog.style & DS_SETFONT;
    if (dialog.hasFont) {
        dialog.pointSize = reader.word();
        if (dialog.extended) {
            dialog.weight = reader.word();
            dialog.italic = reader.byte();
            dialog.charset = reader.byte();
        }
        dialog.faceName = ansiText(reader);
    }
    if (!reader.ok())
        return std::nullopt;
    for (WORD i = 0; i < itemCount; ++i) {
        DialogItemTemplate item;
        if (!readItem(reader, dialog.extended, item))
            return std::nullopt;
        dialog.items.push_back(std::move(item));
    }
    return dialog;
}

std::optional<MenuTemplate> parseMenuTemplate(std::span<const BYTE> data)
{
    // Header: version (0 classic, 1 extended) and the offset of the first
    // item from the end of the header's first four bytes.
    ByteReader reader(data);
    MenuTemplate menu;
    const WORD version = reader.word();
    const WORD offset = reader.word();
    if (!reader.ok() || version > 1)
        return std::nullopt;
    menu.extended = version == 1;
    reader.skip(offset);
    const bool complete = menu.extended ? readExtendedLevel(reader, menu.items, 0)
                                        : readClassicLevel(reader, menu.items, 0);
    if (!complete)
        return std::nullopt;
    return menu;
}

std::optional<std::vector<AcceleratorEntry>> parseAcceleratorTable(std::span<const BYTE> data)
{
    // Eight bytes an entry: flags, key, command, padding; the last entry's
    // flags carry 0x80.
    ByteReader reader(data);
    std::vector<AcceleratorEntry> entries;
    for (;;) {
        const WORD flags = reader.word();
        AcceleratorEntry entry;
        entry.key = reader.word();
        entry.command = reader.word();
        reader.word();
        if (!reader.ok())
            return std::nullopt;
        entry.flags = static_cast<BYTE>(flags & 0x7F);
        entries.push_back(entry);
        if (flags & 0x80)
            return entries;
    }
}

std::string toAnsi(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        result.push_back(ansiOf(c));
    }
    return result;
}

}
