// A value that one thread may write while another reads it: each read and write is whole.
#pragma once

#include <atomic>

/** Engine settings are edited field by field on the message thread and copied once per block on
    the audio thread. Every field is read and written whole (relaxed order: a block may see a record
    of which only some fields are new, and hears the rest from the next block). */
template <typename T>
class RelaxedAtomic
{
public:
    constexpr RelaxedAtomic (T initial = T()) noexcept : value (initial) {}
    RelaxedAtomic (const RelaxedAtomic& other) noexcept : value (other.load()) {}
    RelaxedAtomic& operator= (const RelaxedAtomic& other) noexcept
    {
        store (other.load());
        return *this;
    }
    RelaxedAtomic& operator= (T newValue) noexcept
    {
        store (newValue);
        return *this;
    }

    operator T() const noexcept { return load(); }
    T load() const noexcept { return value.load (std::memory_order_relaxed); }
    void store (T newValue) noexcept { value.store (newValue, std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};
