// Parameter smoothing (alone and as prepared by the processor) and the trajectory's steps and bounces.
#include <gtest/gtest.h>

#include "EngineTestHelpers.h"
#include "plugin/SmoothedParameter.h"

using calyth::test::setParameter;

TEST (Smoothing, LinearRampSemantics)
{
    SmoothedParameter smoother (0.0f);

    // No ramp before preparation: a new target is taken at once.
    smoother.process (0.3f, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (smoother.values()[i], 0.3f);

    smoother.prepare (4, 16);
    EXPECT_EQ (smoother.blockValues.getNumSamples(), 16);
    smoother.process (1.3f, 6);
    const float expected[] = { 0.55f, 0.8f, 1.05f, 1.3f, 1.3f, 1.3f };
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR (smoother.values()[i], expected[i], 1e-6f) << i;
    EXPECT_EQ (smoother.values()[3], 1.3f);

    // The same target again leaves a running ramp alone; a new one restarts the full ramp from where it stands.
    smoother.process (2.3f, 2);
    EXPECT_NEAR (smoother.values()[1], 1.8f, 1e-6f);
    smoother.process (2.3f, 1);
    EXPECT_NEAR (smoother.values()[0], 2.05f, 1e-6f);
    smoother.process (0.05f, 4);
    EXPECT_NEAR (smoother.values()[0], 1.55f, 1e-6f);
    EXPECT_EQ (smoother.values()[3], 0.05f);

    // Never more values than the buffer holds.
    smoother.process (0.0f, 100);
    EXPECT_EQ (smoother.values()[15], 0.0f);
}

TEST (Smoothing, RampLengthsAndTrajectoryIntervalsFollowTheRate)
{
    const struct
    {
        double rate;
        int ramp, interval;
    } rates[] = { { 44100.0, 2645, 256 }, { 48000.0, 2879, 278 }, { 96000.0, 5759, 557 } };

    for (const auto& r : rates)
    {
        CalythAudioProcessor processor;
        processor.enableAllBuses();
        processor.prepareToPlay (r.rate, 6000);
        EXPECT_EQ (processor.trajectoryInterval, r.interval);
        EXPECT_EQ (processor.dryBuffer.getNumSamples(), 6032);

        // x_pos from 0.5 to 1: a linear ramp that lands on the target with its last sample.
        setParameter (processor, "x_pos", 1.0f);
        juce::AudioBuffer<float> buffer (2, r.ramp - 1);
        buffer.clear();
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);

        const float* xs = processor.xPosSmoother->values();
        EXPECT_NEAR (xs[0], 0.5f + 0.5f / (float) r.ramp, 1e-6f);
        EXPECT_NEAR (xs[999], 0.5f + 1000.0f * 0.5f / (float) r.ramp, 1e-4f);
        EXPECT_TRUE (processor.xPosSmoother->smoothedValue.isSmoothing());

        buffer.setSize (2, 1);
        buffer.clear();
        processor.processBlock (buffer, midi);
        EXPECT_EQ (xs[0], 1.0f);
        EXPECT_FALSE (processor.xPosSmoother->smoothedValue.isSmoothing());
    }
}

TEST (Smoothing, FirstBlockAfterPreparationHasUnityGains)
{
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    calyth::test::fillWithSines (buffer, 0);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    for (int i = 0; i < 512; ++i)
    {
        ASSERT_EQ (processor.inGainSmoother->values()[i], 1.0f);
        ASSERT_EQ (processor.outGainSmoother->values()[i], 1.0f);
        ASSERT_EQ (processor.dryWetSmoother->values()[i], 0.5f);
    }
}

TEST (Trajectory, BouncesInsideItsBox)
{
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    setParameter (processor, "trajectory", 1.0f);
    setParameter (processor, "x_traj_amount", 1.0f);
    setParameter (processor, "x_traj_range", 0.2f);
    processor.prepareToPlay (44100.0, 256);
    const float xPos = processor.parameterTree.getRawParameterValue ("x_pos")->load();
    EXPECT_EQ (processor.trajectoryX.load(), xPos);

    const float range = processor.parameterTree.getRawParameterValue ("x_traj_range")->load();
    const float low = xPos - range, high = xPos + range;

    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    float previous = xPos;
    int upTurns = 0, downTurns = 0;
    bool rising = true;

    // One step per block of 256 samples at 44.1 kHz, 0.01 per step.
    for (int block = 0; block < 200; ++block)
    {
        buffer.clear();
        processor.processBlock (buffer, midi);

        const float x = processor.trajectoryX.load();
        ASSERT_GE (x, low);
        ASSERT_LE (x, high);
        ASSERT_LE (std::abs (x - previous), 0.0101f);
        EXPECT_EQ (processor.trajectoryXLow.load(), low);
        EXPECT_EQ (processor.trajectoryXHigh.load(), high);
        EXPECT_EQ (processor.trajectoryYLow.load(), 0.0f);
        EXPECT_EQ (processor.trajectoryYHigh.load(), 1.0f);
        EXPECT_EQ (processor.trajectoryAudioX, x);

        if (rising && x < previous)
        {
            rising = false;
            ++downTurns;
        }
        else if (! rising && x > previous)
        {
            rising = true;
            ++upTurns;
        }
        previous = x;
    }

    // Forty steps cross the box: five crossings in 200 steps.
    EXPECT_GE (downTurns, 2);
    EXPECT_GE (upTurns, 2);

    // Switched off, the point follows the pad position again.
    setParameter (processor, "trajectory", 0.0f);
    setParameter (processor, "x_pos", 0.25f);
    buffer.clear();
    processor.processBlock (buffer, midi);
    EXPECT_EQ (processor.trajectoryX.load(), processor.parameterTree.getRawParameterValue ("x_pos")->load());
    EXPECT_TRUE (processor.xDirection);
}
