// Global memory blocks: allocation and filling, ownership and its hand-over
// to the clipboard, copies, and scoped locks.
#include "globalmem.h"

#include "except.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace wivel {
namespace {

// Every block made for the clipboard is movable and shareable.
constexpr UINT clipboardFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

UINT blockSize(std::size_t bytes)
{
    requireInRange(bytes <= std::numeric_limits<UINT>::max(), "a global memory block holds at most 4 GiB - 1 bytes");
    return static_cast<UINT>(bytes);
}

}

GlobalMemoryObject::GlobalMemoryObject(UINT size, UINT flags)
    : m_owned(true)
    , m_memoryHandle(GlobalAlloc(flags, size))
    , m_byteSize(size)
    , m_allocFlags(flags)
{
    checkDefinedAPI(m_memoryHandle, "GlobalAlloc", "GlobalMemoryObject.this");
}

GlobalMemoryObject::GlobalMemoryObject(std::string_view text, UINT flags)
    : GlobalMemoryObject(blockSize(text.size() + 1), flags)
{
    fill(text.data(), text.size(), true);
}

GlobalMemoryObject::GlobalMemoryObject(std::span<const std::byte> bytes, UINT flags)
    : GlobalMemoryObject(blockSize(bytes.size()), flags)
{
    fill(bytes.data(), bytes.size(), false);
}

GlobalMemoryObject::GlobalMemoryObject(HGLOBAL handle)
    : m_owned(false)
    , m_memoryHandle(handle)
    , m_byteSize(static_cast<UINT>(GlobalSize(handle)))
    , m_allocFlags(0)
{
}

GlobalMemoryObject::~GlobalMemoryObject()
{
    if (!m_owned)
        return;
    // GlobalFree answers null when the block is gone. A failure cannot
    // leave a destructor: it goes to checkRelease, which keeps it for the
    // thread to inspect; as in every check, a failure that the platform
    // reports with the code 0 counts as success.
    if (GlobalFree(m_memoryHandle) != nullptr)
        checkRelease(GetLastError() == 0, "GlobalFree", "GlobalMemoryObject.~this");
}

// Copies into a block this object has just allocated. The lock and unlock
// are not checked as calls, but nothing is written through a failed lock:
// then the construction fails with the lock's error, and the destructor,
// which runs because the allocating constructor has completed, frees the
// block.
void GlobalMemoryObject::fill(const void* source, std::size_t count, bool terminate)
{
    if (count == 0 && !terminate)
        return;
    auto* target = static_cast<char*>(GlobalLock(m_memoryHandle));
    if (!target) {
        checkDefinedAPI(target, "GlobalLock", "GlobalMemoryObject.this");
        throw UnknownAPIException("GlobalLock", "GlobalMemoryObject.this");
    }
    if (count != 0)
        std::memcpy(target, source, count);
    if (terminate)
        target[count] = '\0';
    GlobalUnlock(m_memoryHandle);
}

bool GlobalMemoryObject::equals(const Object* other) const
{
    const auto* memory = dynamic_cast<const GlobalMemoryObject*>(other);
    return memory != nullptr && memory->memoryHandle() == memoryHandle();
}

std::size_t GlobalMemoryObject::toHash() const { return std::hash<const void*> {}(memoryHandle()); }

HANDLE GlobalMemoryObject::clipboardHandle(UINT format, bool transfer)
{
    require(format != CF_BITMAP && format != CF_PALETTE, "a memory block goes to the clipboard in a memory format");
    if (transfer)
        m_owned = false;
    return m_memoryHandle;
}

HGLOBAL GlobalMemoryObject::memoryHandle() const { return m_memoryHandle; }

UINT GlobalMemoryObject::byteSize() const { return m_byteSize; }

std::unique_ptr<GlobalMemoryObject> GlobalMemoryObject::duplicate() const
{
    const GlobalMemoryLock source(*this);
    return std::make_unique<GlobalMemoryObject>(std::span<const std::byte>(source.data()), m_allocFlags | clipboardFlags);
}

GlobalMemoryLock::GlobalMemoryLock(const GlobalMemoryObject& memory)
    : m_memory(memory)
    , m_pointer(GlobalLock(memory.memoryHandle()))
{
    require(m_pointer != nullptr, "a global memory block that locks");
}

GlobalMemoryLock::~GlobalMemoryLock()
{
    // GlobalUnlock returns zero both on failure and when the count reaches
    // zero; only the last-error code tells them apart. Code 87 is dropped
    // deliberately, as the framework always has. Any other failure goes to
    // checkRelease: nothing may throw out of a destructor.
    SetLastError(0);
    if (GlobalUnlock(m_memory.memoryHandle()))
        return;
    const DWORD code = GetLastError();
    if (code != 0 && code != ERROR_INVALID_PARAMETER)
        checkRelease(false, "GlobalUnlock", "GlobalMemoryLock.~this");
}

std::string GlobalMemoryLock::toString() const { return std::string(text()); }

std::span<std::byte> GlobalMemoryLock::data() const
{
    return { static_cast<std::byte*>(m_pointer), m_memory.byteSize() };
}

// A block without a zero byte ends its text at its own end, so that the
// text never reads past the block.
std::string_view GlobalMemoryLock::text() const
{
    const auto* characters = static_cast<const char*>(m_pointer);
    const char* end = std::find(characters, characters + m_memory.byteSize(), '\0');
    return { characters, static_cast<std::size_t>(end - characters) };
}

}
