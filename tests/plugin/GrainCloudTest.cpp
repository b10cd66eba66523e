// The grain cloud alone, where the reference model does not reach: the window tables' stated values, reads at the edge
// of the recording, and records from untrusted documents.
#include <gtest/gtest.h>

#include "plugin/GrainCloud.h"

TEST (GrainCloud, WindowTables)
{
    const float *hann = GrainCloud::hannTable, *tri = GrainCloud::triTable;
    EXPECT_TRUE (hann[0] == 0.0f && hann[2047] == 0.0f);
    EXPECT_TRUE (hann[1023] == 0.99999940395f && hann[1024] == 0.99999940395f); // 0.5 * (1 - float (cos (1023 * 2pi / 2047)))
    EXPECT_TRUE (tri[1] == 1.0f / 1024.0f && tri[1023] == 1023.0f / 1024.0f && tri[1024] == 1.0f && tri[2047] == 1.0f / 1024.0f);
}

TEST (GrainCloud, ReadsAtTheEdgeOfTheRecording)
{
    // A frozen recording whose sample j holds j, so that a read at position p returns p.
    GrainCloud cloud;
    for (int j = 0; j < cloud.bufferLength; ++j)
        cloud.recording.setSample (0, j, (float) j);
    GrainCloud::Parameters record { 1, 0, 1000.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, true };
    cloud.blockUpdate (record);
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
