// One sample of a grain cloud's grain slots, in a plain form that kernels for several instruction sets share.
#pragma once

#include <cstdint>

namespace platform
{
/** The grain slots of one cloud and what one sample of them needs. */
struct GrainSlots
{
    const float* recording;
    const float* window; // nullptr: no window
    int bufferLength;
    int density; // 0 .. 64
    float speed;
    bool takeAllPending;

    float* readPosition;
    const int* regionStart;
    const int* regionLength;
    const float* speedOffset;
    const float* amplitude;
    const bool* regionPending;
    const float* inverseLength;
};

/** Plays slots 0 .. density - 1 for one sample, in slot order, until a slot whose region does not end inside
    the recording. Writes each played slot's contribution and its advanced read position, sets bit i of
    takeMask where slot i now takes its pending region, and returns the number of slots played: below density
    when such a slot ended the sample. Contributions of slots after the played ones may be overwritten too,
    up to a multiple of 16; the array has room for 64. */
using GrainKernel = int (*) (const GrainSlots& slots, float* contributions, std::uint64_t& takeMask) noexcept;

/** The widest kernel this processor runs. All of them give the same results, bit for bit. */
GrainKernel bestGrainKernel() noexcept;

/** The kernel that plays up to narrowGrainKernelSlots slots soonest on this processor. */
GrainKernel narrowGrainKernel() noexcept;
constexpr int narrowGrainKernelSlots = 8;

int playGrainSlotsScalar (const GrainSlots&, float*, std::uint64_t&) noexcept;
int playGrainSlotsAvx2 (const GrainSlots&, float*, std::uint64_t&) noexcept;
int playGrainSlotsAvx512 (const GrainSlots&, float*, std::uint64_t&) noexcept;

/** Where a grain's loop gives up subtracting region lengths: the remainder, or the start when even that
    lands outside. Static, as below. */
static inline float remainderIntoRegion (float q, int start, int end, int length) noexcept
{
    q = (float) start + __builtin_fmodf (q - (float) start, (float) length);
    return (q >= (float) start && q < (float) end) ? q : (float) start;
}

/** Wraps q back into [start, end) by whole region lengths, as a grain's loop does; a speed far beyond the
    region length ends in a remainder instead of an endless loop. Static: every instruction set's file keeps
    its own copy, so the linker never hands one file's copy to another. */
static inline float wrapIntoRegion (float q, int start, int end, int length) noexcept
{
    for (int guard = 0; q >= (float) end; ++guard)
    {
        if (guard == 16)
            return remainderIntoRegion (q, start, end, length);
        q = (q - (float) end) + (float) start;
    }
    return q;
}
} // namespace platform
