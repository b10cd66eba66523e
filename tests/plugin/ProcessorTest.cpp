// The processor's identity, buses, program answers and settings file.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

TEST (Processor, WhatTheHostAsks)
{
    std::unique_ptr<juce::AudioProcessor> made (createPluginFilter());
    auto* processor = dynamic_cast<CalythAudioProcessor*> (made.get());
    ASSERT_NE (processor, nullptr);
    EXPECT_EQ (processor->getName(), juce::String ("Calyth"));
    EXPECT_TRUE (processor->acceptsMidi() && ! processor->producesMidi() && ! processor->supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor->getTailLengthSeconds(), 0.0);

    for (bool isInput : { true, false })
    {
        ASSERT_EQ (processor->getBusCount (isInput), 1);
        const auto* bus = processor->getBus (isInput, 0);
        EXPECT_EQ (bus->getName(), juce::String (isInput ? "Input" : "Output"));
        EXPECT_TRUE (bus->getDefaultLayout() == juce::AudioChannelSet::stereo() && ! bus->isEnabledByDefault());
    }
    // The host's wrapper enables every bus: two inputs and two outputs.
    processor->enableAllBuses();
    EXPECT_EQ (std::pair (processor->getTotalNumInputChannels(), processor->getTotalNumOutputChannels()), std::pair (2, 2));

    // One program, whatever is asked or set.
    processor->setCurrentProgram (5);
    processor->changeProgramName (0, "Something");
    EXPECT_EQ (std::pair (processor->getNumPrograms(), processor->getCurrentProgram()), std::pair (1, 0));
    for (int i : { -1, 0, 1, 127 })
        EXPECT_TRUE (processor->getProgramName (i).isEmpty());
    EXPECT_TRUE (processor->currentPresetName.get() == "INIT" && processor->currentPresetPath.get().isEmpty());
}

TEST (Processor, SettingsFileIsReadButNotWrittenByConstruction)
{
    const auto settings = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    EXPECT_TRUE (settings.isAChildOf (calyth::test::homeFolder())) << settings.getFullPathName();
    EXPECT_EQ (settings.getParentDirectory().getFileName() + "/" + settings.getFileName(), juce::String ("Kelmor_Vantage/Calyth.prefs"));
    {
        CalythAudioProcessor processor;
        EXPECT_EQ (processor.settingsFile->getFile(), settings);
    }
    EXPECT_FALSE (settings.exists());

    {
        juce::PropertiesFile file (CalythAudioProcessor::makeSettingsFileOptions());
        file.setValue ("width", 720);
        ASSERT_TRUE (file.saveIfNeeded());
    }
    CalythAudioProcessor processor;
    EXPECT_EQ (processor.settingsFile->getIntValue (processor.widthKey), 720);
}
