// The presets folder, its "MIDI" listing and the program-change lookup.
#include <gtest/gtest.h>

#include "../plugin/StateTestHelpers.h"

using namespace calyth::test;

TEST (PresetsManager, FolderListingAndLookup)
{
    EXPECT_EQ (kelm::PresetsManager::presetsFolderPath(), juce::String (std::getenv ("HOME")) + "/Library/Audio/Presets/Kelmor_Vantage/Calyth");
    EXPECT_EQ (kelm::PresetsManager::wildcardForfileChooser(), juce::String ("*.cpst"));

    // Missing folders are made by the processor; an empty "MIDI" folder selects nothing.
    juce::File (kelm::PresetsManager::presetsFolderPath()).deleteRecursively();
    {
        CalythAudioProcessor processor;
        EXPECT_TRUE (midiPresetsFolder().isDirectory());
        EXPECT_TRUE (processor.midiPresetFiles.isEmpty());
    }

    ScopedFiles files;
    const auto midi = midiPresetsFolder();
    for (auto name : { "b.cpst", "a10.cpst", "a2.cpst", "notes.txt", "sub/deep.cpst" })
        files.write (midi.getChildFile (name), "<Calyth/>");
    files.folder (midi.getChildFile ("folder.cpst"));

    CalythAudioProcessor processor;
    EXPECT_EQ (processor.midiPresetFiles, (juce::StringArray { "a2.cpst", "a10.cpst", "b.cpst" }));
    using kelm::ProgramChangeManager;
    EXPECT_EQ (ProgramChangeManager::getPresetFileForMIDIProgramChange (processor.midiPresetFiles, 0), midi.getChildFile ("a2.cpst"));
    for (int program : { -1, 3, 127 })
        EXPECT_EQ (ProgramChangeManager::getPresetFileForMIDIProgramChange (processor.midiPresetFiles, program).getFullPathName(), juce::String());
}
