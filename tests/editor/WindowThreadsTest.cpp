// The window's actions on the message thread while the audio thread runs blocks and another thread trades chunks.
#include <gtest/gtest.h>

#include "WindowTestHelpers.h"
#include "editor/PluginEditor.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, WindowActionsWhileBlocksAndChunksRun)
{
    ScopedFiles files;
    writePreset (files, "one", 0.1f, "<Granulizer density=\"3\" pole=\"0\" channel=\"0\"/><Diffuser feed=\"0.4\" channel=\"1\"/>");
    writePreset (files, "two", 0.2f, "<Resonator freq=\"300\" pole=\"2\" channel=\"1\"/>");
    files.write (midiPresetsFolder().getChildFile ("p0.cpst"), "<Calyth><PARAM id=\"y_pos\" value=\"0.3\"/></Calyth>");
    const auto map = files.write (homeFolder().getChildFile ("threads.mpcc"), "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><dry_wet cc=\"2\"/></Calyth_MIDI_MAP>");
    CalythAudioProcessor processor;
    processor.midiPresetFiles = kelm::PresetsManager::listMidiPresetFiles();
    // With an editor open the audio thread only flags program changes; the window's timer loads them.
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& main = static_cast<CalythAudioProcessorEditor&> (*editor).mainComponent;
    main.chooseFile = [&] (juce::FileChooser&, int) { return map; };

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    std::thread audio ([&] {
        juce::Random random (3);
        while (running)
        {
            juce::MidiBuffer midi;
            for (int i = 0; i < 6; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, 1 + random.nextInt (2), random.nextInt (128)), i * 40);
            if (blocks % 8 == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, 0), 250);
            const juce::ScopedLock lock (processor.getCallbackLock());
            runBlock (processor, midi);
            ++blocks;
        }
    });
    std::thread host ([&] {
        for (int i = 0; i < 80; ++i)
            applyChunk (processor, chunkOf (processor));
    });

    const auto names = main.createPresetNamesArray();
    for (int i = 0; i < 120; ++i)
    {
        main.loadPreset (names, i % 2);
        main.settingsMenuChosen (i % 3 == 0 ? MainComponent::clearMidiMapItem : MainComponent::loadMidiMapItem);
        main.timerCallback();
        if (i % 10 == 0)
            main.buttonClicked (main.regeneratePoleButtons[i % 4].get());
    }

    host.join();
    while (blocks < 50)
        std::this_thread::yield();
    running = false;
    audio.join();
    main.timerCallback();
    processor.editorBeingDeleted (editor.get());
    editor.reset();
    EXPECT_FALSE (processor.programChangePending.load());
    EXPECT_NE (documentOf (chunkOf (processor)), nullptr);
}
