// A cloud played a block at a time sounds and ends exactly as one played sample by sample.
#include <gtest/gtest.h>

#include "plugin/GrainCloud.h"

#include <cmath>
#include <cstring>

TEST (GrainCloudBlock, BlocksOfAnyLengthMatchSampleBySampleBitForBit)
{
    GrainCloud bySample, byBlock;
    bySample.regionSeed = byBlock.regionSeed = 77;

    // Grain counts that fill no whole vector, every window, a redraw, and a slot whose region reaches past the
    // recording for a while, so that some samples end early, ungained.
    const GrainCloud::Parameters records[] = { { 37, 1, 3000.0f, 1.3f, 0.2f, 0.4f, 0.5f, 0.8f, false },
                                               { 64, 0, 900.0f, 0.7f, 0.1f, 0.5f, 1.0f, 1.5f, false },
                                               { 5, 2, 20000.0f, 2.0f, 0.25f, 0.1f, 0.0f, 2.0f, false } };
    const int lengths[] = { 1, 3, 4, 5, 64, 7, 130, 2 };
    int time = 0, endedSamples = 0;

    for (int round = 0; round < 24; ++round)
    {
        const auto& record = records[(round / 8) % 3];
        bySample.blockUpdate (record);
        byBlock.blockUpdate (record);
        if (round == 10)
            for (auto* cloud : { &bySample, &byBlock })
            {
                cloud->regionStart[2] = cloud->bufferLength - 50;
                cloud->regionLength[2] = 60;
                cloud->regionPending[2] = false;
            }

        const int n = lengths[round % 8];
        float input[130], expected[130], actual[130];
        for (int i = 0; i < n; ++i, ++time)
            input[i] = std::sin ((float) time * 0.05f) * (time % 3 == 0 ? 1.0f : 0.5f);

        for (int i = 0; i < n; ++i)
        {
            expected[i] = bySample.sampleUpdate (input[i]);
            endedSamples += bySample.regionStart[2] + bySample.regionLength[2] >= bySample.bufferLength ? 1 : 0;
        }
        byBlock.processBlock (input, actual, n);

        ASSERT_EQ (std::memcmp (expected, actual, sizeof (float) * (size_t) n), 0) << "round " << round;
        ASSERT_EQ (std::memcmp (bySample.readPosition, byBlock.readPosition, sizeof (bySample.readPosition)), 0);
        ASSERT_EQ (std::memcmp (bySample.regionStart, byBlock.regionStart, sizeof (bySample.regionStart)), 0);
        ASSERT_EQ (bySample.takeAllPending, byBlock.takeAllPending);
        ASSERT_EQ (bySample.writePosition, byBlock.writePosition);
    }
    EXPECT_GT (endedSamples, 0);
}
