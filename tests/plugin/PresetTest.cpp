// Preset files and their recall by MIDI program change.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

using namespace calyth::test;

namespace
{
/** A preset document as the save command writes it, with the given grain density for pole 0 left. */
juce::String presetText (int density, float xPos, const juce::String& extraChildren = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Calyth>\n"
           "  <PARAM id=\"x_pos\" value=\"" + juce::String (xPos) + "\"/>\n"
           "  <PARAM id=\"y_pos\" value=\"0.9\"/>\n"
           "  <Diffuser feed=\"0.45\" damp=\"0.2\" channel=\"1\"/>\n"
           "  <Granulizer density=\"" + juce::String (density) + "\" size=\"50\" pole=\"0\" channel=\"0\"/>\n"
           "  <Resonator freq=\"440\" feed=\"0.3\" pole=\"3\" channel=\"1\"/>\n"
           + extraChildren + "</Calyth>\n";
}

juce::MidiBuffer programChanges (std::initializer_list<std::pair<int, int>> channelAndProgram)
{
    juce::MidiBuffer midi;
    int time = 0;
    for (auto [channel, program] : channelAndProgram)
        midi.addEvent (juce::MidiMessage::programChange (channel, program), time += 10);
    return midi;
}

void runBlock (CalythAudioProcessor& processor, juce::MidiBuffer& midi)
{
    juce::AudioBuffer<float> audio (2, 256);
    audio.clear();
    processor.processBlock (audio, midi);
}
} // namespace

TEST (PresetFile, SavedFormAndLoading)
{
    ScopedFiles files;
    const auto folder = files.folder (homeFolder().getChildFile ("saved"));

    CalythAudioProcessor source;
    grain (source, 2, 1).speed = 1.75f;
    resonator (source, 1, 0).freq = 333.0f;
    setParameter (source, "dry_wet", 0.3f);
    const auto file = folder.getChildFile ("My Sound.cpst");
    ASSERT_TRUE (source.savePresetToFile (file));
    EXPECT_EQ (source.currentPresetName.get(), juce::String ("My Sound"));
    EXPECT_EQ (source.currentPresetPath.get(), file.getFullPathName());

    // Declaration, the one-space line, then the element over several lines; no name, no map.
    juce::StringArray lines;
    lines.addLines (file.loadFileAsString());
    ASSERT_GT (lines.size(), 30);
    EXPECT_EQ (lines[0], juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    const int rootLine = lines.indexOf ("<Calyth>");
    ASSERT_GT (rootLine, 0);
    EXPECT_EQ (lines[rootLine - 1], juce::String (" "));
    const auto xml = juce::parseXML (file);
    EXPECT_EQ (xml->getNumChildElements(), 36);
    EXPECT_EQ (xml->getChildByName ("Metadata"), nullptr);
    EXPECT_EQ (xml->getChildByName ("Calyth_MIDI_MAP"), nullptr);

    CalythAudioProcessor target;
    target.ccMapper.lastReceivedCC = 12;
    target.ccMapper.mapLastCCToParameter ("x_pos");
    ASSERT_TRUE (target.loadPresetFromFile (file));
    EXPECT_EQ (grain (target, 2, 1).speed.load(), 1.75f);
    EXPECT_EQ (resonator (target, 1, 0).freq.load(), 333.0f);
    EXPECT_FLOAT_EQ (parameterValue (target, "dry_wet"), 0.3f);
    EXPECT_EQ (target.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("My Sound"));
    EXPECT_EQ (target.currentPresetPath.get(), file.getFullPathName());

    // A preset carrying a name or a map: the preset readers leave both in the parameter state.
    const auto odd = files.write (folder.getChildFile ("odd.cpst"),
                                  presetText (5, 0.5f, "<Metadata preset_name=\"Other\"/><Calyth_MIDI_MAP/>"));
    ASSERT_TRUE (target.loadPresetFromFile (odd));
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("odd"));
    EXPECT_EQ (target.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_TRUE (target.parameterTree.state.getChildWithName ("Metadata").isValid());

    // An unreadable file changes nothing, name and path included.
    const auto broken = files.write (folder.getChildFile ("broken.cpst"), "<Calyth><Granulizer");
    grain (target, 0, 0).density = 8;
    EXPECT_FALSE (target.loadPresetFromFile (broken));
    EXPECT_FALSE (target.loadPresetFromFile (folder.getChildFile ("missing.cpst")));
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("odd"));
    EXPECT_EQ (grain (target, 0, 0).density.load(), 8);
}

TEST (ProgramChange, LoadsInTheBlockWithoutAnEditor)
{
    ScopedFiles files;
    const auto warm = files.write (midiPresetsFolder().getChildFile ("1 Warm.cpst"), presetText (3, 0.2f));
    files.write (midiPresetsFolder().getChildFile ("2 Cold.cpst"), presetText (4, 0.7f));

    CalythAudioProcessor processor;
    ASSERT_EQ (processor.midiPresetFiles.size(), 2);
    processor.ccMapper.lastReceivedCC = 20;
    processor.ccMapper.mapLastCCToParameter ("y_pos");

    // Two program changes on different channels: the second one's number is used.
    auto midi = programChanges ({ { 1, 1 }, { 5, 0 } });
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 20, 0), 0);
    runBlock (processor, midi);

    EXPECT_EQ (processor.lastProgramNumber.load(), 0);
    EXPECT_FALSE (processor.programChangePending.load());
    EXPECT_FALSE (processor.isSuspended());
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("1 Warm"));
    EXPECT_EQ (processor.currentPresetPath.get(), warm.getFullPathName());
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 3);
    EXPECT_EQ (grain (processor, 0, 0).size.load(), 2205.0f);
    EXPECT_EQ (diffuser (processor, 1).feedback.load(), 0.45f);
    EXPECT_EQ (resonator (processor, 3, 1).freq.load(), 440.0f);
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.2f);

    // The controller of the same block lands on top of the preset's 0.9; the binding survives.
    EXPECT_EQ (parameterValue (processor, "y_pos"), 0.0f);
    EXPECT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);

    // A number without a file, or a file gone since the listing, changes nothing but the number.
    auto none = programChanges ({ { 1, 2 } });
    runBlock (processor, none);
    EXPECT_EQ (processor.lastProgramNumber.load(), 2);
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("1 Warm"));

    midiPresetsFolder().getChildFile ("2 Cold.cpst").deleteFile();
    auto gone = programChanges ({ { 1, 1 } });
    runBlock (processor, gone);
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("1 Warm"));
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 3);
}

TEST (ProgramChange, WithAnEditorOnlyFlagsTheNumber)
{
    ScopedFiles files;
    files.write (midiPresetsFolder().getChildFile ("a.cpst"), presetText (3, 0.2f));
    files.write (midiPresetsFolder().getChildFile ("b.cpst"), presetText (4, 0.7f));

    ProcessorWithEditor processor;
    grain (processor, 0, 0).density = 8;
    const ScopedActiveEditor editor (processor);
    ASSERT_NE (processor.getActiveEditor(), nullptr);

    auto midi = programChanges ({ { 16, 1 } });
    runBlock (processor, midi);
    EXPECT_EQ (processor.lastProgramNumber.load(), 1);
    EXPECT_TRUE (processor.programChangePending.load());
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("INIT"));
    EXPECT_EQ (grain (processor, 0, 0).density.load(), 8);
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.5f);
}

TEST (ProgramChange, GarbageMidiIsHarmless)
{
    CalythAudioProcessor processor;
    juce::Random random (11);

    for (int block = 0; block < 20; ++block)
    {
        juce::MidiBuffer midi;
        for (int i = 0; i < 3000; ++i)
        {
            juce::uint8 bytes[6];
            random.fillBitsRandomly (bytes, sizeof (bytes));
            if (i % 5 == 0)
                bytes[0] = (juce::uint8) (0xc0 | (bytes[0] & 0x0f)); // program changes, some with bad data bytes
            midi.addEvent (bytes, 1 + random.nextInt (6), i % 256);
        }
        runBlock (processor, midi);
        EXPECT_GE (processor.lastProgramNumber.load(), 0);
        EXPECT_LT (processor.lastProgramNumber.load(), 128);
    }
}
