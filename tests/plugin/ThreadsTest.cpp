// Blocks on one thread while others regenerate, edit records, move parameters and poll published values.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EngineTestHelpers.h"

TEST (Threads, BlocksWhileSettingsAndParametersChange)
{
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);

    std::atomic<bool> audioDone { false }, allFinite { true };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        for (int block = 0; block < 150; ++block)
        {
            calyth::test::fillWithSines (buffer, block * 512);
            processor.processBlock (buffer, midi);
            if (! calyth::test::allFinite (buffer))
                allFinite = false;
        }
        audioDone = true;
    });

    // The editor's timers: published values only.
    std::thread poller ([&]
    {
        float sink = 0.0f;
        while (! audioDone)
        {
            sink += processor.rmsLevel.load() + processor.trajectoryX.load() + processor.trajectoryY.load()
                    + processor.trajectoryXLow.load() + processor.trajectoryXHigh.load()
                    + processor.trajectoryYLow.load() + processor.trajectoryYHigh.load();
            std::this_thread::yield();
        }
        EXPECT_TRUE (std::isfinite (sink));
    });

    // The message thread: regenerate buttons, engine editor edits, pad and trajectory randomiser.
    juce::Random random (3);
    for (int round = 0; ! audioDone; ++round)
    {
        switch (round % 6)
        {
            case 0: processor.regenerateWorld(); break;
            case 1: processor.regeneratePole (round % 4); break;
            case 2: processor.trajectoryRandomizer.randomizeGroup (0); break;
            default: break;
        }

        auto& grain = *processor.granulizerParameters[round % 4]->getUnchecked ((round / 4) % 2);
        grain.density = round % 65;
        grain.envelope = round % 3;
        grain.size = 441.0f + 100.0f * (float) (round % 200);
        grain.gain = random.nextFloat();
        grain.freeze = round % 5 == 0;
        processor.resonatorParameters[round % 4]->getUnchecked (round % 2)->freq = 80.0f + 880.0f * random.nextFloat();
        processor.diffuserParameters[round % 2]->damp = random.nextFloat();

        for (auto* id : { "x_pos", "y_pos", "dry_wet", "out_gain", "pole_b_diff" })
            processor.parameterTree.getParameter (id)->setValueNotifyingHost (random.nextFloat());
        processor.parameterTree.getParameter ("trajectory")->setValueNotifyingHost ((round / 50) % 2 == 0 ? 0.0f : 1.0f);
        processor.parameterTree.getParameter ("stereo_link_a")->setValueNotifyingHost ((round / 30) % 2 == 0 ? 0.0f : 1.0f);

        std::this_thread::yield();
    }

    audio.join();
    poller.join();
    EXPECT_TRUE (allFinite.load());
}
