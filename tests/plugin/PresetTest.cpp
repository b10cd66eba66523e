// Preset files and their recall by MIDI program change.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

using namespace calyth::test;

namespace
{
juce::String presetText (int density, float xPos)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Calyth>\n  <PARAM id=\"x_pos\" value=\"" + juce::String (xPos) + "\"/>\n"
           "  <PARAM id=\"y_pos\" value=\"0.9\"/>\n  <Diffuser feed=\"0.45\" damp=\"0.2\" channel=\"1\"/>\n"
           "  <Granulizer density=\"" + juce::String (density) + "\" size=\"50\" pole=\"0\" channel=\"0\"/>\n</Calyth>\n";
}

void runBlock (CalythAudioProcessor& processor, juce::MidiBuffer midi)
{
    juce::AudioBuffer<float> audio (2, 256);
    audio.clear();
    processor.processBlock (audio, midi);
}

juce::MidiBuffer programChanges (std::initializer_list<std::pair<int, int>> channelAndProgram)
{
    juce::MidiBuffer midi;
    int time = 0;
    for (auto [channel, program] : channelAndProgram)
        midi.addEvent (juce::MidiMessage::programChange (channel, program), time += 10);
    return midi;
}

/** Its editor is the framework's generic one, so that a test can open it. */
struct ProcessorWithEditor : CalythAudioProcessor
{
    juce::AudioProcessorEditor* createEditor() override { return new juce::GenericAudioProcessorEditor (*this); }
    bool hasEditor() const override { return true; }
};
} // namespace

TEST (PresetFile, SavedFormAndLoading)
{
    ScopedFiles files;
    const auto folder = files.folder (homeFolder().getChildFile ("saved"));
    CalythAudioProcessor source;
    grain (source, 2, 1).speed = 1.75f;
    setParameter (source, "dry_wet", 0.3f);
    const auto file = folder.getChildFile ("My Sound.cpst");
    ASSERT_TRUE (source.savePresetToFile (file));
    EXPECT_EQ (source.currentPresetName.get() + "|" + source.currentPresetPath.get(), "My Sound|" + file.getFullPathName());

    // Declaration, the one-space line, then the element over several lines; no name, no map.
    juce::StringArray lines;
    lines.addLines (file.loadFileAsString());
    const int root = lines.indexOf ("<Calyth>");
    ASSERT_GT (root, 0);
    EXPECT_EQ (lines[0], juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_EQ (lines[root - 1], juce::String (" "));
    EXPECT_EQ (juce::parseXML (file)->getNumChildElements(), 36);

    CalythAudioProcessor target;
    target.ccMapper.mapLastCCToParameter ("x_pos");
    ASSERT_TRUE (target.loadPresetFromFile (file));
    EXPECT_EQ (grain (target, 2, 1).speed.load(), 1.75f);
    EXPECT_FLOAT_EQ (parameterValue (target, "dry_wet"), 0.3f);
    EXPECT_EQ (target.ccMapper.ccMap.getNumChildren(), 1) << "presets keep the bindings";
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("My Sound"));

    // An unreadable file changes nothing, name included.
    EXPECT_FALSE (target.loadPresetFromFile (files.write (folder.getChildFile ("broken.cpst"), "<Calyth><Granulizer")));
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("My Sound"));
}

TEST (ProgramChange, LoadsInTheBlockWithoutAnEditor)
{
    ScopedFiles files;
    const auto warm = files.write (midiPresetsFolder().getChildFile ("1 Warm.cpst"), presetText (3, 0.2f));
    files.write (midiPresetsFolder().getChildFile ("2 Cold.cpst"), presetText (4, 0.7f));
    CalythAudioProcessor processor;
    processor.ccMapper.lastReceivedCC = 20;
    processor.ccMapper.mapLastCCToParameter ("y_pos");

    // The second of two program changes wins; the block's controller lands on top of the preset.
    auto midi = programChanges ({ { 1, 1 }, { 5, 0 } });
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 20, 0), 0);
    runBlock (processor, midi);

    EXPECT_EQ (processor.lastProgramNumber.load(), 0);
    EXPECT_FALSE (processor.programChangePending.load());
    EXPECT_FALSE (processor.isSuspended());
    EXPECT_EQ (processor.currentPresetName.get() + "|" + processor.currentPresetPath.get(), "1 Warm|" + warm.getFullPathName());
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 3);
    EXPECT_EQ (grain (processor, 0, 0).size.load(), 2205.0f); // 50 ms at 44.1 kHz
    EXPECT_EQ (diffuser (processor, 1).feedback.load(), 0.45f);
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.2f);
    EXPECT_EQ (parameterValue (processor, "y_pos"), 0.0f);
    EXPECT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);

    // A number without a file, or a file removed since the listing, changes nothing but the number.
    runBlock (processor, programChanges ({ { 1, 2 } }));
    EXPECT_EQ (processor.lastProgramNumber.load(), 2);
    midiPresetsFolder().getChildFile ("2 Cold.cpst").deleteFile();
    runBlock (processor, programChanges ({ { 1, 1 } }));
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("1 Warm"));
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 3);

    // Random bytes with program-change status keep the number within MIDI's range.
    juce::Random random (11);
    juce::MidiBuffer garbage;
    for (int i = 0; i < 3000; ++i)
    {
        juce::uint8 bytes[4];
        random.fillBitsRandomly (bytes, sizeof (bytes));
        bytes[0] = (juce::uint8) (i % 2 == 0 ? 0xc0 | (bytes[0] & 0x0f) : bytes[0]);
        garbage.addEvent (bytes, 1 + random.nextInt (4), i % 256);
    }
    runBlock (processor, garbage);
    EXPECT_TRUE (processor.lastProgramNumber.load() >= 0 && processor.lastProgramNumber.load() < 128);
}

TEST (ProgramChange, WithAnEditorOnlyFlagsTheNumber)
{
    ScopedFiles files;
    files.write (midiPresetsFolder().getChildFile ("a.cpst"), presetText (3, 0.2f));
    files.write (midiPresetsFolder().getChildFile ("b.cpst"), presetText (4, 0.7f));
    ProcessorWithEditor processor;
    grain (processor, 0, 0).density = 8;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    ASSERT_NE (processor.getActiveEditor(), nullptr);

    runBlock (processor, programChanges ({ { 16, 1 } }));
    EXPECT_EQ (processor.lastProgramNumber.load(), 1);
    EXPECT_TRUE (processor.programChangePending.load());
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("INIT"));
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 8);
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.5f);
    processor.editorBeingDeleted (editor.get());
}
