// What a hostile host can hand the processor: values that are no numbers and rates it cannot filter at.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

using namespace calyth::test;

TEST (HostileHost, NonFiniteParameterValuesKeepTheLastFiniteOne)
{
    CalythAudioProcessor p;
    p.prepareToPlay (44100.0, 256);
    setParameter (p, "dry_wet", 0.25f);
    ASSERT_TRUE (runBlock (p));

    // As the VST client passes a host's setParameter on: the framework's range lets NaN through.
    for (const char* id : { "dry_wet", "pole_a_diff", "in_gain", "out_gain" })
    {
        const float before = p.parameterTree.getParameter (id)->getValue();
        p.parameterTree.getParameter (id)->setValueNotifyingHost (NAN);
        EXPECT_EQ (p.parameterTree.getParameter (id)->getValue(), before) << id;
        EXPECT_TRUE (std::isfinite (parameterValue (p, id))) << id;
    }
    EXPECT_FLOAT_EQ (parameterValue (p, "dry_wet"), 0.25f);
    EXPECT_TRUE (runBlock (p));

    // A NaN that the audio thread reads before it is put back keeps the smoother's target.
    SmoothedParameter smoother (0.5f);
    smoother.prepare (4, 8);
    smoother.process (NAN, 2);
    smoother.process (SmoothedParameter::decibelsToGain (NAN), 2);
    smoother.process (1.0f, 2);
    EXPECT_EQ (std::vector<float> (smoother.values(), smoother.values() + 2), (std::vector<float> { 0.625f, 0.75f }));
}

TEST (HostileHost, DcBlockerStaysStableAtEveryRate)
{
    for (double rate : { 1.0, 40.0, 100.0, 125.9 })
    {
        DcBlocker blocker;
        blocker.updateSamplerate (rate);
        EXPECT_EQ (blocker.coefficient, 0.0f) << rate;
        // The worst input for a negative coefficient: full scale at the highest frequency.
        float peak = 0.0f;
        for (int i = 0; i < 400; ++i)
            peak = juce::jmax (peak, std::abs (blocker.sampleUpdate (i % 2 == 0 ? 1.0f : -1.0f)));
        EXPECT_LE (peak, 2.0f) << rate;
    }
    DcBlocker blocker;
    blocker.updateSamplerate (126.0);
    EXPECT_EQ (blocker.coefficient, 0.0f);
    blocker.updateSamplerate (252.0);
    EXPECT_EQ (blocker.coefficient, 0.5f);
}
