// The trajectory randomiser's gestures and values (the engine settings' draws are held to the reference model).
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

TEST (EngineSettings, TrajectoryRandomiserGestures)
{
    for (const bool live : { false, true })
    {
        CalythAudioProcessor processor;
        auto& randomizer = processor.trajectoryRandomizer;
        randomizer.isAbletonLive = live;
        randomizer.random.setSeed (77);
        calyth::test::ParameterLog log (processor, { 4, 5, 6, 7 });
        randomizer.randomizeGroup (0);
        randomizer.randomizeGroup (5); // no such group: nothing happens

        // Outside Live each parameter gets begin, value, end before the next one; inside Live values only.
        juce::Random replay (77);
        juce::String expected;
        for (int k = 4; k <= 7; ++k)
        {
            const auto value = " " + juce::String (k) + ":" + juce::String (replay.nextFloat(), 4);
            expected << (live ? value : " (" + value + " )");
        }
        EXPECT_EQ (log.events, expected);
    }
}
