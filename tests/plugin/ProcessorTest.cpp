// The processor's identity, buses, program answers and settings file.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

TEST (Processor, IdentityAndMidi)
{
    CalythAudioProcessor processor;
    EXPECT_EQ (processor.getName(), juce::String ("Calyth"));
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.parameterTree.state.getType().toString(), juce::String ("Calyth"));
}

TEST (Processor, StereoBuses)
{
    CalythAudioProcessor processor;
    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), juce::String ("Input"));
    EXPECT_EQ (processor.getBus (false, 0)->getName(), juce::String ("Output"));
    EXPECT_EQ (processor.getBus (true, 0)->getDefaultLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getDefaultLayout(), juce::AudioChannelSet::stereo());
    EXPECT_FALSE (processor.getBus (true, 0)->isEnabledByDefault());
    EXPECT_FALSE (processor.getBus (false, 0)->isEnabledByDefault());

    // The host's wrapper enables every bus: two inputs and two outputs.
    processor.enableAllBuses();
    EXPECT_EQ (processor.getTotalNumInputChannels(), 2);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2);
}

TEST (Processor, OneProgramWhateverIsAsked)
{
    CalythAudioProcessor processor;
    for (int round = 0; round < 2; ++round)
    {
        EXPECT_EQ (processor.getNumPrograms(), 1);
        EXPECT_EQ (processor.getCurrentProgram(), 0);
        for (int i : { -1, 0, 1, 127 })
            EXPECT_TRUE (processor.getProgramName (i).isEmpty());

        processor.setCurrentProgram (5);
        processor.setCurrentProgram (-3);
        processor.changeProgramName (0, "Something");
        processor.changeProgramName (9, "Else");
    }
}

TEST (Processor, StartingValues)
{
    CalythAudioProcessor processor;
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("INIT"));
    EXPECT_TRUE (processor.currentPresetPath.get().isEmpty());
    EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
    EXPECT_FALSE (processor.programChangePending.load());
    EXPECT_EQ (processor.lastProgramNumber.load(), 0);
    EXPECT_EQ (processor.sampleRate, 44100.0);
    EXPECT_EQ (processor.trajectoryInterval, 256);
    EXPECT_EQ (processor.dryBuffer.getNumChannels(), 2);
    EXPECT_EQ (processor.dryBuffer.getNumSamples(), 512);
}

TEST (Processor, SettingsFileIsNotWrittenByConstruction)
{
    const auto home = calyth::test::homeFolder();
    const auto settings = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    EXPECT_TRUE (settings.isAChildOf (home)) << settings.getFullPathName();
    EXPECT_EQ (settings.getFileName(), juce::String ("Calyth.prefs"));
    EXPECT_EQ (settings.getParentDirectory().getFileName(), juce::String ("Kelmor_Vantage"));

    {
        CalythAudioProcessor processor;
        ASSERT_NE (processor.settingsFile, nullptr);
        EXPECT_EQ (processor.settingsFile->getFile(), settings);
        EXPECT_FALSE (processor.settingsFile->containsKey (processor.widthKey));
    }
    EXPECT_FALSE (settings.exists());
}

TEST (Processor, SettingsFileIsReadWhenPresent)
{
    const auto settings = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    {
        juce::PropertiesFile file (CalythAudioProcessor::makeSettingsFileOptions());
        file.setValue ("width", 720);
        ASSERT_TRUE (file.saveIfNeeded());
    }
    CalythAudioProcessor processor;
    EXPECT_EQ (processor.settingsFile->getIntValue (processor.widthKey), 720);
    settings.deleteFile();
}

TEST (Processor, CreatePluginFilterMakesAProcessor)
{
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    ASSERT_NE (dynamic_cast<CalythAudioProcessor*> (processor.get()), nullptr);
}
