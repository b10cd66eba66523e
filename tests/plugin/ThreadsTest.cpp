// Blocks on one thread while others regenerate, edit records, move parameters and poll published values.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EngineTestHelpers.h"

TEST (Threads, BlocksWhileSettingsAndParametersChange)
{
    CalythAudioProcessor processor;
    calyth::test::prepare (processor, 44100.0, 512);
    std::atomic<bool> audioDone { false }, allFinite { true };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        for (int block = 0; block < 150; ++block)
        {
            calyth::test::fillWithSines (buffer, block * 512);
            processor.processBlock (buffer, midi);
            allFinite = allFinite && calyth::test::allFinite (buffer);
        }
        audioDone = true;
    });

    // The editor's timers: published values only.
    std::thread poller ([&]
    {
        for (float sink = 0.0f; ! audioDone; std::this_thread::yield())
            sink += processor.rmsLevel.load() + processor.trajectoryX.load() + processor.trajectoryY.load() + processor.trajectoryXLow.load()
                    + processor.trajectoryXHigh.load() + processor.trajectoryYLow.load() + processor.trajectoryYHigh.load();
    });

    // The message thread: regenerate buttons, randomiser, engine editor edits, pad and switches.
    juce::Random random (3);
    for (int round = 0; ! audioDone; ++round)
    {
        if (round % 6 == 0)
            processor.regenerateWorld();
        else if (round % 6 == 1)
            processor.regeneratePole (round % 4);
        else if (round % 6 == 2)
            processor.trajectoryRandomizer.randomizeGroup (0);

        auto& grain = *processor.granulizerParameters[round % 4]->getUnchecked ((round / 4) % 2);
        grain = { round % 65, round % 3, 441.0f + 100.0f * (float) (round % 200), 1.0f, 0.0f, 0.0f, 0.0f, random.nextFloat(), round % 5 == 0 };
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
