// The grain cloud alone: window tables, grain loops and regions, freezing, rescaling and hostile records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plugin/GrainCloud.h"

namespace
{
// A recording whose sample j holds j, so that a read at an integer position returns the position.
void fillWithIndices (GrainCloud& cloud)
{
    for (int j = 0; j < cloud.bufferLength; ++j)
        cloud.recording.setSample (0, j, (float) j);
}

void setRecord (GrainCloud::Parameters& p, int density, int envelope, float size, float speed, bool freeze)
{
    p.density = density;
    p.envelope = envelope;
    p.size = size;
    p.speed = speed;
    p.sizeRnd = 0.0f;
    p.speedRnd = 0.0f;
    p.ampRnd = 0.0f;
    p.gain = 1.0f;
    p.freeze = freeze;
}
} // namespace

TEST (GrainCloud, WindowTables)
{
    GrainCloud cloud;
    const float* hann = GrainCloud::hannTable;
    const float* tri = GrainCloud::triTable;

    EXPECT_EQ (hann[0], 0.0f);
    EXPECT_EQ (hann[2047], 0.0f);
    // 0.5 * (1 - float (cos (1023 * 2pi / 2047))) in single precision.
    EXPECT_EQ (hann[1023], 0.99999940395f);
    EXPECT_EQ (hann[1024], 0.99999940395f);
    EXPECT_NEAR (hann[512], 0.50038368f, 1e-7f);

    EXPECT_EQ (tri[0], 0.0f);
    EXPECT_EQ (tri[1], 1.0f / 1024.0f);
    EXPECT_EQ (tri[1023], 1023.0f / 1024.0f);
    EXPECT_EQ (tri[1024], 1.0f);
    EXPECT_EQ (tri[1025], 1023.0f / 1024.0f);
    EXPECT_EQ (tri[2047], 1.0f / 1024.0f);
}

TEST (GrainCloud, GrainLoopsOverItsRegionAndTakesThePendingOneAtTheWrap)
{
    GrainCloud cloud;
    fillWithIndices (cloud);

    GrainCloud::Parameters record;
    setRecord (record, 1, 0, 1000.0f, 1.0f, true);
    cloud.blockUpdate (record);
    ASSERT_TRUE (cloud.regionPending[0]);
    EXPECT_EQ (cloud.nextLength[0], 1000);
    EXPECT_EQ (cloud.amplitude[0], 1.0f);

    // First sample: the old region (0, 1) is read, then every pending region is taken at once.
    EXPECT_EQ (cloud.sampleUpdate (0.5f), 0.0f);
    const int start = cloud.regionStart[0];
    EXPECT_EQ (cloud.regionLength[0], 1000);
    EXPECT_FALSE (cloud.regionPending[0]);
    EXPECT_LT (start + 1000, cloud.bufferLength);

    // An unchanged record draws nothing.
    cloud.blockUpdate (record);
    EXPECT_FALSE (cloud.regionPending[0]);

    for (int k = 0; k < 2500; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), (float) (start + k % 1000)) << k;

    // A new size draws a region that waits for the wrap.
    record.size = 1200.0f;
    cloud.blockUpdate (record);
    ASSERT_TRUE (cloud.regionPending[0]);
    const int next = cloud.nextStart[0];
    for (int k = 2500; k < 3000; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), (float) (start + k % 1000)) << k;
    for (int k = 0; k < 1300; ++k)
        ASSERT_EQ (cloud.sampleUpdate (0.5f), (float) (next + k % 1200)) << k;
}

TEST (GrainCloud, FreezeDensityAndSpeedWithoutNewRegions)
{
    GrainCloud cloud;
    GrainCloud::Parameters record;
    setRecord (record, 0, 0, 441.0f, 1.0f, false);
    cloud.blockUpdate (record);

    // Density 0: silence while the recording goes on.
    for (int k = 0; k < 100; ++k)
        ASSERT_EQ (cloud.sampleUpdate ((float) (k + 1)), 0.0f);
    EXPECT_EQ (cloud.writePosition, 100);
    EXPECT_EQ (cloud.recording.getSample (0, 99), 100.0f);

    // Freeze: nothing is written, the grain keeps playing (its region (0, 1) holds the first input).
    record.density = 1;
    record.freeze = true;
    cloud.blockUpdate (record);
    for (int k = 0; k < 100; ++k)
        ASSERT_EQ (cloud.sampleUpdate (-7.0f), 1.0f);
    EXPECT_EQ (cloud.writePosition, 100);
    EXPECT_EQ (cloud.recording.getSample (0, 100), 0.0f);

    // Gain and envelope change the sound from the next sample, without a new draw.
    const int drawnStart = cloud.nextStart[0];
    record.gain = 0.5f;
    cloud.blockUpdate (record);
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 0.5f);
    record.envelope = 2;
    cloud.blockUpdate (record);
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 0.0f); // Hann window at the grain's start
    EXPECT_EQ (cloud.nextStart[0], drawnStart);
}

TEST (GrainCloud, ReadsAtTheEdgesOfTheRecording)
{
    GrainCloud cloud;
    fillWithIndices (cloud);
    GrainCloud::Parameters record;
    setRecord (record, 1, 0, 441.0f, 1.0f, true);
    cloud.parameters = record; // same record: no draw
    cloud.blockUpdate (record);

    const int last = cloud.bufferLength - 1;
    cloud.regionStart[0] = 0;
    cloud.regionLength[0] = last;
    cloud.readPosition[0] = (float) last;

    // The last sample reads with the first as its partner, then the grain wraps to the region's start.
    EXPECT_EQ (cloud.sampleUpdate (0.0f), (float) last);
    EXPECT_EQ (cloud.readPosition[0], 1.0f);
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 1.0f);

    // Between two samples the read interpolates linearly.
    cloud.readPosition[0] = 10.25f;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 10.25f);

    // A position outside the recording is read from its start.
    cloud.readPosition[0] = (float) last + 0.5f;
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 0.0f);
    cloud.readPosition[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (cloud.sampleUpdate (0.0f), 0.0f);
}

TEST (GrainCloud, SampleRateChangesScaleTheLengths)
{
    GrainCloud cloud;
    cloud.recording.setSample (0, 5, 1.0f);
    cloud.regionLength[3] = 1000;

    cloud.updateSamplerate (44100.0);
    EXPECT_EQ (cloud.bufferLength, 176400);
    EXPECT_EQ (cloud.recording.getSample (0, 5), 1.0f);

    cloud.updateSamplerate (48000.0);
    EXPECT_EQ (cloud.bufferLength, 192001);
    EXPECT_EQ (cloud.recording.getNumSamples(), 192001);
    EXPECT_EQ (cloud.regionLength[0], 2);
    EXPECT_EQ (cloud.regionLength[3], 1089);
    EXPECT_EQ (cloud.recording.getSample (0, 5), 0.0f);

    cloud.updateSamplerate (44100.0);
    EXPECT_EQ (cloud.bufferLength, 176401);
}

TEST (GrainCloud, HostileRecordsStayBoundedAndFinite)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    struct Case
    {
        int density;
        float size, speed, sizeRnd, speedRnd, ampRnd, gain;
    };
    const Case cases[] = {
        { 1000, 5000.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },  { 64, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f },
        { 8, -500.0f, 1.0f, 0.5f, 0.0f, 0.0f, 1.0f },     { 8, nan, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },
        { 8, inf, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },         { 8, 1.0e9f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },
        { 8, 2000.0f, 1.0e30f, 0.0f, 0.0f, 0.0f, 1.0f },  { 8, 2000.0f, inf, 0.0f, 0.0f, 0.0f, 1.0f },
        { 8, 2000.0f, nan, 0.0f, 0.0f, 0.0f, 1.0f },      { 8, 2000.0f, -3.0e4f, 0.0f, 0.0f, 0.0f, 1.0f },
        { 8, 2000.0f, 1.0f, 1.0e30f, 1.0e30f, nan, 1.0f }, { 8, 2000.0f, 1.0f, 0.0f, 0.0f, 1.0e38f, inf },
        { -5, 2000.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f },
    };

    for (const auto& c : cases)
    {
        GrainCloud cloud;
        for (int envelope : { 0, 1, 2 })
        {
            GrainCloud::Parameters record;
            record.density = c.density;
            record.envelope = envelope;
            record.size = c.size;
            record.speed = c.speed;
            record.sizeRnd = c.sizeRnd;
            record.speedRnd = c.speedRnd;
            record.ampRnd = c.ampRnd;
            record.gain = c.gain;
            cloud.blockUpdate (record);

            for (int k = 0; k < 3000; ++k)
            {
                const float out = cloud.sampleUpdate (std::sin ((float) k * 0.01f));
                ASSERT_TRUE (std::isfinite (out)) << "density " << c.density << " size " << c.size << " speed " << c.speed;
            }
            for (int i = 0; i < GrainCloud::maxGrains; ++i)
            {
                ASSERT_GE (cloud.regionLength[i], 1);
                ASSERT_LT ((juce::int64) cloud.regionStart[i] + cloud.regionLength[i], cloud.bufferLength);
            }
        }
    }
}
