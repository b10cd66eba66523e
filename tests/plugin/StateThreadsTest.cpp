// Blocks with program changes on one thread while others save and restore state, edit and load the controller map.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, BlocksWhileStateMapAndProgramsChange)
{
    ScopedFiles files;
    files.write (midiPresetsFolder().getChildFile ("p0.cpst"), "<Calyth><PARAM id=\"x_pos\" value=\"0.1\"/><Granulizer density=\"3\" pole=\"0\" channel=\"0\"/></Calyth>");
    CalythAudioProcessor processor;
    const auto other = chunkFromText ("<Calyth><PARAM id=\"y_pos\" value=\"0.7\"/><Calyth_MIDI_MAP><y_pos cc=\"2\"/></Calyth_MIDI_MAP></Calyth>");
    const auto map = juce::parseXML ("<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"1\"/></Calyth_MIDI_MAP>");
    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    // The host's audio thread: controllers every block, a program change (loading a preset) every 16th, under the callback lock.
    std::thread audio ([&] {
        juce::Random random (1);
        while (running)
        {
            juce::MidiBuffer midi;
            for (int i = 0; i < 8; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, 1 + random.nextInt (3), random.nextInt (128)), i * 30);
            if (blocks % 16 == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (2)), 100);
            const juce::ScopedLock lock (processor.getCallbackLock());
            runBlock (processor, midi);
            ++blocks;
        }
    });
    std::thread state ([&] {
        for (int i = 0; i < 60; ++i)
        {
            applyChunk (processor, i % 2 == 0 ? other : chunkOf (processor));
            processor.currentPresetName = "name " + juce::String (i);
        }
    });
    std::thread editor ([&] {
        for (int i = 0; i < 200; ++i)
        {
            if (i % 4 == 0) processor.ccMapper.loadMapFromXml (*map);
            if (i % 4 == 1) processor.ccMapper.mapLastCCToParameter ("x_pos");
            if (i % 4 == 2) processor.ccMapper.clearCCMapping ("y_pos");
            if (i % 4 == 3) processor.ccMapper.removeAllBindings();
        }
    });

    state.join();
    editor.join();
    while (blocks < 100)
        std::this_thread::yield();
    running = false;
    audio.join();
    // Nothing is left suspended or half-applied: a last chunk is read whole and the blocks go on.
    applyChunk (processor, other);
    EXPECT_FALSE (processor.isSuspended());
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.7f);
    EXPECT_EQ (processor.ccMapper.ccMap.getChildWithName ("y_pos").getProperty ("cc").toString(), "2");
    EXPECT_TRUE (runBlock (processor));
}
