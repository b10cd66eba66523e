// Blocks of bad samples, controllers and program changes on the host's audio thread while other threads redraw and
// edit every setting, save and restore state, and edit and load the controller map.
#include <gtest/gtest.h>

#include "AllocationCounting.h"
#include "StateTestHelpers.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, BlocksAllocateNothingWhileStateMapProgramsAndSettingsChange)
{
    writeFile (midiPresetsFolder().getChildFile ("p0.cpst"), "<Calyth><PARAM id=\"x_pos\" value=\"0.1\"/><Granulizer density=\"3\" pole=\"0\" channel=\"0\"/></Calyth>");
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);
    const auto other = chunkFromText ("<Calyth><PARAM id=\"y_pos\" value=\"0.7\"/><Calyth_MIDI_MAP><y_pos cc=\"2\"/></Calyth_MIDI_MAP></Calyth>");
    const auto map = juce::parseXML ("<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"1\"/></Calyth_MIDI_MAP>");
    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    bool finite = true; // read after the join

    // The host's audio thread, under the callback lock: controllers every block, now and then a block longer than
    // prepared or of bad samples, and every 16th a program change, whose preset load is the one block that may allocate.
    std::thread audio ([&] {
        juce::Random random (1);
        juce::AudioBuffer<float> buffer (2, 2000);
        for (int block = 0; running || block < 300; ++block)
        {
            juce::MidiBuffer midi;
            for (int i = 0; i < 8; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, 1 + random.nextInt (3), random.nextInt (128)), i * 30);
            if (block % 16 == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (2)), 100);
            buffer.setSize (2, block % 50 == 49 ? 2000 : 512, false, false, true);
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                for (int ch = 0; ch < 2; ++ch)
                    buffer.setSample (ch, i, (block % 7 == 6 ? 1.0e30f : 0.5f) * std::sin ((float) (block * 512 + i) * (0.03f + 0.011f * (float) ch)));
            buffer.setSample (block % 2, 3, block % 3 == 0 ? NAN : (block % 3 == 1 ? INFINITY : -INFINITY));
            const juce::ScopedLock lock (processor.getCallbackLock());
            counting = block % 16 != 0;
            processor.processBlock (buffer, midi);
            counting = false;
            finite = finite && std::isfinite (processor.rmsLevel.load());
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                finite = finite && std::isfinite (buffer.getSample (0, i)) && std::isfinite (buffer.getSample (1, i));
            ++blocks;
        }
    });
    // The host's and the editor's message thread: state saved and restored, the preset name and the map edited.
    std::thread messages ([&] {
        for (int i = 0; i < 300; ++i)
        {
            if (i % 5 == 0) applyChunk (processor, i % 10 == 0 ? other : chunkOf (processor));
            if (i % 5 == 1) processor.ccMapper.loadMapFromXml (*map);
            if (i % 5 == 2) processor.ccMapper.mapLastCCToParameter ("x_pos");
            if (i % 5 == 3) processor.ccMapper.clearCCMapping ("y_pos");
            if (i % 5 == 4) processor.ccMapper.removeAllBindings();
            processor.currentPresetName = "name " + juce::String (i);
        }
    });

    // Regenerate buttons, the trajectory randomiser, engine editor edits, the pad and the switches.
    juce::Random random (3);
    for (int round = 0; blocks < 300; ++round)
    {
        if (round % 3 == 0)
            processor.regenerateWorld();
        processor.regeneratePole (round % 4);
        processor.trajectoryRandomizer.randomizeGroup (0);
        grain (processor, round % 4, (round / 4) % 2) = { round % 65, round % 3, 441.0f + 100.0f * (float) (round % 200), 1.0f, 0.0f, 0.0f, 0.0f,
                                                          random.nextFloat(), round % 5 == 0 };
        processor.resonatorParameters[round % 4]->getUnchecked (round % 2)->freq = 80.0f + 880.0f * random.nextFloat();
        processor.diffuserParameters[round % 2]->feedback = random.nextFloat();
        for (auto* id : { "x_pos", "y_pos", "dry_wet", "in_gain", "out_gain", "pole_b_diff", "trajectory", "stereo_link_a" })
            setParameter (processor, id, random.nextFloat());
        std::this_thread::yield();
    }
    messages.join();
    running = false;
    audio.join();
    EXPECT_TRUE (finite);
    EXPECT_EQ (allocations.load(), 0);

    // Nothing is left suspended or half-applied: a last chunk is read whole and the blocks go on.
    applyChunk (processor, other);
    EXPECT_FALSE (processor.isSuspended());
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.7f);
    EXPECT_EQ (processor.ccMapper.ccMap.getChildWithName ("y_pos").getProperty ("cc").toString(), "2");
    EXPECT_TRUE (runBlock (processor));
}
