// The presets folder, its "MIDI" listing and the program-change lookup.
#include <gtest/gtest.h>

#include "../plugin/StateTestHelpers.h"

using namespace calyth::test;

TEST (PresetsManager, FolderAndPattern)
{
    const juce::String home (std::getenv ("HOME"));
    EXPECT_EQ (kelm::PresetsManager::presetsFolderPath(), home + "/Library/Audio/Presets/Kelmor_Vantage/Calyth");
    EXPECT_EQ (kelm::PresetsManager::wildcardForfileChooser(), juce::String ("*.cpst"));
    EXPECT_EQ (kelm::PresetsManager::wildcardForfileChooser(), juce::String ("*.cpst"));
}

TEST (PresetsManager, ConstructionMakesTheFoldersAndListsMidiPresets)
{
    const juce::File presets (kelm::PresetsManager::presetsFolderPath());
    presets.deleteRecursively();

    {
        CalythAudioProcessor processor;
        EXPECT_TRUE (presets.isDirectory());
        EXPECT_TRUE (midiPresetsFolder().isDirectory());
        EXPECT_TRUE (processor.midiPresetFiles.isEmpty());
        EXPECT_EQ (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (processor.midiPresetFiles, 0), juce::File());
    }

    ScopedFiles files;
    const auto midi = midiPresetsFolder();
    for (auto name : { "b.cpst", "a10.cpst", "a2.cpst", "notes.txt", "sub/deep.cpst", ".hidden.cpst" })
        files.write (midi.getChildFile (name), "<Calyth/>");
    files.folder (midi.getChildFile ("folder.cpst"));

    CalythAudioProcessor processor;
    const auto& names = processor.midiPresetFiles;
    ASSERT_EQ (names.size(), 4) << names.joinIntoString (",");
    EXPECT_TRUE (names.contains (".hidden.cpst"));
    EXPECT_LT (names.indexOf ("a2.cpst"), names.indexOf ("a10.cpst"));
    EXPECT_LT (names.indexOf ("a10.cpst"), names.indexOf ("b.cpst"));

    const auto a2 = names.indexOf ("a2.cpst");
    EXPECT_EQ (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (names, a2), midi.getChildFile ("a2.cpst"));
    for (int program : { -1, 4, 5, 127 })
        EXPECT_EQ (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (names, program).getFullPathName(), juce::String());
}
