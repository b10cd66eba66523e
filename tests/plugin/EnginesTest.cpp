// The engines where the reference model does not reach (edge reads, untrusted records, runaway loops, samples that
// are no numbers, rates too low for the DC blocker), and their fast forms against the plain ones.
#include <gtest/gtest.h>

#include "plugin/GrainCloud.h"
#include "plugin/PoleChain.h"

#include <cmath>
#include <cstring>
#include <limits>

TEST (Engines, EdgeReadsHostileRecordsAndRunawayGuards)
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

    // Records from untrusted documents stay bounded and finite.
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

TEST (FastForms, CloudBlocksOfAnyLengthAndResonatorQuadsMatchThePlainFormsBitForBit)
{
    GrainCloud bySample, byBlock;
    bySample.regionSeed = byBlock.regionSeed = 77;
    for (auto* cloud : { &bySample, &byBlock })
        for (int i = 0; i < cloud->bufferLength; ++i)
            cloud->recording.setSample (0, i, std::sin ((float) i * 0.01f));
    GrainCloud::Parameters record { 37, 1, 3000.0f, 1.3f, 0.2f, 0.4f, 0.5f, 0.8f, false };
    const int lengths[] = { 1, 3, 4, 5, 64, 7, 130, 2 };
    float input[130], expected[130], actual[130];

    for (int round = 0, time = 0; round < 24; ++round)
    {
        // Redraws, frozen stretches; from round 10 a region past the recording's end: samples end early, ungained.
        record.size = round % 6 < 3 ? 3000.0f : 900.0f;
        record.freeze = round % 4 == 3;
        for (auto* cloud : { &bySample, &byBlock })
        {
            cloud->blockUpdate (record);
            if (round == 10)
                cloud->regionStart[2] = cloud->bufferLength - 50;
            // From round 16 a read now and then meets an infinity, whose NaN sum gives a silent sample.
            for (int i = 0; round == 16 && i < cloud->bufferLength; i += 997)
                cloud->recording.setSample (0, i, INFINITY);
        }

        const int n = lengths[round % 8];
        for (int i = 0; i < n; ++i, ++time)
            input[i] = std::sin ((float) time * 0.05f) * (time % 3 == 0 ? 1.0f : 0.5f);
        for (int i = 0; i < n; ++i)
            expected[i] = bySample.sampleUpdate (input[i]);
        byBlock.processBlock (input, actual, n);

        ASSERT_EQ (std::memcmp (expected, actual, sizeof (float) * (size_t) n), 0) << "round " << round;
        ASSERT_EQ (bySample.writePosition, byBlock.writePosition);
    }

    // Resonators four to a vector match each resonator alone.
    ResonatorState alone[8], inQuads[8];
    ResonatorState* quadOf[2][4] = { { &inQuads[0], &inQuads[1], &inQuads[2], &inQuads[3] },
                                     { &inQuads[4], &inQuads[5], &inQuads[6], &inQuads[7] } };
    for (int i = 0; i < 8; ++i)
    {
        // 55 Hz to past a quarter of the rate, where the coefficient is 0.
        const ResonatorParameters parameters { 55.0f * (float) ((i + 1) * (i + 1) * (i + 1)), i % 3 == 0 ? 0.99f : -0.5f };
        alone[i].blockUpdate (parameters, 1.0 / 44100.0);
        inQuads[i].blockUpdate (parameters, 1.0 / 44100.0);
    }

    int resets = 0;
    for (int stretch = 0; stretch < 20; ++stretch)
    {
        // Each stretch loads the quads from the resonators and stores them back after it.
        ResonatorQuad quads[2];
        for (int q = 0; q < 2; ++q)
            quads[q].load (quadOf[q]);
        for (int t = 0; t < 50; ++t)
        {
            float in[8], expectedOut[8];
            for (int i = 0; i < 8; ++i)
                in[i] = std::sin ((float) (stretch * 50 + t) * (0.1f + 0.05f * (float) i));
            // Now and then a lane is fed something that is no number, or so large that its loop overflows.
            if (t == 17 && stretch % 3 == 0)
                in[stretch % 8] = std::numeric_limits<float>::quiet_NaN();
            if (t == 30 && stretch % 4 == 1)
                in[(stretch + 3) % 8] = 3.0e38f;

            for (int i = 0; i < 8; ++i)
            {
                expectedOut[i] = alone[i].sampleUpdate (in[i]);
                resets += std::isfinite (in[i]) && alone[i].lastOut == 0.0f ? 1 : 0;
            }
            if (stretch % 2 == 0)
                ResonatorQuad::sampleUpdate (quads[0], in, quads[1], in + 4);
            else
                for (int q = 0; q < 2; ++q)
                    quads[q].sampleUpdate (in + 4 * q);
            ASSERT_EQ (std::memcmp (expectedOut, in, sizeof (in)), 0) << "stretch " << stretch << " sample " << t;
        }
        for (int q = 0; q < 2; ++q)
            quads[q].store (quadOf[q]);
    }
    EXPECT_GT (resets, 0);
}
