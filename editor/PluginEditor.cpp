// The plug-in window: scaling, the aspect ratio, the resize corner and the stored window size.
#include "editor/PluginEditor.h"

#include "plugin/PluginProcessor.h"

CalythAudioProcessorEditor::CalythAudioProcessorEditor (CalythAudioProcessor& processorToUse)
    : juce::AudioProcessorEditor (processorToUse), processor (processorToUse), mainComponent (processorToUse)
{
    tooltipWindow->setMillisecondsBeforeTipAppears (2000);
    addAndMakeVisible (mainComponent);
    setResizable (true, true);

    const CalythLayout layout;
    getConstrainer()->setFixedAspectRatio ((double) layout.designWidth / (double) layout.designHeight);
    getConstrainer()->setMinimumWidth (layout.designWidth / 4);

    int width = layout.designWidth, height = layout.designHeight;

    if (auto* settings = processor.settingsFile.get())
    {
        // Another instance's window may have stored a size since this processor read the file.
        settings->reload();
        const int storedWidth = settings->getIntValue (processor.widthKey, layout.designWidth);
        const int storedHeight = settings->getIntValue (processor.heightKey, layout.designHeight);

        // An edited file may break the ratio, and is then applied as stored; a size nobody could
        // see or handle (below the minimum width, or beyond ten times the design) counts as unreadable.
        if (juce::isPositiveAndNotGreaterThan (storedWidth, layout.designWidth * 10) && storedWidth >= layout.designWidth / 4
            && juce::isPositiveAndNotGreaterThan (storedHeight, layout.designHeight * 10) && storedHeight >= layout.designHeight / 4)
        {
            width = storedWidth;
            height = storedHeight;
        }
    }

    setSize (width, height);
}

CalythAudioProcessorEditor::~CalythAudioProcessorEditor()
{
    if (auto* settings = processor.settingsFile.get())
    {
        settings->setValue (processor.widthKey, getWidth());
        settings->setValue (processor.heightKey, getHeight());
        settings->saveIfNeeded();
    }
}

void CalythAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void CalythAudioProcessorEditor::resized()
{
    const CalythLayout layout;
    mainComponent.setBounds (layout.windowBounds);
    mainComponent.setTransform (juce::AffineTransform::scale ((float) getWidth() / (float) layout.designWidth));
}
