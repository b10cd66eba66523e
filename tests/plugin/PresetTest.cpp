// Preset files, the presets folder with its "MIDI" listing, and recall by MIDI program change.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

using namespace calyth::test;

TEST (PresetFile, SavedFormLoadingTheFoldersAndProgramChanges)
{
    CalythAudioProcessor source, target;
    grain (source, 2, 1).speed = 1.75f;
    setParameter (source, "dry_wet", 0.3f);
    const auto file = writeFile (homeFolder().getChildFile ("My Sound.cpst"), {});
    ASSERT_TRUE (source.savePresetToFile (file));
    // Declaration, the one-space line, then the element over several lines; no name, no map.
    EXPECT_TRUE (file.loadFileAsString().startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n<Calyth>\r\n  <PARAM id=\"dry_wet\""));
    EXPECT_EQ (juce::parseXML (file)->getNumChildElements(), 36);
    // Loading keeps the bindings; an unreadable file changes nothing, name included.
    target.ccMapper.mapLastCCToParameter ("x_pos");
    ASSERT_TRUE (target.loadPresetFromFile (file));
    EXPECT_FALSE (target.loadPresetFromFile (writeFile (homeFolder().getChildFile ("broken.cpst"), "<Calyth><Granulizer")));
    EXPECT_EQ (juce::String (grain (target, 2, 1).speed.load()) + " " + juce::String (parameterValue (target, "dry_wet")) + " "
                   + juce::String (target.ccMapper.ccMap.getNumChildren()) + " " + target.currentPresetName.get(), juce::String ("1.75 0.3 1 My Sound"));
    // A save that cannot write every byte (a full disk) keeps the old file, leaves no other, keeps the name, and says so.
    const auto kept = writeFile (homeFolder().getChildFile ("kept.cpst"), "<Calyth/>");
    const int numFiles = homeFolder().getNumberOfChildFiles (juce::File::findFiles);
    {
        const FileSizeLimit fullDisk (100);
        EXPECT_FALSE (target.savePresetToFile (kept));
    }
    EXPECT_EQ (kept.loadFileAsString() + " " + target.currentPresetName.get() + " " + juce::String (homeFolder().getNumberOfChildFiles (juce::File::findFiles) - numFiles),
               "<Calyth/> My Sound 0");

    EXPECT_EQ (kelm::PresetsManager::presetsFolderPath() + " " + kelm::PresetsManager::wildcardForfileChooser(),
               juce::String (std::getenv ("HOME")) + "/Library/Audio/Presets/Kelmor_Vantage/Calyth *.cpst");
    // Missing folders are made by the processor; an empty "MIDI" folder selects nothing.
    juce::File (kelm::PresetsManager::presetsFolderPath()).deleteRecursively();
    EXPECT_TRUE (CalythAudioProcessor().midiPresetFiles.isEmpty() && midiPresetsFolder().isDirectory());
    // Files only, in natural order, not from subfolders (even one named like a preset).
    for (auto name : { "b.cpst", "a10.cpst", "a2.cpst", "notes.txt", "folder.cpst/deep.cpst" })
        writeFile (midiPresetsFolder().getChildFile (name), "<Calyth/>");
    const auto listing = CalythAudioProcessor().midiPresetFiles;
    EXPECT_EQ (listing, (juce::StringArray { "a2.cpst", "a10.cpst", "b.cpst" }));
    for (int program : { -1, 0, 3, 127 })
        EXPECT_EQ (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (listing, program),
                   program == 0 ? midiPresetsFolder().getChildFile ("a2.cpst") : juce::File());
    // A name starting with '~' stays in the folder; the framework would read it as a path of its own.
    EXPECT_EQ (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange ({ "~m.cpst" }, 0).getFullPathName(), midiPresetsFolder().getFullPathName() + "/~m.cpst");

    // A program change loads in the block without an editor and only flags the number with one.
    const auto warm = writeFile (midiPresetsFolder().getChildFile ("1 Warm.cpst"), "<Calyth><PARAM id=\"x_pos\" value=\"0.2\"/><PARAM id=\"y_pos\" value=\"0.9\"/>"
                                                                                     "<Granulizer density=\"3\" size=\"50\" pole=\"0\" channel=\"0\"/></Calyth>");
    writeFile (midiPresetsFolder().getChildFile ("2 Cold.cpst"), "<Calyth><Granulizer density=\"4\" pole=\"0\" channel=\"0\"/></Calyth>");
    CalythAudioProcessor processor, withEditor; // the second with its window open
    std::unique_ptr<juce::AudioProcessorEditor> editor (withEditor.createEditorIfNeeded());
    processor.ccMapper.loadMapFromXml (*juce::parseXML ("<Calyth_MIDI_MAP><y_pos cc=\"20\"/></Calyth_MIDI_MAP>"));
    // The last of two program changes wins; the preset loads in the block, with the block's controller on top.
    juce::MidiBuffer midi (juce::MidiMessage::controllerEvent (1, 20, 0));
    midi.addEvent (juce::MidiMessage::programChange (1, 1), 10);
    midi.addEvent (juce::MidiMessage::programChange (5, 0), 20);
    ASSERT_TRUE (runBlock (processor, midi));
    EXPECT_EQ (std::tuple (processor.lastProgramNumber.load(), processor.currentPresetName.get(), processor.currentPresetPath.get(), grain (processor, 0, 0).density.load(),
                           grain (processor, 0, 0).size.load(), parameterValue (processor, "x_pos"), parameterValue (processor, "y_pos")),
               std::tuple (0, juce::String ("1 Warm"), warm.getFullPathName(), 3, 2205.0f, 0.2f, 0.0f)); // 50 ms
    // With an editor open the block only flags the number; the editor loads it.
    runBlock (withEditor, juce::MidiBuffer (juce::MidiMessage::programChange (16, 1)));
    EXPECT_TRUE (withEditor.lastProgramNumber.load() == 1 && withEditor.programChangePending.load() && withEditor.currentPresetName.get() == "INIT"
                 && grain (withEditor, 0, 0).density.load() == 8);
    withEditor.editorBeingDeleted (editor.get());
}
