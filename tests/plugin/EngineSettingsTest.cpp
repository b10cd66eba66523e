// Drawing engine settings: order and count of draws, pole isolation, and the trajectory randomiser's gestures.
#include <gtest/gtest.h>

#include "EngineTestHelpers.h"

namespace
{
// Every drawn value, seven per pole and channel in pole order, then the two diffusers.
std::vector<float> drawnValues (CalythAudioProcessor& processor)
{
    std::vector<float> values;
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
            const auto& res = *processor.resonatorParameters[pole]->getUnchecked (ch);
            values.insert (values.end(), { res.freq, res.feedback, g.size, g.speed, g.sizeRnd, g.ampRnd, g.speedRnd });
        }
    for (auto* diffuser : processor.diffuserParameters)
        values.push_back (diffuser->feedback);
    return values;
}
} // namespace

TEST (EngineSettings, RegenerateWorldTakesEightyTwoDrawsInOrder)
{
    CalythAudioProcessor processor, twin;
    for (auto* p : { &processor, &twin })
    {
        p->worldRandom.setSeed (20261206);
        p->regenerateWorld();
    }
    EXPECT_EQ (drawnValues (processor), drawnValues (twin));

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
    {
        EXPECT_FLOAT_EQ (diffuser->feedback, 0.1f + 0.8f * r.nextFloat());
        EXPECT_EQ (diffuser->damp.load(), 0.7f);
    }
    EXPECT_EQ (processor.worldRandom.nextInt(), r.nextInt()); // exactly 82 draws

    // Regenerating one pole redraws its two channels and nothing else.
    const auto before = drawnValues (processor);
    processor.regeneratePole (2);
    const auto after = drawnValues (processor);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ (before[i] != after[i], i >= 28 && i < 42) << i;

    // At 48 kHz the same milliseconds give more samples; records drawn earlier keep theirs.
    const float size = processor.granulizerParameters[0]->getUnchecked (0)->size;
    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (processor.granulizerParameters[0]->getUnchecked (0)->size.load(), size);
    processor.worldRandom.setSeed (20261206);
    processor.regenerateWorld();
    EXPECT_NEAR (processor.granulizerParameters[0]->getUnchecked (0)->size, size * 48000.0f / 44100.0f, size * 1e-6f);
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
