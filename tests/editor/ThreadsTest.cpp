// The editor's work on the message thread while the audio thread runs blocks and another thread trades chunks.
#include "EditorTestHelpers.h"
#include "editor/PluginEditor.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, EditorWorkWhileBlocksAndChunksRun)
{
    writePreset ("one", 0.1f, "<Granulizer density=\"3\" pole=\"0\" channel=\"0\"/><Resonator freq=\"300\" pole=\"2\" channel=\"1\"/><Diffuser feed=\"0.4\" channel=\"1\"/>");
    writeFile (midiPresetsFolder().getChildFile ("p0.cpst"), "<Calyth><PARAM id=\"y_pos\" value=\"0.3\"/></Calyth>");
    const auto map = writeFile (homeFolder().getChildFile ("threads.mpcc"), "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><dry_wet cc=\"2\"/></Calyth_MIDI_MAP>");
    CalythAudioProcessor processor;
    processor.midiPresetFiles = kelm::PresetsManager::listMidiPresetFiles();
    setParameter (processor, "trajectory", 1);
    // With an editor open the audio thread only flags program changes; the window's timer loads them.
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& main = static_cast<CalythAudioProcessorEditor&> (*editor).mainComponent;
    main.chooseFile = [&] (juce::FileChooser&, int) { return map; };

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    std::thread audio ([&] { // controller messages for mapped parameters and a program change in every block
        juce::MidiBuffer midi;
        for (int i = 0; i < 6; ++i)
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 1 + i % 2, 20 * i), i * 40);
        midi.addEvent (juce::MidiMessage::programChange (1, 0), 250);
        for (; running; ++blocks)
        {
            const juce::ScopedLock lock (processor.getCallbackLock());
            runBlock (processor, midi);
        }
    });
    std::thread host ([&] { // chunks, and now and then a new sample rate, which the panels read
        for (int i = 0; i < 80; ++i)
        {
            applyChunk (processor, chunkOf (processor));
            if (i % 10 == 0)
            {
                const juce::ScopedLock lock (processor.getCallbackLock());
                processor.prepareToPlay (i % 20 == 0 ? 48000.0 : 44100.0, 256);
            }
        }
    });

    // Panel knobs, update_values, the pad's drags, timer and paint, MIDI map LOAD and CLEAR, preset loads, the window's timer.
    juce::Random random (5);
    juce::Image image (juce::Image::ARGB, 284, 284, true);
    for (int round = 0; round < 120 || blocks < 50; ++round)
    {
        auto& panel = *main.poleEditors[round % 4];
        auto& knobs = round % 2 == 0 ? panel.leftGrainKnobs : panel.rightResonatorKnobs;
        knobs[round % knobs.size()]->setValue (random.nextDouble(), juce::sendNotificationSync);
        panel.diffusionControls.leftDepthKnob->setValue (random.nextDouble(), juce::sendNotificationSync);
        panel.diffusionControls.sendKnob->setValue (random.nextDouble(), juce::sendNotificationSync);
        main.poleEditors[(round + 1) % 4]->update_values();

        main.pad->mouseDrag (mouseAt (*main.pad, { random.nextInt (300), random.nextInt (300) }));
        main.pad->timerCallback();
        juce::Graphics g (image);
        main.pad->paint (g);

        main.loadPreset ({ "one" }, 0);
        main.settingsMenuChosen (round % 3 == 0 ? MainComponent::clearMidiMapItem : MainComponent::loadMidiMapItem);
        main.timerCallback();
        if (round % 20 == 0)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5); // the components' own timers and the parameter tree's
    }
    host.join();
    running = false;
    audio.join();
    main.timerCallback();
    processor.editorBeingDeleted (editor.get());
    EXPECT_FALSE (processor.programChangePending.load());
}
