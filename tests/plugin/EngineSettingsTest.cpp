// Drawing engine settings: order and count of draws, pole isolation, and the trajectory randomiser's gestures.
#include <gtest/gtest.h>

#include "plugin/PluginProcessor.h"

TEST (EngineSettings, RegenerateWorldTakesEightyTwoDrawsInOrder)
{
    CalythAudioProcessor processor, twin;
    juce::MemoryBlock states[2];
    for (auto* p : { &processor, &twin })
    {
        p->worldRandom.setSeed (20261206);
        p->regenerateWorld();
        p->getStateInformation (states[p == &twin]);
    }
    EXPECT_EQ (states[0], states[1]); // every record alike

    // The draws written out from the ranges of each setting.
    juce::Random r (20261206);
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto& res = *processor.resonatorParameters[pole]->getUnchecked (ch);
            EXPECT_FLOAT_EQ (res.freq, 80.0f + 880.0f * r.nextFloat());
            EXPECT_FLOAT_EQ (res.feedback, 0.9f * r.nextFloat());

            const auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
            EXPECT_TRUE (g.density.load() == 8 && g.envelope.load() == 2);
            const float ms = r.nextBool() ? 20.0f + 80.0f * r.nextFloat() : 100.0f + 499.0f * r.nextFloat();
            EXPECT_FLOAT_EQ (g.size, (float) ((double) (ms * 0.001f) * 44100.0));
            EXPECT_FLOAT_EQ (g.speed, r.nextBool() ? 0.95f + (1.025f - 0.95f) * r.nextFloat() : 0.5f + 1.5f * r.nextFloat());
            EXPECT_FLOAT_EQ (g.sizeRnd, 0.25f * r.nextFloat());
            EXPECT_FLOAT_EQ (g.ampRnd, r.nextFloat());
            EXPECT_FLOAT_EQ (g.speedRnd, r.nextBool() ? 0.01f * r.nextFloat() : 0.5f * r.nextFloat());
        }
    for (auto* diffuser : processor.diffuserParameters)
        EXPECT_TRUE (std::abs (diffuser->feedback - (0.1f + 0.8f * r.nextFloat())) < 1e-6f && diffuser->damp == 0.7f);
    EXPECT_EQ (processor.worldRandom.nextInt(), r.nextInt()); // exactly 82 draws

    // One pole's regeneration redraws only that pole; at 48 kHz the same milliseconds give more samples.
    const auto sizeOf = [&processor] (int pole) { return processor.granulizerParameters[pole]->getUnchecked (1)->size.load(); };
    const float sizes[] = { sizeOf (0), sizeOf (1), sizeOf (2), sizeOf (3) };
    processor.regeneratePole (2);
    EXPECT_TRUE (sizeOf (0) == sizes[0] && sizeOf (1) == sizes[1] && sizeOf (2) != sizes[2] && sizeOf (3) == sizes[3]);
    processor.prepareToPlay (48000.0, 512);
    processor.worldRandom.setSeed (20261206);
    processor.regenerateWorld();
    EXPECT_NEAR (sizeOf (0), sizes[0] * 48000.0f / 44100.0f, sizes[0] * 1e-6f);
}

TEST (EngineSettings, TrajectoryRandomiserGestures)
{
    struct Recorder : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int index, float value) override { events.add ("value " + juce::String (index) + " " + juce::String (value)); }
        void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "begin " : "end ") + juce::String (index)); }
        juce::StringArray events;
    };

    for (const bool live : { false, true })
    {
        Recorder recorder; // made first, so that the parameters it listens to go before it
        CalythAudioProcessor processor;
        auto& randomizer = processor.trajectoryRandomizer;
        EXPECT_FALSE (randomizer.isAbletonLive);
        randomizer.isAbletonLive = live;
        randomizer.random.setSeed (77);
        for (int k = 4; k <= 7; ++k)
            processor.getParameters()[k]->addListener (&recorder);
        randomizer.randomizeGroup (0);
        randomizer.randomizeGroup (5); // no such group: nothing happens

        // Outside Live each parameter gets begin, value, end before the next one; inside Live values only.
        juce::Random replay (77);
        juce::StringArray expected;
        for (const juce::String k : { "4", "5", "6", "7" })
        {
            const auto value = "value " + k + " " + juce::String (replay.nextFloat());
            expected.addArray (live ? juce::StringArray (value) : juce::StringArray ("begin " + k, value, "end " + k));
        }
        EXPECT_EQ (recorder.events, expected) << recorder.events.joinIntoString (", ");
    }
}
