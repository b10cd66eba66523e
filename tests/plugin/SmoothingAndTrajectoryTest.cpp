// Parameter ramps as the processor prepares them, and the trajectory's steps and bounces.
#include <gtest/gtest.h>

#include "EngineTestHelpers.h"

using calyth::test::process;
using calyth::test::setParameter;

TEST (Smoothing, RampLengthsAndTrajectoryIntervalsFollowTheRate)
{
    const struct { double rate; int ramp, interval; } rates[] = { { 44100.0, 2645, 256 }, { 48000.0, 2879, 278 }, { 96000.0, 5759, 557 } };

    for (const auto& r : rates)
    {
        CalythAudioProcessor processor;
        processor.enableAllBuses();
        processor.prepareToPlay (r.rate, 6000);
        EXPECT_EQ (processor.trajectoryInterval, r.interval);

        // Default parameters: unity gains from the first sample.
        process (processor, 100);
        EXPECT_EQ (processor.inGainSmoother->values()[0], 1.0f);
        EXPECT_EQ (processor.outGainSmoother->values()[0], 1.0f);

        // x_pos from 0.5 to 1: a linear ramp that lands on the target with its last sample.
        setParameter (processor, "x_pos", 1.0f);
        process (processor, r.ramp - 1);
        EXPECT_NEAR (processor.xPosSmoother->values()[999], 0.5f + 1000.0f * 0.5f / (float) r.ramp, 1e-4f);
        EXPECT_TRUE (processor.xPosSmoother->smoothedValue.isSmoothing());
        process (processor, 1);
        EXPECT_EQ (processor.xPosSmoother->values()[0], 1.0f);
        EXPECT_FALSE (processor.xPosSmoother->smoothedValue.isSmoothing());
    }
}

TEST (Trajectory, BouncesInsideItsBox)
{
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    setParameter (processor, "trajectory", 1.0f);
    setParameter (processor, "x_traj_amount", 1.0f); // 0.01 per step
    setParameter (processor, "x_traj_range", 0.2f);
    processor.prepareToPlay (44100.0, 256);

    const float x0 = processor.parameterTree.getRawParameterValue ("x_pos")->load();
    const float range = processor.parameterTree.getRawParameterValue ("x_traj_range")->load();
    EXPECT_EQ (processor.trajectoryX.load(), x0);

    float previous = x0;
    int turns = 0;
    bool rising = true;
    for (int block = 0; block < 200; ++block) // one step per block of 256 samples
    {
        process (processor, 256);
        const float x = processor.trajectoryX.load();
        ASSERT_TRUE (x >= x0 - range && x <= x0 + range) << x;
        ASSERT_LE (std::abs (x - previous), 0.0101f);
        ASSERT_EQ (processor.trajectoryAudioX, x);
        if (x != previous && (x > previous) != rising)
        {
            rising = ! rising;
            ++turns;
        }
        previous = x;
    }
    EXPECT_EQ (processor.trajectoryXLow.load(), x0 - range);
    EXPECT_EQ (processor.trajectoryXHigh.load(), x0 + range);
    EXPECT_EQ (processor.trajectoryYHigh.load(), 1.0f);
    EXPECT_EQ (turns, 5); // 20 steps up, then 40 per crossing of the box

    // Switched off, the point follows the pad position again.
    setParameter (processor, "trajectory", 0.0f);
    setParameter (processor, "x_pos", 0.25f);
    process (processor, 256);
    EXPECT_EQ (processor.trajectoryX.load(), processor.parameterTree.getRawParameterValue ("x_pos")->load());
}
