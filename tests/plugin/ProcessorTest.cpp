// The processor's identity, buses, settings file, and what the reference model leaves out of the audio callback:
// channel layouts, and blocks longer than prepared or before any preparation.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

TEST (Processor, WhatTheHostAsksTheSettingsFileChannelLayoutsAndBlockLengths)
{
    // Its name, MIDI in for programs and controllers, and one stereo bus each way, off until the host's wrapper enables it.
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    ASSERT_NE (dynamic_cast<CalythAudioProcessor*> (processor.get()), nullptr);
    EXPECT_TRUE (processor->getName() == "Calyth" && processor->acceptsMidi() && ! processor->producesMidi() && processor->getTotalNumInputChannels() == 0);
    EXPECT_EQ (processor->getBus (true, 0)->getName() + " " + processor->getBus (false, 0)->getName(), "Input Output");
    processor->enableAllBuses();
    EXPECT_EQ (std::pair (processor->getTotalNumInputChannels(), processor->getTotalNumOutputChannels()), std::pair (2, 2));

    // The settings file is read (from where the options say) but not written by construction.
    const auto settings = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    EXPECT_EQ (settings.getRelativePathFrom (calyth::test::homeFolder()), juce::String ("Kelmor_Vantage/Calyth.prefs"));
    EXPECT_FALSE (settings.exists());

    juce::PropertiesFile (CalythAudioProcessor::makeSettingsFileOptions()).setValue ("width", 720); // saved when it goes
    CalythAudioProcessor calyth;
    EXPECT_EQ (calyth.settingsFile->getIntValue (calyth.widthKey), 720);

    // Written in the framework's form, whole or not at all.
    const juce::String header ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<PROPERTIES>\r\n  <VALUE name=\"width\" val=\"720\"/>\r\n");
    calyth.settingsFile->setValue (calyth.heightKey, 500);
    {
        const calyth::test::FileSizeLimit fullDisk (50);
        EXPECT_FALSE (calyth.settingsFile->saveIfNeeded());
    }
    EXPECT_EQ (settings.loadFileAsString(), header + "</PROPERTIES>\r\n");
    EXPECT_TRUE (calyth.settingsFile->saveIfNeeded());
    EXPECT_EQ (settings.loadFileAsString(), header + "  <VALUE name=\"height\" val=\"500\"/>\r\n</PROPERTIES>\r\n");

    // A document nested 100,000 deep or 50,000 values in its place count as no file (a pipe: the editor shell's test).
    for (const auto& body : { juce::String::repeatedString ("<a>", 100000) + juce::String::repeatedString ("</a>", 100000),
                              juce::String::repeatedString ("<VALUE name=\"k\" val=\"1\"/>", 50000) })
    {
        settings.replaceWithText ("<PROPERTIES>" + body + "</PROPERTIES>");
        EXPECT_EQ (CalythAudioProcessor().settingsFile->getAllProperties().size(), 0);
    }
    settings.deleteFile();

    // Channels beyond the inputs, or beyond the engines' two, come out silent; the rest are mixed with the silent wet
    // path at P (t) for m = 0.5. Blocks longer than prepared, or before any preparation, go in stretches that fit the buffers.
    constexpr float halfMix = 0.70770812f;
    using Set = juce::AudioChannelSet;
    const struct { Set in, out; int processed, prepared; } cases[] = {
        { Set::mono(), Set::stereo(), 1, 64 }, { Set::discreteChannels (4), Set::discreteChannels (4), 2, 0 },
        { Set::disabled(), Set::stereo(), 0, 64 }, { Set::stereo(), Set::stereo(), 2, -1 }, { Set::stereo(), Set::stereo(), 2, 0 }
    };
    for (const auto& c : cases)
    {
        CalythAudioProcessor layouts; // no grains: the wet path is silent
        for (auto* pole : layouts.granulizerParameters)
            for (auto* record : *pole)
                record->density = 0;
        ASSERT_TRUE (layouts.setBusesLayout ({ { c.in }, { c.out } }));
        if (c.prepared >= 0)
            layouts.prepareToPlay (44100.0, c.prepared);
        for (const int length : { 1000, 2000, 0, 1, 97 })
        {
            juce::AudioBuffer<float> buffer (c.out.size(), length), input (c.out.size(), length);
            juce::MidiBuffer midi;
            for (int ch = 0; ch < c.out.size(); ++ch)
                for (int i = 0; i < length; ++i)
                    buffer.setSample (ch, i, 0.5f * std::sin ((float) i * (0.03f + 0.011f * (float) ch)));
            input.makeCopyOf (buffer);
            layouts.processBlock (buffer, midi);
            for (int ch = 0; ch < c.out.size(); ++ch)
                for (int i = 0; i < length; ++i)
                    ASSERT_FLOAT_EQ (buffer.getSample (ch, i), ch < c.processed ? halfMix * input.getSample (ch, i) : 0.0f) << ch << " " << i;
        }
    }
}
