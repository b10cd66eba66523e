// Blocks on an audio thread while the message thread moves panel knobs, refreshes panels and ticks and drives the pad.
#include "EditorTestHelpers.h"
#include "editor/CalythPad.h"
#include "editor/PoleEditor.h"

#include <atomic>
#include <thread>

using namespace calyth::test;

TEST (Threads, BlocksWhilePanelsAndPadWork)
{
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);
    CalythPad pad (processor);
    pad.setSize (284, 284);
    juce::OwnedArray<PoleEditor> panels;
    for (int pole = 0; pole < 4; ++pole)
        panels.add (new PoleEditor (processor, pole))->setSize (476, 236);
    setParameter (processor, "trajectory", 1);

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    bool finite = true; // read after the join
    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        while (running)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 512; ++i)
                    buffer.setSample (ch, i, 0.5f * std::sin (0.01f * (float) (i + 512 * blocks)));
            midi.clear();
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 20, blocks % 128), 0);
            processor.processBlock (buffer, midi);
            finite = finite && std::isfinite (buffer.getSample (0, 100)) && std::isfinite (buffer.getSample (1, 100));
            ++blocks;
        }
    });

    juce::Random random (5);
    for (int round = 0; round < 120 || blocks < 50; ++round)
    {
        auto& panel = *panels[round % 4];
        auto& knobs = round % 2 == 0 ? panel.leftGrainKnobs : panel.rightResonatorKnobs;
        knobs[round % knobs.size()]->setValue (random.nextDouble(), juce::sendNotificationSync);
        panel.diffusionControls.leftDepthKnob->setValue (random.nextDouble(), juce::sendNotificationSync);
        panel.diffusionControls.sendKnob->setValue (random.nextDouble(), juce::sendNotificationSync);
        panels[(round + 1) % 4]->update_values();

        pad.mouseDrag (mouseAt (pad, { random.nextInt (300), random.nextInt (300) }));
        if (round % 50 == 0)
            pad.performControllerMenuItem (1 + (round / 50) % 4);
        pad.timerCallback();
        paintAt (pad);
        if (round % 20 == 0)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5); // the pad's own timer and the parameter tree's
    }
    running = false;
    audio.join();
    EXPECT_TRUE (finite);
}
