// Typed tables of the layer's objects, addressed by opaque handle values.
// A handle carries its table's kind and the slot's generation, so a handle
// whose object is gone (or that never was one) is recognised and refused
// rather than dereferenced. Tables are not locked themselves: each subsystem
// guards its tables with its own lock.
#pragma once

#include "core/Assert.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace winapi {

// Kinds occupy the top four bits of a handle value.
enum class HandleKind : std::uint32_t {
    Window = 1,
    Menu = 2,
    GdiObject = 3,
    Icon = 4,
    GlobalMemory = 5,
    LocalMemory = 6,
    Accelerator = 7,
    Resource = 8,
    DeviceContext = 9,
};

// The handle value of a platform handle; 0 for anything that cannot be one.
inline std::uint32_t handleValue(const void* handle)
{
    const auto raw = reinterpret_cast<std::uintptr_t>(handle);
    return raw > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(raw);
}

template<typename Handle>
Handle toHandle(std::uint32_t value)
{
    return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(value));
}

inline bool isHandleOfKind(const void* handle, HandleKind kind)
{
    return handleValue(handle) >> 28 == static_cast<std::uint32_t>(kind);
}

template<typename T>
class HandleTable {
public:
    static constexpr std::uint32_t maxSlots = 0xFFFF;

    explicit HandleTable(HandleKind kind)
        : m_kind(static_cast<std::uint32_t>(kind))
    {
    }

    // Stores the object and returns its new handle value, or 0 when the
    // table is full.
    std::uint32_t insert(std::unique_ptr<T> object)
    {
        WINAPI_ASSERT(object != nullptr);
        std::uint32_t slot;
        if (!m_free.empty()) {
            // The longest-freed slot first, so that a stale handle stays
            // stale for as long as possible.
            slot = m_free.front();
            m_free.pop_front();
        } else {
            if (m_slots.size() >= maxSlots)
                return 0;
            slot = static_cast<std::uint32_t>(m_slots.size());
            m_slots.push_back(Slot {});
        }
        m_slots[slot].object = std::move(object);
        ++m_count;
        return encode(slot);
    }

    // The live object behind a handle value, or nullptr.
    T* find(std::uint32_t handle) const
    {
        const Slot* slot = slotOf(handle);
        return slot ? slot->object.get() : nullptr;
    }
    T* find(const void* handle) const { return find(handleValue(handle)); }

    // Takes the object out of the table; its handle goes stale at once.
    std::unique_ptr<T> remove(std::uint32_t handle)
    {
        Slot* slot = const_cast<Slot*>(slotOf(handle));
        if (!slot)
            return nullptr;
        std::unique_ptr<T> object = std::move(slot->object);
        slot->generation = slot->generation == 0xFFF ? 1 : slot->generation + 1;
        m_free.push_back(static_cast<std::uint32_t>(slot - m_slots.data()));
        --m_count;
        return object;
    }
    std::unique_ptr<T> remove(const void* handle) { return remove(handleValue(handle)); }

    std::size_t size() const { return m_count; }

    // Calls f(handleValue, object) for every live object.
    template<typename F>
    void forEach(F&& f) const
    {
        for (std::size_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].object)
                f(encode(static_cast<std::uint32_t>(i)), *m_slots[i].object);
        }
    }

private:
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation { 1 };
    };

    std::uint32_t encode(std::uint32_t slot) const
    {
        return m_kind << 28 | m_slots[slot].generation << 16 | (slot + 1);
    }

    const Slot* slotOf(std::uint32_t handle) const
    {
        if (handle >> 28 != m_kind)
            return nullptr;
        const std::uint32_t index = handle & 0xFFFF;
        if (index == 0 || index > m_slots.size())
            return nullptr;
        const Slot& slot = m_slots[index - 1];
        if (!slot.object || slot.generation != ((handle >> 16) & 0xFFF))
            return nullptr;
        return &slot;
    }

    std::uint32_t m_kind;
    std::vector<Slot> m_slots;
    std::deque<std::uint32_t> m_free;
    std::size_t m_count { 0 };
};

}
