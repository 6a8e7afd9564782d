// Movable global memory blocks, the memory through which data goes to the
// clipboard. A GlobalMemoryObject owns the block it allocated until it is
// destroyed or hands the block to the clipboard; a wrapped handle is only
// referred to. A GlobalMemoryLock keeps a block locked for its own life and
// gives access to the bytes meanwhile.
#pragma once

#include "clipboarddata.h"
#include "object.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace wivel {

class GlobalMemoryObject : public Object, public ClipboardData {
public:
    // A new block of `size` bytes allocated with the GlobalAlloc flags.
    GlobalMemoryObject(UINT size, UINT flags);
    // A new block holding the text's characters and one zero byte.
    GlobalMemoryObject(std::string_view text, UINT flags);
    // A new block holding a copy of the bytes.
    GlobalMemoryObject(std::span<const std::byte> bytes, UINT flags);
    // Refers to an existing block without taking it over.
    explicit GlobalMemoryObject(HGLOBAL handle);
    ~GlobalMemoryObject() override;
    GlobalMemoryObject(const GlobalMemoryObject&) = delete;
    GlobalMemoryObject& operator=(const GlobalMemoryObject&) = delete;

    // Equal to another GlobalMemoryObject of the same block.
    bool equals(const Object* other) const override;
    // Consistent with equality: objects of one block hash alike.
    std::size_t toHash() const override;

    // Any format but CF_BITMAP and CF_PALETTE, which take drawing objects.
    // With transfer, the clipboard frees the block from now on.
    HANDLE clipboardHandle(UINT format, bool transfer) override;
    virtual HGLOBAL memoryHandle() const;
    virtual UINT byteSize() const;
    // A new owned block with a copy of this one's bytes, movable and
    // shareable whatever this block's flags.
    virtual std::unique_ptr<GlobalMemoryObject> duplicate() const;

    bool owned() const { return m_owned; }
    // The GlobalAlloc flags of an allocated block; 0 for a wrapped handle.
    UINT allocFlags() const { return m_allocFlags; }

private:
    void fill(const void* source, std::size_t count, bool terminate);

    bool m_owned;
    HGLOBAL m_memoryHandle;
    UINT m_byteSize;
    UINT m_allocFlags;
};

// Lives on the stack of the code that reads or writes the block. Locks nest
// as the platform's lock count does.
class GlobalMemoryLock : public Object {
public:
    // Requires a block that locks.
    explicit GlobalMemoryLock(const GlobalMemoryObject& memory);
    ~GlobalMemoryLock() override;
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    // The characters up to the first zero byte.
    std::string toString() const override;
    // The block's bytes, not copied; valid while the lock lives.
    virtual std::span<std::byte> data() const;
    // The text form, not copied; valid while the lock lives.
    std::string_view text() const;

private:
    const GlobalMemoryObject& m_memory;
    void* m_pointer;
};

}
