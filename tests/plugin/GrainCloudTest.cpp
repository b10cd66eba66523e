// The grain cloud alone: window tables, grain loops and regions, reads at the edges, rescaling, hostile records.
#include <gtest/gtest.h>

#include <limits>

#include "plugin/GrainCloud.h"

namespace
{
// A frozen recording whose sample j holds j: a read at an integer position returns the position.
void useIndexRecording (GrainCloud& cloud, GrainCloud::Parameters& record, int density, float size)
{
    for (int j = 0; j < cloud.bufferLength; ++j)
        cloud.recording.setSample (0, j, (float) j);
    record.density = density;
    record.size = size;
    record.freeze = true;
}
} // namespace

TEST (GrainCloud, WindowTables)
{
    GrainCloud cloud;
    const float *hann = GrainCloud::hannTable, *tri = GrainCloud::triTable;
    EXPECT_EQ (hann[0], 0.0f);
    EXPECT_EQ (hann[2047], 0.0f);
    EXPECT_EQ (hann[1023], 0.99999940395f); // 0.5 * (1 - float (cos (1023 * 2pi / 2047)))
    EXPECT_EQ (hann[1024], 0.99999940395f);
    EXPECT_NEAR (hann[512], 0.50038368f, 1e-7f);
    EXPECT_EQ (tri[1], 1.0f / 1024.0f);
    EXPECT_EQ (tri[1023], 1023.0f / 1024.0f);
    EXPECT_EQ (tri[1024], 1.0f);
    EXPECT_EQ (tri[2047], 1.0f / 1024.0f);
}

TEST (GrainCloud, GrainLoopsItsRegionAndTakesThePendingOneAtTheWrap)
{
    GrainCloud cloud;
    GrainCloud::Parameters record;
    useIndexRecording (cloud, record, 1, 1000.0f);
    cloud.blockUpdate (record);
    ASSERT_TRUE (cloud.regionPending[0]);

    // The first sample reads the old region (0, 1), then every pending region is taken at once.
    EXPECT_EQ (cloud.sampleUpdate (0.5f), 0.0f);
    const int start = cloud.regionStart[0];
    EXPECT_EQ (cloud.regionLength[0], 1000);
    cloud.blockUpdate (record); // unchanged: no draw
    EXPECT_FALSE (cloud.regionPending[0]);
    for (int k = 0; k < 1500; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), (float) (start + k % 1000)) << k;

    // A new size draws a region that waits for the grain's wrap; gain acts without a draw.
    record.size = 1200.0f;
    cloud.blockUpdate (record);
    const int next = cloud.nextStart[0];
    record.gain = 0.5f;
    cloud.blockUpdate (record);
    EXPECT_EQ (cloud.nextStart[0], next);
    for (int k = 1500; k < 2000; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), 0.5f * (float) (start + k % 1000)) << k;
    for (int k = 0; k < 1300; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), 0.5f * (float) (next + k % 1200)) << k;
    EXPECT_EQ (cloud.writePosition, 0); // frozen

    // Density 0: silence while the recording goes on.
    record.density = 0;
    record.freeze = false;
    cloud.blockUpdate (record);
    EXPECT_EQ (cloud.sampleUpdate (3.0f), 0.0f);
    EXPECT_EQ (cloud.recording.getSample (0, 0), 3.0f);
    EXPECT_EQ (cloud.writePosition, 1);
}

TEST (GrainCloud, ReadsAtTheEdgesAndRescaling)
{
    GrainCloud cloud;
    GrainCloud::Parameters record;
    useIndexRecording (cloud, record, 1, 441.0f);
    cloud.parameters = record; // same record: no draw
    cloud.blockUpdate (record);

    // The last sample reads with the first as partner; the grain wraps to its region's start.
    const int last = cloud.bufferLength - 1;
    cloud.regionLength[0] = last;
    cloud.readPosition[0] = (float) last;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), (float) last);
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 1.0f);
    cloud.readPosition[0] = 10.25f;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 10.25f);
    for (float outside : { (float) last + 0.5f, -3.0f, std::numeric_limits<float>::quiet_NaN() })
    {
        cloud.readPosition[0] = outside;
        EXPECT_EQ (cloud.sampleUpdate (0.0f), 0.0f);
    }

    // The same rate changes nothing; 48 kHz and back adds one sample each way.
    cloud.regionLength[3] = 1000;
    cloud.updateSamplerate (44100.0);
    EXPECT_EQ (cloud.recording.getSample (0, 5), 5.0f);
    cloud.updateSamplerate (48000.0);
    EXPECT_EQ (cloud.bufferLength, 192001);
    EXPECT_EQ (cloud.regionLength[3], 1089);
    EXPECT_EQ (cloud.recording.getSample (0, 5), 0.0f);
    cloud.updateSamplerate (44100.0);
    EXPECT_EQ (cloud.bufferLength, 176401);
}

TEST (GrainCloud, HostileRecordsStayBoundedAndFinite)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float cases[][7] = { // density, size, speed, sizeRnd, speedRnd, ampRnd, gain
        { 1000, 5000, 1, 0, 0, 0, 1 }, { 64, 0, 1, 1, 0, 0, 1 },      { 8, -500, 1, 0.5f, 0, 0, 1 },
        { 8, nan, 1, 0, 0, 0, 1 },     { 8, inf, 1, 0, 0, 0, 1 },     { 8, 1.0e9f, 1, 0, 0, 0, 1 },
        { 8, 2000, 1.0e30f, 0, 0, 0, 1 }, { 8, 2000, nan, 0, 0, 0, 1 }, { 8, 2000, -3.0e4f, 0, 0, 0, 1 },
        { 8, 2000, 1, 1.0e30f, 1.0e30f, nan, 1 }, { 8, 2000, 1, 0, 0, 1.0e38f, inf }, { -5, 2000, 1, 0, 0, 0, 1 },
    };

    for (const auto& c : cases)
    {
        GrainCloud cloud;
        for (int envelope : { 0, 1, 2 })
        {
            GrainCloud::Parameters record;
            record.density = (int) c[0];
            record.envelope = envelope;
            record.size = c[1];
            record.speed = c[2];
            record.sizeRnd = c[3];
            record.speedRnd = c[4];
            record.ampRnd = c[5];
            record.gain = c[6];
            cloud.blockUpdate (record);
            for (int k = 0; k < 3000; ++k)
                ASSERT_TRUE (std::isfinite (cloud.sampleUpdate (std::sin ((float) k * 0.01f)))) << c[0] << " " << c[1] << " " << c[2];
            for (int i = 0; i < GrainCloud::maxGrains; ++i)
                ASSERT_TRUE (cloud.regionLength[i] >= 1 && cloud.regionStart[i] + cloud.regionLength[i] < cloud.bufferLength);
        }
    }
}

TEST (GrainCloud, FixedRegionSeedRepeatsTheDraws)
{
    GrainCloud first, second, unseeded;
    first.regionSeed = second.regionSeed = 99;
    GrainCloud::Parameters record;
    record.size = 4410.0f;
    record.sizeRnd = 0.25f;
    record.speedRnd = 0.5f;
    record.ampRnd = 1.0f;
    first.blockUpdate (record);
    second.blockUpdate (record);
    EXPECT_EQ (first.regionSeed, 100);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (first.nextStart[i], second.nextStart[i]);
        EXPECT_EQ (first.nextLength[i], second.nextLength[i]);
        EXPECT_EQ (first.speedOffset[i], second.speedOffset[i]);
        EXPECT_EQ (first.amplitude[i], second.amplitude[i]);
    }
    EXPECT_EQ (unseeded.regionSeed, -1);
}
