// The index of the linked resource image: the image is checked and indexed
// once when it is set, lookups then search the index. The index is replaced
// as a whole, so a lookup on another thread keeps the index it started
// with; the image's bytes themselves stay valid for the life of the layer.
#include "resources/ByteReader.h"
#include "resources/ResourceTable.h"

#include "core/HandleTable.h"
#include "kernel/Module.h"

#include <winapi/host.h>

#include <cstdlib>
#include <memory>
#include <mutex>

namespace winapi::resources {
namespace {

// The resource types looked up here, as numbers (RT_ values are pointers).
constexpr WORD typeCursor = 1;
constexpr WORD typeIcon = 3;
constexpr WORD typeString = 6;
constexpr WORD typeGroupCursor = 12;
constexpr WORD typeGroupIcon = 14;

struct Entry {
    NameOrId type;
    NameOrId name;
    WORD language { 0 };
    std::span<const BYTE> data;
};

struct Index {
    std::uint32_t generation { 0 };
    std::vector<Entry> entries;
};

// Every resource of an image: DataSize, HeaderSize, type, name (each a
// number or a text), padding to 32 bits, DataVersion, MemoryFlags,
// LanguageId, Version, Characteristics, then the data padded to 32 bits.
// Entries of type 0 (the image's leading marker) are skipped. Any entry
// that does not fit refuses the whole image.
std::optional<std::vector<Entry>> readEntries(std::span<const BYTE> image)
{
    std::vector<Entry> entries;
    ByteReader reader(image);
    while (!reader.atEnd()) {
        const std::size_t start = reader.offset();
        const DWORD dataSize = reader.dword();
        const DWORD headerSize = reader.dword();
        if (!reader.ok() || headerSize < 32 || headerSize % 4 != 0 || headerSize > image.size() - start)
            return std::nullopt;
        ByteReader header(image.first(start + headerSize), start + 8);
        Entry entry;
        entry.type = header.nameOrId(true);
        entry.name = header.nameOrId(true);
        header.align(4);
        header.dword(); // DataVersion
        header.word();  // MemoryFlags
        entry.language = header.word();
        header.dword(); // Version
        header.dword(); // Characteristics
        if (!header.ok())
            return std::nullopt;
        reader.skip(headerSize - 8);
        entry.data = reader.bytes(dataSize);
        if (!reader.ok())
            return std::nullopt;
        reader.align(4);
        if (entry.type.empty())
            continue;
        if (entries.size() == 0xFFFF) // handle values number entries in 16 bits
            return std::nullopt;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::mutex& indexLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<const Index>& currentIndex()
{
    static std::shared_ptr<const Index> index;
    return index;
}

std::uint32_t& lastGeneration()
{
    static std::uint32_t generation = 0;
    return generation;
}

std::shared_ptr<const Index> index()
{
    std::lock_guard guard(indexLock());
    return currentIndex();
}

std::uint32_t handleOf(const Index& index, std::size_t position)
{
    return static_cast<std::uint32_t>(HandleKind::Resource) << 28 | index.generation << 16
        | static_cast<std::uint32_t>(position + 1);
}

// The position of the resource in the index, or nothing with the
// platform's code for what was missing.
std::optional<std::size_t> lookUp(const Index* index, const NameOrId& type, const NameOrId& name)
{
    if (!index) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    bool typeSeen = false;
    for (std::size_t i = 0; i < index->entries.size(); ++i) {
        const Entry& entry = index->entries[i];
        if (entry.type != type)
            continue;
        typeSeen = true;
        // The first of several languages wins: the program has one.
        if (entry.name == name)
            return i;
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return std::nullopt;
}

NameOrId numbered(WORD id)
{
    return NameOrId { id, {} };
}

struct ImageMeasures {
    int width { 0 };
    int height { 0 };
    WORD bitCount { 0 };
};

// Reads the measures of an icon or cursor image from its own header: a
// bitmap header (whose height counts both masks) or a PNG stream.
std::optional<ImageMeasures> measure(std::span<const BYTE> image, const ImageMeasures& fromDirectory)
{
    static constexpr BYTE pngSignature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (image.size() >= sizeof pngSignature && std::equal(std::begin(pngSignature), std::end(pngSignature), image.begin()))
        return fromDirectory;
    ByteReader reader(image);
    const DWORD headerSize = reader.dword();
    ImageMeasures measures;
    if (headerSize == 12) {
        measures.width = reader.word();
        measures.height = reader.word() / 2;
        reader.word();
        measures.bitCount = reader.word();
    } else if (headerSize >= 40) {
        measures.width = static_cast<LONG>(reader.dword());
        measures.height = static_cast<LONG>(reader.dword()) / 2;
        reader.word();
        measures.bitCount = reader.word();
    } else {
        return std::nullopt;
    }
    if (!reader.ok() || measures.width <= 0 || measures.height <= 0 || headerSize > image.size())
        return std::nullopt;
    return measures;
}

}

bool isOwnModule(HMODULE module)
{
    return module == nullptr || module == programModule();
}

NameOrId nameOrIdFrom(LPCSTR value)
{
    if (IS_INTRESOURCE(value))
        return numbered(static_cast<WORD>(reinterpret_cast<std::uintptr_t>(value)));
    std::string text(value);
    if (text.size() > 1 && text.size() <= 6 && text[0] == '#'
        && text.find_first_not_of("0123456789", 1) == std::string::npos) {
        const unsigned long number = std::strtoul(text.c_str() + 1, nullptr, 10);
        if (number >= 1 && number <= 0xFFFF)
            return numbered(static_cast<WORD>(number));
    }
    return NameOrId { 0, ByteReader::upperCased(std::move(text)) };
}

std::optional<std::span<const BYTE>> findResource(const NameOrId& type, const NameOrId& name)
{
    const auto current = index();
    const auto position = lookUp(current.get(), type, name);
    if (!position)
        return std::nullopt;
    return current->entries[*position].data;
}

std::optional<FoundResource> findResourceHandle(const NameOrId& type, const NameOrId& name)
{
    const auto current = index();
    const auto position = lookUp(current.get(), type, name);
    if (!position)
        return std::nullopt;
    return FoundResource { handleOf(*current, *position), current->entries[*position].data };
}

std::optional<std::span<const BYTE>> resourceData(std::uint32_t handle)
{
    const auto current = index();
    const std::uint32_t position = handle & 0xFFFF;
    if (!current || handle >> 28 != static_cast<std::uint32_t>(HandleKind::Resource)
        || ((handle >> 16) & 0xFFF) != current->generation || position == 0 || position > current->entries.size()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    return current->entries[position - 1].data;
}

std::optional<std::string> findString(UINT id)
{
    if (id > 0xFFFF) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return std::nullopt;
    }
    // Strings are stored sixteen to a block: block n holds ids 16(n-1) to
    // 16(n-1)+15, each a length and that many UTF-16 units.
    const auto block = findResource(numbered(typeString), numbered(static_cast<WORD>(id / 16 + 1)));
    if (!block)
        return std::nullopt;
    ByteReader reader(*block);
    for (UINT slot = 0; slot < id % 16; ++slot)
        reader.skip(std::size_t { reader.word() } * 2);
    const std::u16string text = reader.countedText(reader.word());
    if (!reader.ok()) {
        SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    return toAnsi(text);
}

std::optional<IconImage> findIconImage(const NameOrId& group, int width, int height, bool cursor)
{
    const auto directory = findResource(numbered(cursor ? typeGroupCursor : typeGroupIcon), group);
    if (!directory)
        return std::nullopt;
    if (width <= 0)
        width = GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON);
    if (height <= 0)
        height = GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON);

    // The directory: reserved, type (1 icons, 2 cursors), count, then one
    // 14-byte entry an image. Icons keep width, height and colour count in
    // bytes (0 meaning 256); cursors keep width and twice the height in
    // words. Both end with planes, bit count, size and the image's id.
    ByteReader reader(*directory);
    reader.word();
    const WORD kind = reader.word();
    const WORD count = reader.word();
    if (!reader.ok() || kind != (cursor ? 2 : 1) || reader.remaining() < std::size_t { count } * 14) {
        SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    std::optional<IconImage> best;
    long bestDistance = 0;
    for (WORD i = 0; i < count; ++i) {
        ImageMeasures listed;
        if (cursor) {
            listed.width = reader.word();
            listed.height = reader.word() / 2;
        } else {
            listed.width = reader.byte();
            listed.height = reader.byte();
            listed.width = listed.width == 0 ? 256 : listed.width;
            listed.height = listed.height == 0 ? 256 : listed.height;
            reader.word(); // colour count and reserved
        }
        reader.word(); // planes
        listed.bitCount = reader.word();
        reader.dword(); // size
        const WORD imageId = reader.word();
        const auto image = findResource(numbered(cursor ? typeCursor : typeIcon), numbered(imageId));
        if (!image)
            continue;
        const std::span<const BYTE> bitmap = cursor ? (image->size() < 4 ? std::span<const BYTE> {} : image->subspan(4))
                                                    : *image;
        const auto measures = measure(bitmap, listed);
        if (!measures)
            continue;
        const long distance = std::labs(long { measures->width } - width) + std::labs(long { measures->height } - height);
        const bool better = !best || distance < bestDistance
            || (distance == bestDistance
                && (measures->width * measures->height > best->width * best->height
                    || (measures->width * measures->height == best->width * best->height
                        && measures->bitCount > best->bitCount)));
        if (better) {
            best = IconImage { *image, measures->width, measures->height, measures->bitCount, imageId };
            bestDistance = distance;
        }
    }
    if (!best)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return best;
}

}

void winapi::host::setResourceImage(const void* data, std::size_t size)
{
    using namespace winapi::resources;
    // A malformed image is refused as a whole: the module then has no
    // resources, as it has none before the first image is set.
    std::optional<std::vector<Entry>> entries;
    if (data)
        entries = readEntries({ static_cast<const BYTE*>(data), size });
    std::lock_guard guard(indexLock());
    if (!entries) {
        currentIndex().reset();
        return;
    }
    // Generations run from 1 to 0xFFF, so that the handles of an earlier
    // image go stale.
    std::uint32_t& generation = lastGeneration();
    generation = generation >= 0xFFF ? 1 : generation + 1;
    auto replacement = std::make_shared<Index>();
    replacement->generation = generation;
    replacement->entries = std::move(*entries);
    currentIndex() = std::move(replacement);
}
