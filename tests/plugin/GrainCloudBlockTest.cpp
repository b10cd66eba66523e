// A cloud played a block at a time sounds and ends exactly as one played sample by sample.
#include <gtest/gtest.h>

#include "plugin/GrainCloud.h"

#include <cmath>
#include <cstring>

TEST (GrainCloudBlock, BlocksOfAnyLengthMatchSampleBySampleBitForBit)
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
        // Redraws, frozen stretches, and from round 10 a slot whose region reaches past the recording, so
        // that samples end early, ungained.
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
}
