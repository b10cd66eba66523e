// The wide grain kernels agree bit for bit with the plain one, through the awkward states a grain can meet.
#include <gtest/gtest.h>

#include "platform/GrainKernel.h"

#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{
// One kernel call on a cloud's state, and what it gave.
struct KernelCall
{
    std::vector<float> recording;
    float readPosition[64], speedOffset[64], amplitude[64], inverseLength[64], rows[platform::maxKernelSamples][64];
    int regionStart[64], regionLength[64], samples = 0, played = 0;
    bool regionPending[64];
    std::uint64_t takes = 0;
    platform::GrainSlots slots;

    // Settings that vary with the round: no window, frozen and writing past the recording's end now and then.
    // The write position stays inside the recording and input holds maxKernelSamples samples, as a cloud hands them.
    void play (platform::GrainKernel kernel, int round, const float* window, const float* input)
    {
        slots = { recording.data(), round % 3 == 0 ? nullptr : window, (int) recording.size(), round % 65,
                  round % 7 == 0 ? 900.0f : 0.5f + (float) (round % 5) * 0.4f, round % 11 == 0, readPosition,
                  regionStart, regionLength, speedOffset, amplitude, regionPending, inverseLength,
                  round % 5 == 0 ? nullptr : input, (int) recording.size() - 4 + round % 4 };
        samples = kernel (slots, 1 + round % platform::maxKernelSamples, rows, played, takes);
    }
};

// Mostly ordinary grains; positions that are NaN, on the last sample or outside the recording, speeds that wrap
// far (past 2^24 a wrap rounds) and regions that reach past the recording mixed in.
void draw (KernelCall& r, int bufferLength, std::mt19937& rng)
{
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);
    r.recording.resize ((size_t) bufferLength);
    for (auto& v : r.recording)
        v = unit (rng) - 0.5f;
    // The last sample interpolates towards the first even at no distance: an infinite first sample shows it.
    r.recording[0] = unit (rng) < 0.3f ? std::numeric_limits<float>::infinity() : r.recording[0];
    for (int i = 0; i < 64; ++i)
    {
        const int length = 1 + (int) (unit (rng) * 0.3f * (float) bufferLength);
        r.regionStart[i] = (int) (unit (rng) * (float) (bufferLength - length - 1));
        r.regionLength[i] = length;
        r.inverseLength[i] = 1.0f / (float) length;
        r.speedOffset[i] = unit (rng) - 0.5f;
        r.amplitude[i] = unit (rng);
        r.regionPending[i] = unit (rng) < 0.05f;
        const float pick = unit (rng), inside = (float) r.regionStart[i] + unit (rng) * (float) length * 1.02f;
        r.readPosition[i] = pick < 0.03f ? std::numeric_limits<float>::quiet_NaN()
                                         : (pick < 0.08f ? (float) (bufferLength - 1) : (pick < 0.1f ? -3.5f : inside));
        if (pick > 0.97f)
            r.speedOffset[i] = pick > 0.985f ? 3.0e7f * unit (rng) : std::numeric_limits<float>::quiet_NaN();
        else if (pick > 0.96f)
            r.regionLength[i] = pick > 0.965f ? bufferLength : std::numeric_limits<int>::max();
    }
}
} // namespace

TEST (GrainKernel, WideKernelsMatchThePlainOneBitForBit)
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
    float window[2048], input[platform::maxKernelSamples];
    for (int i = 0; i < 2048; ++i)
        window[i] = (float) (i % 97) / 97.0f;
    for (int i = 0; i < platform::maxKernelSamples; ++i)
        input[i] = 0.25f * (float) (i % 8) - 1.0f;
    int earlyStops = 0, takes = 0;
    for (int round = 0; round < 3000; ++round)
    {
        KernelCall expected;
        draw (expected, 3000, rng);
        const KernelCall before = expected;
        expected.play (platform::playGrainSlotsScalar, round, window, input);
        earlyStops += expected.played < expected.slots.density ? 1 : 0;
        takes += expected.takes != 0 ? 1 : 0;

        for (const auto& [name, kernel] : wide)
        {
            SCOPED_TRACE (testing::Message() << name << " round " << round);
            KernelCall actual = before;
            actual.play (kernel, round, window, input);
            ASSERT_EQ (actual.samples, expected.samples);
            ASSERT_EQ (actual.played, expected.played);
            ASSERT_EQ (actual.takes, expected.takes);
            for (int t = 0; t < expected.samples; ++t)
                ASSERT_EQ (std::memcmp (actual.rows[t], expected.rows[t], sizeof (float) * (size_t) expected.played), 0);
            ASSERT_EQ (std::memcmp (actual.readPosition, expected.readPosition, sizeof (expected.readPosition)), 0);
            ASSERT_EQ (actual.recording, expected.recording);
            ASSERT_EQ (actual.slots.writePosition, expected.slots.writePosition);
        }
    }
    // The rounds did reach the rare paths.
    EXPECT_GT (earlyStops, 100);
    EXPECT_GT (takes, 100);
}
