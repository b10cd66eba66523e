// The trajectory randomiser's gestures and values (the engine settings' draws are held to the reference model).
#include <gtest/gtest.h>

#include "plugin/PluginProcessor.h"

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
