// The grain cloud engine.
#include "plugin/GrainCloud.h"

#include <cmath>
#include <limits>

#include <emmintrin.h>

namespace
{
float hann[GrainCloud::tableSize];
float tri[GrainCloud::tableSize];

bool fillWindowTables() noexcept
{
    for (int i = 0; i < GrainCloud::tableSize; ++i)
    {
        const auto c = (float) std::cos ((double) i * juce::MathConstants<double>::twoPi / 2047.0);
        hann[i] = 0.5f * (1.0f - c);
        tri[i] = i < 1024 ? (float) i / 1024.0f : 2.0f - (float) i / 1024.0f;
    }
    return true;
}

// Thread-safe one-time fill: every cloud calls this before it plays, and so does loading the library.
void ensureWindowTables() noexcept
{
    static const bool filled = fillWindowTables();
    juce::ignoreUnused (filled);
}

const bool tablesAtLoad = (ensureWindowTables(), true);

// Truncation to int for values that come from records of any origin: out-of-range and NaN give the fallback.
int truncateOr (float value, int fallback) noexcept
{
    return (value > -2147483520.0f && value < 2147483520.0f) ? (int) value : fallback;
}
} // namespace

namespace
{
// The slot-order sums of the first 4 * quads rows, four rows to a vector. -0 added to any sum leaves it as it
// is, so shorter rows run on over slots that add nothing, up to a whole number of four slots.
// Pads the first rowCount rows with -0 up to a whole number of `multiple` slots past the longest; returns that number.
int padRows (float (*contributions)[GrainCloud::maxGrains], const int* played, int rowCount, int multiple) noexcept
{
    int longest = 0, shortest = GrainCloud::maxGrains;
    for (int j = 0; j < rowCount; ++j)
    {
        longest = juce::jmax (longest, played[j]);
        shortest = juce::jmin (shortest, played[j]);
    }
    const int padded = (longest + multiple - 1) / multiple * multiple;
    if (shortest < padded)
        for (int j = 0; j < rowCount; ++j)
            std::fill (contributions[j] + played[j], contributions[j] + padded, -0.0f);
    return padded;
}

template <int quads>
void sumQuads (float (*contributions)[GrainCloud::maxGrains], const int* played, float* sums) noexcept
{
    const int slots4 = padRows (contributions, played, 4 * quads, 4);

    __m128 sum[quads];
    for (int q = 0; q < quads; ++q)
        sum[q] = _mm_setzero_ps();
    for (int i = 0; i < slots4; i += 4)
    {
        // Four slots of four rows, turned so that each vector holds one slot of each row.
        for (int q = 0; q < quads; ++q)
        {
            const auto* rows = contributions + 4 * q;
            __m128 a = _mm_loadu_ps (rows[0] + i), b = _mm_loadu_ps (rows[1] + i);
            __m128 c = _mm_loadu_ps (rows[2] + i), d = _mm_loadu_ps (rows[3] + i);
            _MM_TRANSPOSE4_PS (a, b, c, d);
            sum[q] = _mm_add_ps (_mm_add_ps (_mm_add_ps (_mm_add_ps (sum[q], a), b), c), d);
        }
    }
    for (int q = 0; q < quads; ++q)
        _mm_storeu_ps (sums + 4 * q, sum[q]);
}
} // namespace

const float* const GrainCloud::hannTable = hann;
const float* const GrainCloud::triTable = tri;

GrainCloud::GrainCloud()
{
    juce::ignoreUnused (tablesAtLoad);
    ensureWindowTables();

    for (int i = 0; i < maxGrains; ++i)
    {
        readPosition[i] = 0.0f;
        regionStart[i] = 0;
        regionLength[i] = 1;
        speedOffset[i] = 0.0f;
        amplitude[i] = 1.0f;
        regionPending[i] = false;
        nextStart[i] = 0;
        nextLength[i] = 0;
        inverseLength[i] = 1.0f;
    }

    recording.setSize (1, bufferLength);
    recordingData = recording.getWritePointer (0);
    juce::FloatVectorOperations::clear (recordingData, bufferLength);
}

void GrainCloud::blockUpdate (const Parameters& newParameters)
{
    const Parameters p (newParameters);

    const bool unchanged = p.density.load() == parameters.density.load()
                           && p.size.load() == parameters.size.load()
                           && p.sizeRnd.load() == parameters.sizeRnd.load()
                           && p.speedRnd.load() == parameters.speedRnd.load()
                           && p.ampRnd.load() == parameters.ampRnd.load();
    parameters = p;

    if (unchanged)
        return;

    juce::Random random (0);
    if (regionSeed >= 0)
        random.setSeed (regionSeed++);
    else
        random.setSeedRandomly();

    if (p.density.load() < 1)
        return;

    const int density = juce::jmin (p.density.load(), maxGrains);
    const float size = p.size, sizeRnd = p.sizeRnd, speedRnd = p.speedRnd, ampRnd = p.ampRnd;
    const float startRange = std::trunc ((float) bufferLength - size - 1.0f);
    const float shrinkRange = std::trunc (size - 441.0f);

    for (int i = 0; i < density; ++i)
    {
        // A start or length that is no number of samples marks a region that is never taken.
        nextStart[i] = truncateOr (random.nextFloat() * startRange, -1);
        nextLength[i] = truncateOr (size - random.nextFloat() * sizeRnd * shrinkRange, 0);
        const bool positive = random.nextBool();
        const float m = random.nextFloat() * speedRnd * 0.5f;
        speedOffset[i] = positive ? m : -m;
        amplitude[i] = 1.0f - random.nextFloat() * ampRnd;
        inverseLength[i] = 1.0f / (float) juce::jmax (regionLength[i], 1);
        regionPending[i] = true;
    }
}

float GrainCloud::sampleUpdate (float input)
{
    auto slots = currentSlots();
    float contributions[1][maxGrains];
    int played = 0;
    playSamples (&input, 1, parameters.freeze, slots, kernel, contributions, &played);

    float sum = 0.0f;
    for (int i = 0; i < played; ++i)
        sum += contributions[0][i];

    return finishSample (sum, played < slots.density, parameters.gain);
}

void GrainCloud::processBlock (const float* input, float* output, int numSamples) noexcept
{
    // Only blockUpdate changes the settings, so they hold for the whole block.
    auto slots = currentSlots();
    const bool freeze = parameters.freeze;
    const float gain = parameters.gain;
    const int density = slots.density;
    // A grain or two play soonest one by one, up to eight eight lanes wide, more as wide as the processor goes.
    const auto play = density <= 2 ? platform::playGrainSlotsScalar : (density <= narrowSlotCount ? narrowKernel : kernel);

    // Samples are played in groups whose sums then run side by side, four to a vector and up to four vectors at
    // once: each sum is still added in slot order, but the samples' additions no longer wait for one another.
    constexpr int group = platform::maxKernelSamples;
    static_assert (group == 16, "four vectors of four samples' sums side by side");
    float contributions[group][maxGrains];

    for (int start = 0; start < numSamples; start += group)
    {
        const int n = juce::jmin (group, numSamples - start);
        // The kernel calls fill played, and the sums below sums, for the n samples of the group alone.
        int played[group];
        playSamples (input + start, n, freeze, slots, play, contributions, played);

        float sums[group];
        const int quads = n / 4;
        switch (wideRowSum != nullptr && n == group ? 5 : quads)
        {
            case 5: wideRowSum (contributions, padRows (contributions, played, group, 8), sums); break;
            case 4: sumQuads<4> (contributions, played, sums); break;
            case 3: sumQuads<3> (contributions, played, sums); break;
            case 2: sumQuads<2> (contributions, played, sums); break;
            case 1: sumQuads<1> (contributions, played, sums); break;
            default: break;
        }
        for (int j = quads * 4; j < n; ++j)
        {
            sums[j] = 0.0f;
            for (int i = 0; i < played[j]; ++i)
                sums[j] += contributions[j][i];
        }

        // finishSample four samples at a time: an ended sum stays ungained, a sum that is no finite number
        // (its magnitude above the largest float, or NaN) gives 0.
        const __m128 gains = _mm_set1_ps (gain), largest = _mm_set1_ps (std::numeric_limits<float>::max());
        const __m128 signBit = _mm_set1_ps (-0.0f);
        const __m128i densities = _mm_set1_epi32 (density);
        for (int j = 0; j < quads * 4; j += 4)
        {
            const __m128 sum = _mm_loadu_ps (sums + j);
            const __m128 ended = _mm_castsi128_ps (
                _mm_cmplt_epi32 (_mm_loadu_si128 (reinterpret_cast<const __m128i*> (played + j)), densities));
            const __m128 out = _mm_or_ps (_mm_and_ps (ended, sum), _mm_andnot_ps (ended, _mm_mul_ps (sum, gains)));
            const __m128 finite = _mm_cmple_ps (_mm_andnot_ps (signBit, out), largest);
            _mm_storeu_ps (output + start + j, _mm_and_ps (finite, out));
        }
        for (int j = quads * 4; j < n; ++j)
            output[start + j] = finishSample (sums[j], played[j] < density, gain);
    }
}

platform::GrainSlots GrainCloud::currentSlots() noexcept
{
    const int envelope = parameters.envelope;
    const float* window = envelope == 1 ? triTable : (envelope == 2 ? hannTable : nullptr);
    return { recordingData, window, bufferLength, juce::jlimit (0, maxGrains, parameters.density.load()),
             parameters.speed, takeAllPending, readPosition, regionStart, regionLength, speedOffset, amplitude,
             regionPending, inverseLength, nullptr, writePosition };
}

void GrainCloud::playSamples (const float* input, int numSamples, bool freeze, platform::GrainSlots& slots,
                              platform::GrainKernel play, float (*contributions)[maxGrains], int* played) noexcept
{
    slots.writePosition = writePosition;

    if (slots.density <= 0)
    {
        slots.input = freeze ? nullptr : input;
        for (int t = 0; t < numSamples; ++t)
        {
            platform::recordInput (slots, t);
            played[t] = 0;
        }
        takeAllPending = slots.takeAllPending = false;
    }

    for (int done = 0; slots.density > 0 && done < numSamples;)
    {
        slots.input = freeze ? nullptr : input + done;
        slots.takeAllPending = takeAllPending;
        int count = 0;
        std::uint64_t takes = 0;
        const int samples = play (slots, numSamples - done, contributions + done, count, takes);
        std::fill (played + done, played + done + samples, count);
        done += samples;

        // Each slot's region change touches that slot alone, so taking them after the kernel keeps the slot order.
        for (; takes != 0; takes &= takes - 1)
            takePendingRegion (__builtin_ctzll (takes));

        // Samples that a region past the recording (only after a rescale) ended leave the flag as it is.
        if (count == slots.density)
            takeAllPending = false;
    }

    writePosition = slots.writePosition;
}

float GrainCloud::finishSample (float sum, bool ended, float gain) noexcept
{
    // An ended sample is the sum so far, ungained.
    const float out = ended ? sum : sum * gain;
    return std::isfinite (out) ? out : 0.0f;
}

void GrainCloud::takePendingRegion (int slot) noexcept
{
    const int start = nextStart[slot];
    const int length = nextLength[slot];

    if (start >= 0 && length >= 1 && (juce::int64) start + length < bufferLength)
    {
        regionStart[slot] = start;
        regionLength[slot] = length;
        readPosition[slot] = (float) start;
        inverseLength[slot] = 1.0f / (float) length;
    }

    regionPending[slot] = false;
}

void GrainCloud::updateSamplerate (double newSampleRate)
{
    if (newSampleRate == sampleRate || ! (newSampleRate > 0.0) || ! std::isfinite (newSampleRate))
        return;

    const auto ratio = (float) (newSampleRate / sampleRate);
    sampleRate = newSampleRate;

    bufferLength = juce::jmax (1, truncateOr ((float) bufferLength * ratio + 1.0f, bufferLength));
    recording.setSize (1, bufferLength, false, false, true);
    recordingData = recording.getWritePointer (0);

    for (int i = 0; i < maxGrains; ++i)
        regionLength[i] = truncateOr ((float) regionLength[i] * ratio + 1.0f, regionLength[i]);

    reset();
}

void GrainCloud::reset()
{
    juce::FloatVectorOperations::clear (recordingData, bufferLength);
    writePosition = 0;

    for (int i = 0; i < maxGrains; ++i)
    {
        regionStart[i] = 0;
        nextStart[i] = 0;
    }
}
