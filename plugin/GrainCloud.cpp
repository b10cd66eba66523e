// The grain cloud engine.
#include "plugin/GrainCloud.h"

#include <cmath>

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

// Wraps q back into [start, end) as the grain's loop does; a speed far beyond the region length ends in
// a remainder instead of an endless loop.
float wrapIntoRegion (float q, int start, int end, int length) noexcept
{
    for (int guard = 0; q >= (float) end; ++guard)
    {
        if (guard == 16)
        {
            q = (float) start + std::fmod (q - (float) start, (float) length);
            if (! (q >= (float) start && q < (float) end))
                q = (float) start;
            break;
        }
        q = (q - (float) end) + (float) start;
    }
    return q;
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
    if (! parameters.freeze.load())
    {
        recordingData[writePosition] = input;
        if (++writePosition >= bufferLength)
            writePosition = 0;
    }

    const int envelope = parameters.envelope;
    const int density = juce::jlimit (0, maxGrains, parameters.density.load());
    const float speed = parameters.speed, gain = parameters.gain;

    if (envelope == 1)
        return playGrains<true> (triTable, density, speed, gain);
    if (envelope == 2)
        return playGrains<true> (hannTable, density, speed, gain);
    return playGrains<false> (nullptr, density, speed, gain);
}

template <bool windowed>
float GrainCloud::playGrains (const float* window, int density, float speed, float gain) noexcept
{
    const float* r = recordingData;
    const auto lastIndex = (float) (bufferLength - 1);
    float sum = 0.0f;

    for (int i = 0; i < density; ++i)
    {
        const int start = regionStart[i];
        const int length = regionLength[i];

        // Only after a rescale can a region reach past the recording; it ends the sum, ungained.
        if ((juce::int64) start + length >= bufferLength)
            return std::isfinite (sum) ? sum : 0.0f;

        const int end = start + length;

        float w = 1.0f;
        if constexpr (windowed)
        {
            const float x = (readPosition[i] - (float) start) * inverseLength[i];
            const float pos = x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
            w = window[(int) (pos * 2047.0f)];
        }

        float p = readPosition[i];
        if (! (p >= 0.0f && p <= lastIndex))
            p = 0.0f;

        const int k = (int) p;
        const float f = p - (float) k;
        const int k2 = p < lastIndex ? k + 1 : 0;
        const float s = r[k] + (r[k2] - r[k]) * f;
        const float contribution = windowed ? (w * amplitude[i]) * s : s * amplitude[i];

        const float q = wrapIntoRegion ((speed + speedOffset[i]) + p, start, end, length);
        readPosition[i] = q;

        if ((p > q || takeAllPending) && regionPending[i])
            takePendingRegion (i);

        sum += contribution;
    }

    takeAllPending = false;
    const float out = sum * gain;
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
