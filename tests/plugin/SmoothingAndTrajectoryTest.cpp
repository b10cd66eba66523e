// Parameter ramps as the processor prepares them, and the trajectory's steps and bounces.
#include <gtest/gtest.h>

#include "EngineTestHelpers.h"

using namespace calyth::test;

static float rawValue (CalythAudioProcessor& processor, const char* id)
{
    return processor.parameterTree.getRawParameterValue (id)->load();
}

TEST (Smoothing, RampLengthsAndTrajectoryIntervalsFollowTheRate)
{
    const struct { double rate; int ramp, interval; } rates[] = { { 44100.0, 2645, 256 }, { 48000.0, 2879, 278 }, { 96000.0, 5759, 557 } };
    for (const auto& r : rates)
    {
        CalythAudioProcessor processor;
        prepare (processor, r.rate, 6000);
        EXPECT_EQ (processor.trajectoryInterval, r.interval);
        process (processor, 100);
        EXPECT_TRUE (processor.inGainSmoother->values()[0] == 1.0f && processor.outGainSmoother->values()[0] == 1.0f);

        // x_pos from 0.5 to 1: a linear ramp that lands on the target with its last sample.
        setParameter (processor, "x_pos", 1.0f);
        process (processor, r.ramp - 1);
        EXPECT_NEAR (processor.xPosSmoother->values()[999], 0.5f + 1000.0f * 0.5f / (float) r.ramp, 1e-4f);
        EXPECT_TRUE (processor.xPosSmoother->smoothedValue.isSmoothing());
        process (processor, 1);
        EXPECT_EQ (processor.xPosSmoother->values()[0], 1.0f);
    }
}

TEST (Trajectory, BouncesInsideItsBox)
{
    CalythAudioProcessor processor;
    setParameter (processor, "trajectory", 1.0f);
    setParameter (processor, "x_traj_amount", 1.0f); // 0.01 per step
    setParameter (processor, "x_traj_range", 0.2f);
    prepare (processor, 44100.0, 256);
    const float x0 = rawValue (processor, "x_pos"), range = rawValue (processor, "x_traj_range");
    EXPECT_EQ (processor.trajectoryX.load(), x0);

    float previous = x0, direction = 1.0f;
    int turns = 0;
    for (int block = 0; block < 200; ++block) // one step per block of 256 samples
    {
        process (processor, 256);
        const float x = processor.trajectoryX.load();
        ASSERT_TRUE (x >= x0 - range && x <= x0 + range && std::abs (x - previous) <= 0.0101f && processor.trajectoryAudioX == x) << x;
        if ((x - previous) * direction < 0.0f)
        {
            direction = -direction;
            ++turns;
        }
        previous = x;
    }
    EXPECT_EQ (turns, 5); // 20 steps up, then 40 per crossing of the box
    EXPECT_TRUE (processor.trajectoryXLow.load() == x0 - range && processor.trajectoryXHigh.load() == x0 + range);
    EXPECT_EQ (processor.trajectoryYHigh.load(), 1.0f);
}
