// A few samples of a grain cloud's recording and grain slots, in a plain form that kernels for several instruction sets share.
#pragma once

#include <cstdint>

namespace platform
{
/** The grain slots of one cloud and what playing them needs. */
struct GrainSlots
{
    float* recording;
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

    const float* input; // the samples to record, one before each played sample; nullptr: frozen
    int writePosition;
};

/** Most samples a kernel plays in one call. */
constexpr int maxKernelSamples = 16;

/** Records input[t] (unless frozen) and then plays slots 0 .. density - 1 in slot order for each sample t below
    numSamples (at most maxKernelSamples), until a slot whose region does not end inside the recording. Writes
    each played slot's contribution to contributions[t] and its advanced read position, and the number of slots
    played in each sample, the same for all of them (below density when such a slot ended the samples), to
    played. Stops after the first sample in which a slot takes its pending region (bit i of takeMask for slot i)
    or takeAllPending is set, and returns the number of samples played. Contributions of slots after the played
    ones may be overwritten too, up to a multiple of 16; each row has room for 64. */
using GrainKernel = int (*) (GrainSlots& slots, int numSamples, float (*contributions)[64], int& played,
                             std::uint64_t& takeMask) noexcept;

/** The widest kernel this processor runs. All of them give the same results, bit for bit. */
GrainKernel bestGrainKernel() noexcept;

/** The kernel that plays up to narrowGrainKernelSlots slots soonest on this processor. */
GrainKernel narrowGrainKernel() noexcept;
constexpr int narrowGrainKernelSlots = 8;

int playGrainSlotsScalar (GrainSlots&, int, float (*)[64], int&, std::uint64_t&) noexcept;
int playGrainSlotsAvx2 (GrainSlots&, int, float (*)[64], int&, std::uint64_t&) noexcept;
int playGrainSlotsAvx512 (GrainSlots&, int, float (*)[64], int&, std::uint64_t&) noexcept;

/** Adds up the first slotCount (a multiple of 8) contributions of each of maxKernelSamples rows in slot order, from
    0, into sums. */
using GrainRowSum = void (*) (const float (*rows)[64], int slotCount, float* sums) noexcept;
void sumGrainRowsAvx2 (const float (*)[64], int, float*) noexcept;

/** The row sum for this processor, or nullptr when it has none wider than four lanes. */
GrainRowSum wideGrainRowSum() noexcept;

/** Records sample t of the input, as a cloud does before it plays that sample. */
static inline void recordInput (GrainSlots& g, int t) noexcept
{
    if (g.input == nullptr)
        return;
    g.recording[g.writePosition] = g.input[t];
    if (++g.writePosition >= g.bufferLength)
        g.writePosition = 0;
}

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
