// Local and global memory blocks. Fixed blocks are plain pointers; movable
// blocks are handles with a lock count, whose data pointer is handed out by
// the Lock call. Both families share one engine and differ only in the names
// their calls report under.
#include "core/Faults.h"
#include "core/HandleTable.h"

#include <windows.h>
#include <winapi/host.h>

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace winapi {
namespace {

// Larger requests are refused as the platform refuses what it cannot commit.
constexpr SIZE_T largestBlock = SIZE_T { 1 } << 30;

struct MovableBlock {
    std::unique_ptr<std::byte[]> data;
    SIZE_T size { 0 };
    unsigned lockCount { 0 };
};

struct OperationNames {
    const char* alloc;
    const char* free;
    const char* lock;
    const char* unlock;
    const char* size;
};

class MemoryFamily {
public:
    MemoryFamily(HandleKind kind, OperationNames names)
        : m_movable(kind)
        , m_names(names)
    {
    }

    HANDLE alloc(UINT flags, SIZE_T bytes)
    {
        if (injectedFailure(m_names.alloc))
            return nullptr;
        if (bytes > largestBlock) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        // A zero-byte request still gets a distinct block of its own.
        auto data = std::unique_ptr<std::byte[]>(new (std::nothrow) std::byte[bytes == 0 ? 1 : bytes]);
        if (!data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (flags & GMEM_ZEROINIT)
            std::memset(data.get(), 0, bytes == 0 ? 1 : bytes);

        std::lock_guard guard(m_lock);
        if (!(flags & GMEM_MOVEABLE)) {
            void* pointer = data.release();
            m_fixed.emplace(pointer, bytes);
            return pointer;
        }
        auto block = std::make_unique<MovableBlock>();
        block->data = std::move(data);
        block->size = bytes;
        const std::uint32_t handle = m_movable.insert(std::move(block));
        if (handle == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        return toHandle<HANDLE>(handle);
    }

    HANDLE free(HANDLE memory)
    {
        if (injectedFailure(m_names.free))
            return memory;
        if (memory == nullptr)
            return nullptr;
        std::unique_ptr<MovableBlock> released;
        {
            std::lock_guard guard(m_lock);
            if (const auto fixed = m_fixed.find(memory); fixed != m_fixed.end()) {
                delete[] static_cast<std::byte*>(fixed->first);
                m_fixed.erase(fixed);
                return nullptr;
            }
            released = m_movable.remove(memory);
        }
        if (!released) {
            SetLastError(ERROR_INVALID_HANDLE);
            return memory;
        }
        return nullptr;
    }

    void* lock(HANDLE memory)
    {
        if (injectedFailure(m_names.lock))
            return nullptr;
        std::lock_guard guard(m_lock);
        if (m_fixed.contains(memory))
            return memory;
        MovableBlock* block = m_movable.find(memory);
        if (!block) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        if (block->size == 0) {
            SetLastError(ERROR_DISCARDED);
            return nullptr;
        }
        if (block->lockCount < GMEM_LOCKCOUNT)
            ++block->lockCount;
        return block->data.get();
    }

    BOOL unlock(HANDLE memory)
    {
        if (injectedFailure(m_names.unlock))
            return FALSE;
        std::lock_guard guard(m_lock);
        if (m_fixed.contains(memory))
            return TRUE;
        MovableBlock* block = m_movable.find(memory);
        if (!block) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (block->lockCount == 0) {
            SetLastError(ERROR_NOT_LOCKED);
            return FALSE;
        }
        if (--block->lockCount > 0)
            return TRUE;
        // Zero with no error is how the caller learns the block is unlocked.
        SetLastError(NO_ERROR);
        return FALSE;
    }

    SIZE_T size(HANDLE memory)
    {
        if (injectedFailure(m_names.size))
            return 0;
        std::lock_guard guard(m_lock);
        if (const auto fixed = m_fixed.find(memory); fixed != m_fixed.end())
            return fixed->second;
        MovableBlock* block = m_movable.find(memory);
        if (!block) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        return block->size;
    }

    UINT flags(HANDLE memory)
    {
        std::lock_guard guard(m_lock);
        if (m_fixed.contains(memory))
            return 0;
        MovableBlock* block = m_movable.find(memory);
        if (!block) {
            SetLastError(ERROR_INVALID_HANDLE);
            return GMEM_INVALID_HANDLE;
        }
        return block->lockCount | (block->size == 0 ? GMEM_DISCARDED : 0);
    }

    std::size_t liveBlocks()
    {
        std::lock_guard guard(m_lock);
        return m_fixed.size() + m_movable.size();
    }

private:
    std::mutex m_lock;
    std::unordered_map<void*, SIZE_T> m_fixed;
    HandleTable<MovableBlock> m_movable;
    OperationNames m_names;
};

MemoryFamily& globalMemory()
{
    static MemoryFamily family(HandleKind::GlobalMemory,
        { "GlobalAlloc", "GlobalFree", "GlobalLock", "GlobalUnlock", "GlobalSize" });
    return family;
}

MemoryFamily& localMemory()
{
    static MemoryFamily family(HandleKind::LocalMemory,
        { "LocalAlloc", "LocalFree", "LocalLock", "LocalUnlock", "LocalSize" });
    return family;
}

}

std::size_t host::liveGlobalBlocks()
{
    return globalMemory().liveBlocks();
}

std::size_t host::liveLocalBlocks()
{
    return localMemory().liveBlocks();
}

}

using winapi::globalMemory;
using winapi::localMemory;

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) { return globalMemory().alloc(flags, bytes); }
HGLOBAL WINAPI GlobalFree(HGLOBAL memory) { return globalMemory().free(memory); }
LPVOID WINAPI GlobalLock(HGLOBAL memory) { return globalMemory().lock(memory); }
BOOL WINAPI GlobalUnlock(HGLOBAL memory) { return globalMemory().unlock(memory); }
SIZE_T WINAPI GlobalSize(HGLOBAL memory) { return globalMemory().size(memory); }
UINT WINAPI GlobalFlags(HGLOBAL memory) { return globalMemory().flags(memory); }

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) { return localMemory().alloc(flags, bytes); }
HLOCAL WINAPI LocalFree(HLOCAL memory) { return localMemory().free(memory); }
LPVOID WINAPI LocalLock(HLOCAL memory) { return localMemory().lock(memory); }
BOOL WINAPI LocalUnlock(HLOCAL memory) { return localMemory().unlock(memory); }
SIZE_T WINAPI LocalSize(HLOCAL memory) { return localMemory().size(memory); }

}
