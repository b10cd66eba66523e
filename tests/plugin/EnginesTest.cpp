// The engines alone, where the reference model does not reach: reads at the edge of the recording, records from
// untrusted documents, and the guards against runaway loops, samples that are no numbers and rates the DC blocker
// cannot filter at.
#include <gtest/gtest.h>

#include "plugin/GrainCloud.h"
#include "plugin/PoleChain.h"

TEST (GrainCloud, ReadsAtTheEdgeOfTheRecording)
{
    // A frozen recording whose sample j holds j, so that a read at position p returns p.
    GrainCloud cloud;
    for (int j = 0; j < cloud.bufferLength; ++j)
        cloud.recording.setSample (0, j, (float) j);
    cloud.blockUpdate ({ 1, 0, 1000.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, true });
    cloud.regionPending[0] = false;

    // The last sample reads with the first as partner; the grain wraps to its region's start.
    const int last = cloud.bufferLength - 1;
    cloud.regionStart[0] = 0;
    cloud.regionLength[0] = last;
    cloud.readPosition[0] = (float) last;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), (float) last);
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 1.0f);
    cloud.readPosition[0] = 10.25f;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 10.25f);
}

TEST (GrainCloud, HostileRecordsStayBoundedAndFinite)
{
    const GrainCloud::Parameters cases[] = { // density, envelope, size, speed, sizeRnd, speedRnd, ampRnd, gain
        { 1000, 0, 5000 }, { 64, 0, 0, 1, 1 }, { 8, 0, -500, 1, 0.5f }, { 8, 0, NAN }, { 8, 0, INFINITY }, { 8, 0, 1.0e9f }, { -5, 0, 2000 },
        { 8, 0, 2000, 1.0e30f }, { 8, 0, 2000, NAN }, { 8, 0, 2000, -3.0e4f }, { 8, 0, 2000, 1, 1.0e30f, 1.0e30f, NAN },
        { 8, 0, 2000, 1, 0, 0, 1.0e38f, INFINITY } };
    for (int n = 0; n < 12; ++n) // the envelopes in turn
    {
        GrainCloud cloud;
        auto record = cases[n];
        record.envelope = n % 3;
        cloud.blockUpdate (record);
        for (int k = 0; k < 1000; ++k)
            ASSERT_TRUE (std::isfinite (cloud.sampleUpdate (std::sin ((float) k * 0.01f)))) << n;
        for (int i = 0; i < GrainCloud::maxGrains; ++i)
            ASSERT_TRUE (cloud.regionLength[i] >= 1 && cloud.regionStart[i] + cloud.regionLength[i] < cloud.bufferLength) << n;
    }
}

TEST (PoleChain, RunawayGuards)
{
    // Runaway feedback and damping stay finite.
    ResonatorState resonator;
    DiffuserState diffuser;
    for (const auto& [feedback, damp] : { std::pair { 5.0f, -3.0f }, { -50.0f, 2.5f }, { 1.0f, NAN }, { 1.0e30f, 1.0f }, { NAN, 0.5f } })
    {
        resonator.blockUpdate ({ 440.0f, feedback }, 1.0 / 44100.0);
        diffuser.blockUpdate ({ feedback, damp });
        for (int n = 0; n < 5000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (std::sin ((float) n * 0.05f)))
                         && std::isfinite (diffuser.sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
    }

    // A non-finite input is dropped and each loop starts again from silence.
    DcBlocker blocker;
    EXPECT_TRUE (resonator.sampleUpdate (NAN) == 0.0f && diffuser.sampleUpdate (INFINITY) == 0.0f && blocker.sampleUpdate (INFINITY) == 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)) && std::isfinite (diffuser.sampleUpdate (0.5f)));
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);

    // At every rate the blocker stays stable, even for the worst input: full scale at the highest frequency.
    for (double rate : { 1.0, 40.0, 100.0, 126.0, 252.0 })
    {
        blocker.updateSamplerate (rate);
        EXPECT_EQ (blocker.coefficient, rate < 200.0 ? 0.0f : 0.5f) << rate;
        float peak = 0.0f;
        for (int i = 0; i < 400; ++i)
            peak = juce::jmax (peak, std::abs (blocker.sampleUpdate (i % 2 == 0 ? 1.0f : -1.0f)));
        EXPECT_LE (peak, 2.0f) << rate;
    }
}
