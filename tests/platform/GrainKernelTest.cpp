// The grain kernels for each instruction set agree bit for bit with the one for any x86-64, edge states included.
#include <gtest/gtest.h>

#include "platform/GrainKernel.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{
struct SlotState
{
    float readPosition[64], speedOffset[64], amplitude[64], inverseLength[64];
    int regionStart[64], regionLength[64];
    bool regionPending[64];
};

std::vector<float> makeTable (int size, std::mt19937& rng)
{
    std::uniform_real_distribution<float> value (-1.0f, 1.0f);
    std::vector<float> table ((size_t) size);
    for (auto& v : table)
        v = value (rng);
    return table;
}

// Mostly ordinary grains, with the awkward values a grain can meet mixed in.
SlotState makeSlots (int bufferLength, std::mt19937& rng)
{
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float lastIndex = (float) (bufferLength - 1);
    SlotState s;
    for (int i = 0; i < 64; ++i)
    {
        const int length = 1 + (int) (unit (rng) * 0.3f * (float) bufferLength);
        s.regionStart[i] = (int) (unit (rng) * (float) (bufferLength - length - 1));
        s.regionLength[i] = length;
        s.readPosition[i] = (float) s.regionStart[i] + unit (rng) * (float) length * 1.02f;
        s.speedOffset[i] = unit (rng) - 0.5f;
        s.amplitude[i] = unit (rng);
        s.inverseLength[i] = 1.0f / (float) length;
        s.regionPending[i] = unit (rng) < 0.3f;

        const float pick = unit (rng);
        if (pick < 0.03f) s.readPosition[i] = nan;
        else if (pick < 0.06f) s.readPosition[i] = lastIndex;
        else if (pick < 0.09f) s.readPosition[i] = -3.5f;
        else if (pick < 0.12f) s.readPosition[i] = lastIndex + 7.0f;
        else if (pick < 0.13f) s.speedOffset[i] = 1.0e6f * unit (rng);
        else if (pick < 0.15f) s.speedOffset[i] = 3.0e7f * (1.0f + unit (rng)); // past 2^24 a wrap rounds
        else if (pick < 0.17f) s.speedOffset[i] = nan;
        else if (pick < 0.19f) s.regionLength[i] = bufferLength; // reaches past the recording: ends the sample
        else if (pick < 0.21f) s.regionLength[i] = std::numeric_limits<int>::max();
    }
    return s;
}

platform::GrainSlots slotsOf (SlotState& s, const float* recording, const float* window, int bufferLength, int density,
                              float speed, bool takeAll)
{
    return { recording, window, bufferLength, density, speed, takeAll, s.readPosition, s.regionStart,
             s.regionLength, s.speedOffset, s.amplitude, s.regionPending, s.inverseLength };
}
} // namespace

TEST (GrainKernel, WideKernelsMatchTheScalarOneBitForBit)
{
    std::vector<std::pair<const char*, platform::GrainKernel>> wide;
    __builtin_cpu_init();
    if (__builtin_cpu_supports ("avx2"))
        wide.emplace_back ("avx2", platform::playGrainSlotsAvx2);
    if (__builtin_cpu_supports ("avx512f"))
        wide.emplace_back ("avx512", platform::playGrainSlotsAvx512);
    if (wide.empty())
        GTEST_SKIP() << "no wider instruction set on this processor";

    std::mt19937 rng (2024);
    constexpr int bufferLength = 5000;
    const auto recording = makeTable (bufferLength, rng);
    const auto window = makeTable (2048, rng);
    int earlyStops = 0, takes = 0;

    for (int round = 0; round < 3000; ++round)
    {
        const SlotState before = makeSlots (bufferLength, rng);
        const int density = round % 65;
        const float speed = round % 7 == 0 ? 900.0f : 0.5f + (float) (round % 5) * 0.4f;
        const float* windowOrNone = round % 3 == 0 ? nullptr : window.data();
        const bool takeAll = round % 11 == 0;

        SlotState expected = before;
        float expectedOut[64];
        std::uint64_t expectedTakes = 0;
        const int expectedPlayed = platform::playGrainSlotsScalar (
            slotsOf (expected, recording.data(), windowOrNone, bufferLength, density, speed, takeAll), expectedOut, expectedTakes);
        earlyStops += expectedPlayed < density ? 1 : 0;
        takes += expectedTakes != 0 ? 1 : 0;

        for (const auto& [name, kernel] : wide)
        {
            SlotState actual = before;
            float out[64];
            std::uint64_t actualTakes = 0;
            const auto slots = slotsOf (actual, recording.data(), windowOrNone, bufferLength, density, speed, takeAll);
            const int played = kernel (slots, out, actualTakes);

            ASSERT_EQ (played, expectedPlayed) << name << " round " << round;
            ASSERT_EQ (actualTakes, expectedTakes) << name << " round " << round;
            ASSERT_EQ (std::memcmp (out, expectedOut, sizeof (float) * (size_t) played), 0) << name << " round " << round;
            ASSERT_EQ (std::memcmp (actual.readPosition, expected.readPosition, sizeof (actual.readPosition)), 0)
                << name << " round " << round;
        }
    }

    // The rounds did reach the rare paths.
    EXPECT_GT (earlyStops, 100);
    EXPECT_GT (takes, 100);
}

TEST (GrainKernel, ScalarKernelStopsAtARegionPastTheRecordingAndWrapsFarSpeeds)
{
    std::vector<float> recording (1000);
    for (int i = 0; i < 1000; ++i)
        recording[(size_t) i] = (float) i;

    SlotState s {};
    for (int i = 0; i < 64; ++i)
    {
        s.regionStart[i] = 100;
        s.regionLength[i] = 50;
        s.readPosition[i] = 110.5f;
        s.amplitude[i] = 2.0f;
        s.inverseLength[i] = 1.0f / 50.0f;
    }
    s.regionLength[3] = 900; // 100 + 900 reaches the end of the recording
    s.speedOffset[1] = 1000.0f; // 1111.5 needs more than sixteen wraps: the remainder takes over
    s.readPosition[2] = 999.0f; // the last sample interpolates towards the first
    s.regionPending[0] = true;

    float out[64];
    std::uint64_t takes = 0;
    EXPECT_EQ (platform::playGrainSlotsScalar (slotsOf (s, recording.data(), nullptr, 1000, 64, 1.0f, false), out, takes), 3);
    EXPECT_EQ (out[0], 221.0f);
    EXPECT_EQ (out[1], 221.0f);
    EXPECT_EQ (out[2], 1998.0f); // the last sample, towards the first by nothing
    EXPECT_EQ (s.readPosition[0], 111.5f);
    EXPECT_EQ (s.readPosition[1], 111.5f);
    EXPECT_EQ (s.readPosition[2], 100.0f);
    EXPECT_EQ (s.readPosition[3], 110.5f);
    EXPECT_EQ (takes, 0u);
}
