// Drawing engine settings: order and count of draws, pole isolation, and the trajectory randomiser's gestures.
#include <gtest/gtest.h>

#include "EngineTestHelpers.h"

namespace
{
struct GestureRecorder : juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int index, float value) override { events.add ("value " + juce::String (index) + " " + juce::String (value)); }
    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "begin " : "end ") + juce::String (index)); }
    juce::StringArray events;
};
} // namespace

TEST (EngineSettings, RegenerateWorldTakesEightyTwoDrawsInOrder)
{
    CalythAudioProcessor processor, twin;
    for (auto* p : { &processor, &twin })
    {
        p->worldRandom.setSeed (20261206);
        p->regenerateWorld();
    }

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

            EXPECT_EQ (twin.granulizerParameters[pole]->getUnchecked (ch)->size.load(), g.size.load());
            EXPECT_EQ (twin.resonatorParameters[pole]->getUnchecked (ch)->freq.load(), res.freq.load());
        }
    for (auto* diffuser : processor.diffuserParameters)
    {
        EXPECT_FLOAT_EQ (diffuser->feedback, 0.1f + 0.8f * r.nextFloat());
        EXPECT_EQ (diffuser->damp.load(), 0.7f);
    }
    EXPECT_EQ (processor.worldRandom.nextInt(), r.nextInt()); // exactly 82 draws

    // At 48 kHz the same milliseconds give more samples; records drawn earlier keep theirs.
    const float before = processor.granulizerParameters[0]->getUnchecked (0)->size;
    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (processor.granulizerParameters[0]->getUnchecked (0)->size.load(), before);
    processor.worldRandom.setSeed (20261206);
    processor.regenerateWorld();
    EXPECT_NEAR (processor.granulizerParameters[0]->getUnchecked (0)->size, before * 48000.0f / 44100.0f, before * 1e-6f);
}

TEST (EngineSettings, RegeneratePoleTouchesOnlyThatPole)
{
    CalythAudioProcessor processor;
    const auto values = [&processor]
    {
        juce::Array<float> v;
        for (int pole = 0; pole < 4; ++pole)
            for (int ch = 0; ch < 2; ++ch)
                v.add (processor.granulizerParameters[pole]->getUnchecked (ch)->size.load(), processor.resonatorParameters[pole]->getUnchecked (ch)->freq.load());
        v.add (processor.diffuserParameters[0]->feedback.load(), processor.diffuserParameters[1]->feedback.load());
        return v;
    };

    const auto before = values();
    processor.regeneratePole (2);
    const auto after = values();
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ (before[i] != after[i], i >= 8 && i < 12) << i;
}

TEST (EngineSettings, TrajectoryRandomiserGestures)
{
    for (const bool live : { false, true })
    {
        CalythAudioProcessor processor;
        auto& randomizer = processor.trajectoryRandomizer;
        EXPECT_FALSE (randomizer.isAbletonLive);
        randomizer.isAbletonLive = live;
        randomizer.random.setSeed (77);

        GestureRecorder recorder;
        for (int k = 4; k <= 7; ++k)
            processor.getParameters()[k]->addListener (&recorder);
        randomizer.randomizeGroup (0);
        randomizer.randomizeGroup (5); // no such group: nothing happens

        // Outside Live each parameter gets begin, value, end before the next one; inside Live values only.
        juce::Random replay (77);
        juce::StringArray expected;
        for (int k = 4; k <= 7; ++k)
        {
            if (! live)
                expected.add ("begin " + juce::String (k));
            expected.add ("value " + juce::String (k) + " " + juce::String (replay.nextFloat()));
            if (! live)
                expected.add ("end " + juce::String (k));
        }
        EXPECT_EQ (recorder.events, expected) << recorder.events.joinIntoString (", ");
        for (int k = 4; k <= 7; ++k)
            processor.getParameters()[k]->removeListener (&recorder);
    }
}
