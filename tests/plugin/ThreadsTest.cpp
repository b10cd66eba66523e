// Blocks on one thread while others save and restore state, edit the controller map and change programs.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, BlocksWhileStateMapAndProgramsChange)
{
    ScopedFiles files;
    files.write (midiPresetsFolder().getChildFile ("p0.cpst"),
                 "<Calyth><PARAM id=\"x_pos\" value=\"0.1\"/><Granulizer density=\"3\" pole=\"0\" channel=\"0\"/></Calyth>");
    files.write (midiPresetsFolder().getChildFile ("p1.cpst"),
                 "<Calyth><PARAM id=\"y_pos\" value=\"0.9\"/><Diffuser feed=\"0.4\" channel=\"1\"/></Calyth>");

    CalythAudioProcessor processor;
    ASSERT_EQ (processor.midiPresetFiles.size(), 2);

    CalythAudioProcessor donor;
    donor.ccMapper.lastReceivedCC = 2;
    donor.ccMapper.mapLastCCToParameter ("y_pos");
    const auto donorChunk = chunkOf (donor);

    const auto mapDocument = juce::parseXML ("<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"1\"/></Calyth_MIDI_MAP>");

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };

    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::Random random (1);

        while (running.load())
        {
            juce::MidiBuffer midi;
            for (int i = 0; i < 8; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, 1 + random.nextInt (3), random.nextInt (128)), i * 30);
            if (blocks.load() % 16 == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (3)), 100);

            buffer.clear();
            const juce::ScopedLock callbackLock (processor.getCallbackLock());
            processor.processBlock (buffer, midi);
            ++blocks;
        }
    });

    std::thread state ([&] {
        for (int i = 0; i < 60; ++i)
        {
            const auto mine = chunkOf (processor);
            applyChunk (processor, i % 2 == 0 ? donorChunk : mine);
            processor.currentPresetName = "name " + juce::String (i);
        }
    });

    std::thread editor ([&] {
        auto& mapper = processor.ccMapper;
        for (int i = 0; i < 200; ++i)
        {
            switch (i % 4)
            {
                case 0: mapper.loadMapFromXml (*mapDocument); break;
                case 1: mapper.mapLastCCToParameter ("x_pos"); break;
                case 2: mapper.clearCCMapping ("y_pos"); break;
                default: mapper.removeAllBindings(); break;
            }
            const auto name = processor.currentPresetName.get();
            juce::ignoreUnused (name);
        }
    });

    std::thread presets ([&] {
        for (int i = 0; i < 40; ++i)
            processor.loadPresetFromFile (midiPresetsFolder().getChildFile (i % 2 == 0 ? "p0.cpst" : "p1.cpst"));
    });

    state.join();
    editor.join();
    presets.join();

    // Let the audio thread see the final map at least once more.
    const int seen = blocks.load();
    while (blocks.load() < seen + 3)
        std::this_thread::yield();
    running = false;
    audio.join();

    EXPECT_GT (blocks.load(), 3);

    // Every writer left a whole, readable state behind.
    const auto xml = documentOf (chunkOf (processor));
    ASSERT_NE (xml, nullptr);
    EXPECT_NE (xml->getChildByName ("Metadata"), nullptr);
}
