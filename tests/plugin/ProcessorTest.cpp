// The processor's identity, buses and settings file.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

TEST (Processor, WhatTheHostAsks)
{
    std::unique_ptr<juce::AudioProcessor> made (createPluginFilter());
    auto* processor = dynamic_cast<CalythAudioProcessor*> (made.get());
    ASSERT_NE (processor, nullptr);
    EXPECT_TRUE (processor->getName() == "Calyth" && processor->acceptsMidi() && ! processor->producesMidi()
                 && ! processor->supportsDoublePrecisionProcessing() && processor->getTailLengthSeconds() == 0.0);
    // One stereo bus each way, off until the host's wrapper enables every bus.
    EXPECT_EQ (processor->getBus (true, 0)->getName() + " " + processor->getBus (false, 0)->getName(), "Input Output");
    EXPECT_EQ (std::tuple (processor->getBusCount (true), processor->getBusCount (false), processor->getTotalNumInputChannels()), std::tuple (1, 1, 0));
    processor->enableAllBuses();
    EXPECT_EQ (std::pair (processor->getTotalNumInputChannels(), processor->getTotalNumOutputChannels()), std::pair (2, 2));

    EXPECT_TRUE (processor->getNumPrograms() == 1 && processor->currentPresetName.get() == "INIT" && processor->currentPresetPath.get().isEmpty());
}

TEST (Processor, SettingsFileIsReadButNotWrittenByConstruction)
{
    const auto settings = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    EXPECT_EQ (settings.getRelativePathFrom (calyth::test::homeFolder()), juce::String ("Kelmor_Vantage/Calyth.prefs"));
    {
        CalythAudioProcessor processor;
        EXPECT_EQ (processor.settingsFile->getFile(), settings);
    }
    EXPECT_FALSE (settings.exists());

    juce::PropertiesFile (CalythAudioProcessor::makeSettingsFileOptions()).setValue ("width", 720); // saved when it goes
    CalythAudioProcessor processor;
    EXPECT_EQ (processor.settingsFile->getIntValue (processor.widthKey), 720);
}
