// The plug-in window: one main component shown through a uniform scale, a fixed 480:600 ratio and the stored size.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "editor/MainComponent.h"

class CalythAudioProcessor;

class CalythAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit CalythAudioProcessorEditor (CalythAudioProcessor&);
    ~CalythAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    CalythAudioProcessor& processor;
    /** One tooltip window for every open window of the process. */
    juce::SharedResourcePointer<juce::TooltipWindow> tooltipWindow;
    MainComponent mainComponent;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CalythAudioProcessorEditor)
};
