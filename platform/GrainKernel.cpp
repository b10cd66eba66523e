// The grain slot kernel for any x86-64 processor, and the choice of the widest kernel the processor runs.
#include "platform/GrainKernel.h"

namespace platform
{
namespace
{
int playOneSample (const GrainSlots& g, float* row, std::uint64_t& takeMask) noexcept
{
    const float* r = g.recording;
    const auto lastIndex = (float) (g.bufferLength - 1);
    std::uint64_t takes = 0;
    int i = 0;

    for (; i < g.density; ++i)
    {
        const int start = g.regionStart[i];
        const int length = g.regionLength[i];
        if ((std::int64_t) start + length >= g.bufferLength)
            break;

        const float position = g.readPosition[i];
        float s;
        {
            const float p = (position >= 0.0f && position <= lastIndex) ? position : 0.0f;
            const int k = (int) p;
            const float f = p - (float) k;
            const int k2 = p < lastIndex ? k + 1 : 0;
            s = r[k] + (r[k2] - r[k]) * f;

            const float q = wrapIntoRegion ((g.speed + g.speedOffset[i]) + p, start, start + length, length);
            g.readPosition[i] = q;
            if ((p > q || g.takeAllPending) && g.regionPending[i])
                takes |= std::uint64_t { 1 } << i;
        }

        if (g.window != nullptr)
        {
            // The window reads the position before the range check above.
            const float x = (position - (float) start) * g.inverseLength[i];
            const float pos = x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
            row[i] = (g.window[(int) (pos * 2047.0f)] * g.amplitude[i]) * s;
        }
        else
        {
            row[i] = s * g.amplitude[i];
        }
    }

    takeMask = takes;
    return i;
}
} // namespace

int playGrainSlotsScalar (GrainSlots& g, int numSamples, float (*contributions)[64], int& played,
                          std::uint64_t& takeMask) noexcept
{
    for (int t = 0; t < numSamples; ++t)
    {
        recordInput (g, t);
        played = playOneSample (g, contributions[t], takeMask);
        if (takeMask != 0 || g.takeAllPending)
            return t + 1;
    }
    return numSamples;
}

GrainKernel bestGrainKernel() noexcept
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports ("avx512f"))
        return playGrainSlotsAvx512;
    if (__builtin_cpu_supports ("avx2"))
        return playGrainSlotsAvx2;
    return playGrainSlotsScalar;
}

GrainRowSum wideGrainRowSum() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2") ? sumGrainRowsAvx2 : nullptr;
}

GrainKernel narrowGrainKernel() noexcept
{
    // Sixteen-lane gathers cost more than eight-lane ones even for lanes that read nothing.
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2") ? playGrainSlotsAvx2 : playGrainSlotsScalar;
}
} // namespace platform
