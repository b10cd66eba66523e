// The window's actions: regenerate and edit buttons, preset browsing, menu and saving, the settings menu and the timer.
#include <gtest/gtest.h>

#include "WindowTestHelpers.h"

using namespace calyth::test;

namespace
{
float xPos (Window& w) { return parameterValue (w.processor, "x_pos"); }

/** Each menu item as "id:text", with "*" for a coloured item, "-" for a disabled one and "[...]" for a submenu. */
juce::String describe (const juce::PopupMenu& menu)
{
    juce::StringArray items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        auto text = juce::String (item.itemID) + ":" + item.text;
        if (item.colour != juce::Colour())
            text << (item.colour == juce::Colour (0xFF4BC89A) ? "*" : "?");
        if (! item.isEnabled)
            text << "-";
        if (item.subMenu != nullptr)
            text << "[" << describe (*item.subMenu) << "]";
        items.add (text);
    }
    return items.joinIntoString (" ");
}
} // namespace

TEST (WindowActions, PresetsStepWrapAndStartFromTheFirst)
{
    ScopedFiles files;
    Window w;
    writePreset (files, "c", 0.3f);
    writePreset (files, "a", 0.1f);
    writePreset (files, "b", 0.2f);
    const auto next = [&] { w.main.buttonClicked (w.main.nextPresetButton.get()); return xPos (w); };
    const auto previous = [&] { w.main.buttonClicked (w.main.previousPresetButton.get()); return xPos (w); };

    // "INIT" is in no list: both directions load the first preset.
    EXPECT_FLOAT_EQ (previous(), 0.1f);
    w.processor.currentPresetName = "INIT";
    EXPECT_FLOAT_EQ (next(), 0.1f);
    EXPECT_EQ (w.processor.currentPresetName.get() + " " + juce::File (w.processor.currentPresetPath.get()).getFileName(), "a a.cpst");
    EXPECT_FLOAT_EQ (previous(), 0.3f);
    EXPECT_FLOAT_EQ (next(), 0.1f);
    EXPECT_FLOAT_EQ (next(), 0.2f);

    // Natural order; other extensions and subfolders are not listed; a dotted name finds its own file.
    writePreset (files, "preset10", 0.5f);
    writePreset (files, "preset2", 0.6f);
    writePreset (files, "v1.2", 0.7f);
    files.write (presetsFolder().getChildFile ("notes.txt"), "x");
    files.write (presetsFolder().getChildFile ("MIDI/m.cpst"), "<Calyth/>");
    const auto names = w.main.createPresetNamesArray();
    EXPECT_EQ (names.joinIntoString (","), "a,b,c,preset2,preset10,v1.2");
    w.main.loadPreset (names, 5);
    EXPECT_FLOAT_EQ (xPos (w), 0.7f);

    // An unreadable file or a position off the list changes nothing, name and path included.
    files.write (presetsFolder().getChildFile ("broken.cpst"), "<Calyth><PARAM");
    w.main.loadPreset ({ "broken" }, 0);
    w.main.loadPreset (names, 6);
    EXPECT_EQ (w.processor.currentPresetName.get() + " " + juce::String (xPos (w)), "v1.2 0.7");
}

TEST (WindowActions, PresetMenuMarksTheCurrentOneAndLoadsTheChoice)
{
    ScopedFiles files;
    Window w;
    writePreset (files, "a", 0.1f);
    writePreset (files, "b", 0.2f);
    w.main.loadPreset ({ "b" }, 0);
    juce::String shown;
    int choice = 1;
    w.main.showMenu = [&] (juce::PopupMenu& menu, const juce::PopupMenu::Options& options)
    {
        shown = describe (menu) + " | " + juce::String ((int) (options.getTargetComponent() == w.main.presetNameButton.get()))
                + " " + juce::String (options.getItemThatMustBeVisible()) + " " + juce::String (options.getMinimumWidth())
                + " " + juce::String (options.getMaximumNumColumns());
        return choice;
    };
    w.main.buttonClicked (w.main.presetNameButton.get());
    EXPECT_EQ (shown, "1:a 2:b* | 1 1 40 4");
    EXPECT_FLOAT_EQ (xPos (w), 0.1f);
    choice = 0;
    w.main.buttonClicked (w.main.presetNameButton.get());
    EXPECT_EQ (w.processor.currentPresetName.get() + " " + juce::String (xPos (w)), "a 0.1");
}

TEST (WindowActions, SavingWritesACpstFileAndTheLabelFollowsAtTheNextTick)
{
    ScopedFiles files;
    Window w;
    int flags = 0;
    juce::File chosen;
    w.main.chooseFile = [&] (juce::FileChooser&, int mode) { flags = mode; return chosen; };
    const auto bright = presetsFolder().getChildFile ("bright.cpst");
    files.files.add (bright);
    files.files.add (presetsFolder().getChildFile ("bright.v2.cpst"));

    chosen = presetsFolder().getChildFile ("bright");
    setParameter (w.processor, "x_pos", 0.25f);
    w.main.buttonClicked (w.main.savePresetButton.get());
    EXPECT_EQ (flags, juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles | juce::FileBrowserComponent::warnAboutOverwriting);
    ASSERT_TRUE (bright.existsAsFile());
    EXPECT_EQ (w.main.presetNameLabel->getText(), "");
    w.main.timerCallback();
    EXPECT_EQ (w.main.presetNameLabel->getText() + " " + w.processor.currentPresetPath.get(), "bright " + bright.getFullPathName());

    // The same file under its full name; a name with another extension keeps it and gains ours; cancelling does nothing.
    chosen = bright;
    setParameter (w.processor, "x_pos", 0.5f);
    w.main.buttonClicked (w.main.savePresetButton.get());
    chosen = presetsFolder().getChildFile ("bright.v2");
    w.main.buttonClicked (w.main.savePresetButton.get());
    chosen = juce::File();
    w.main.buttonClicked (w.main.savePresetButton.get());
    EXPECT_EQ (w.main.createPresetNamesArray().joinIntoString (","), "bright,bright.v2");
    EXPECT_EQ (w.processor.currentPresetName.get(), "bright.v2");
    setParameter (w.processor, "x_pos", 0.0f);
    w.main.loadPreset ({ "bright" }, 0);
    EXPECT_FLOAT_EQ (xPos (w), 0.5f);
}

TEST (WindowActions, EngineChildrenOutOfRangeRestoreNothingAndStayInTheState)
{
    ScopedFiles files;
    Window w;
    const float density = (float) grain (w.processor, 3, 1).density.load();
    writePreset (files, "p", 0.4f, "<Granulizer density=\"9\" pole=\"4\" channel=\"1\"/><Granulizer density=\"7\" pole=\"1\" channel=\"0\"/>"
                                   "<Resonator freq=\"300\" pole=\"0\" channel=\"2\"/><Diffuser feed=\"0.5\" channel=\"1\"/>");
    w.main.loadPreset ({ "p" }, 0);
    EXPECT_EQ (grain (w.processor, 1, 0).density.load(), 7);
    EXPECT_EQ ((float) grain (w.processor, 3, 1).density.load(), density);
    EXPECT_FLOAT_EQ (w.processor.diffuserParameters[1]->feedback.load(), 0.5f);
    const auto state = w.processor.parameterTree.copyState();
    EXPECT_EQ ((int) state.getChildWithName ("Granulizer").getProperty ("pole"), 4);
    EXPECT_EQ ((int) state.getChildWithName ("Resonator").getProperty ("channel"), 2);
    EXPECT_FALSE (state.getChildWithName ("Diffuser").isValid());
}

TEST (WindowActions, RegenerateRandomiseAndTheEditButtonsAsARadioGroup)
{
    Window w;
    auto& m = w.main;
    const auto settings = [&] (int pole) { return grain (w.processor, pole, 0).speed.load() + grain (w.processor, pole, 1).size.load()
                                                  + w.processor.resonatorParameters[pole]->getUnchecked (0)->freq.load(); };
    const float before[] = { settings (0), settings (1), settings (2), settings (3) };
    const auto parameters = w.processor.parameterTree.copyState().toXmlString();
    click (m, *m.regeneratePoleButtons[1]);
    EXPECT_TRUE (settings (0) == before[0] && settings (1) != before[1] && settings (2) == before[2]);
    click (m, *m.regenerateWorldButton);
    EXPECT_TRUE (settings (0) != before[0] && settings (3) != before[3]);
    EXPECT_EQ (w.processor.parameterTree.copyState().toXmlString(), parameters);

    const auto state = w.processor.parameterTree.copyState();
    click (m, *m.randomizeTrajectoryButton);
    juce::StringArray moved;
    for (const auto& child : w.processor.parameterTree.copyState())
        if (child["value"] != state.getChildWithProperty ("id", child["id"])["value"])
            moved.add (child["id"].toString());
    moved.sort (false);
    EXPECT_EQ (moved.joinIntoString (" "), "x_traj_amount x_traj_range y_traj_amount y_traj_range");

    const auto shown = [&] { juce::String s; for (int i = 0; i < 4; ++i) s << (int) m.poleEditors[i]->isVisible() << (int) m.editPoleButtons[i]->getToggleState(); return s; };
    click (m, *m.editPoleButtons[0]);
    EXPECT_EQ (shown(), "11000000");
    click (m, *m.editPoleButtons[1]);
    EXPECT_EQ (shown(), "00110000");
    click (m, *m.editPoleButtons[1]);
    EXPECT_EQ (shown(), "00000000");
}

TEST (WindowActions, SettingsMenuReseedsAndLoadsSavesAndClearsTheMidiMap)
{
    ScopedFiles files;
    Window w;
    auto& mapper = w.processor.ccMapper;
    juce::String shown;
    w.main.showMenu = [&] (juce::PopupMenu& menu, const juce::PopupMenu::Options& options)
    {
        shown = describe (menu) + " | " + juce::String ((int) (options.getTargetComponent() == w.main.settingsButton.get()));
        return 0;
    };
    w.main.buttonClicked (w.main.settingsButton.get());
    EXPECT_EQ (shown, "1:RESEED 0:MIDI MAP[2:LOAD 3:SAVE 4:CLEAR] 5:OPEN PRESETS DIRECTORY 6:SHOW PREFERENCES FILE -10:CALYTH V 1.2.0- | 1");

    auto world = w.processor.worldRandom, trajectory = w.processor.trajectoryRandomizer.random;
    w.main.settingsMenuChosen (MainComponent::reseedItem);
    EXPECT_NE (world.nextInt64(), w.processor.worldRandom.nextInt64());
    EXPECT_NE (trajectory.nextInt64(), w.processor.trajectoryRandomizer.random.nextInt64());

    juce::File chosen;
    w.main.chooseFile = [&] (juce::FileChooser&, int) { return chosen; };
    chosen = files.write (homeFolder().getChildFile ("map.mpcc"), "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"3\"/></Calyth_MIDI_MAP>");
    w.main.settingsMenuChosen (MainComponent::loadMidiMapItem);
    chosen = files.write (homeFolder().getChildFile ("foreign.mpcc"), "<Other><x_pos cc=\"9\"/></Other>");
    w.main.settingsMenuChosen (MainComponent::loadMidiMapItem);
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 3);
    chosen = homeFolder().getChildFile ("saved");
    files.files.add (chosen);
    w.main.settingsMenuChosen (MainComponent::saveMidiMapItem);
    EXPECT_EQ (juce::parseXML (chosen)->getNumChildElements(), 3);

    // Removed from the last binding to the first; the last received controller stays.
    struct Removals : juce::ValueTree::Listener
    {
        void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree& child, int) override { order << child.getType().toString() << " "; }
        juce::String order;
    } removals;
    mapper.ccMap.addListener (&removals);
    mapper.lastReceivedCC = 5;
    w.main.settingsMenuChosen (MainComponent::clearMidiMapItem);
    w.main.settingsMenuChosen (MainComponent::clearMidiMapItem);
    mapper.ccMap.removeListener (&removals);
    EXPECT_EQ (removals.order + juce::String (mapper.lastReceivedCC.load()) + mapper.ccMap.getType().toString(), "dry_wet y_pos x_pos 5Calyth_MIDI_MAP");
}

TEST (WindowActions, TimerLoadsProgramChangesAndFollowsTheStereoLink)
{
    ScopedFiles files;
    Window w;
    auto& m = w.main;
    files.write (midiPresetsFolder().getChildFile ("1 Warm.cpst"), "<Calyth><PARAM id=\"x_pos\" value=\"0.2\"/></Calyth>");
    files.write (midiPresetsFolder().getChildFile ("2 Broken.cpst"), "<Calyth");
    w.processor.midiPresetFiles = kelm::PresetsManager::listMidiPresetFiles();

    w.processor.lastProgramNumber = 0;
    w.processor.programChangePending = true;
    m.timerCallback();
    EXPECT_EQ (juce::String (xPos (w)) + " " + juce::String ((int) w.processor.programChangePending.load()) + " " + m.presetNameLabel->getText(), "0.2 0 INIT");
    m.timerCallback();
    EXPECT_EQ (m.presetNameLabel->getText(), "1 Warm");
    // An unreadable file, or a program without a file, clears the flag all the same and changes nothing.
    for (int program : { 1, 9 })
    {
        w.processor.lastProgramNumber = program;
        w.processor.programChangePending = true;
        m.timerCallback();
        EXPECT_EQ (juce::String (xPos (w)) + " " + juce::String ((int) w.processor.programChangePending.load()) + " " + w.processor.currentPresetName.get(), "0.2 0 1 Warm");
    }

    // With the link on, the visible panel's right grain and resonator knobs go grey; the right depth knob stays.
    click (m, *m.editPoleButtons[0]);
    auto& panel = *m.poleEditors[0];
    const auto enabled = [&] { juce::String s; for (auto* k : panel.rightGrainKnobs) s << (int) k->isEnabled(); for (auto* k : panel.rightResonatorKnobs) s << (int) k->isEnabled();
                               return s << (int) panel.leftGrainKnobs[0]->isEnabled() << (int) panel.diffusionControls.rightDepthKnob->isEnabled(); };
    setParameter (w.processor, "stereo_link_a", 1.0f);
    setParameter (w.processor, "stereo_link_b", 0.0f);
    m.timerCallback();
    EXPECT_EQ (enabled(), "000000011");
    // The visible panel follows settings changed elsewhere within one tick.
    grain (w.processor, 0, 0).ampRnd = 0.25f;
    m.timerCallback();
    EXPECT_NEAR (panel.leftGrainKnobs[4]->getValue(), 0.25, 1e-6);
    setParameter (w.processor, "stereo_link_a", 0.0f);
    m.timerCallback();
    EXPECT_EQ (enabled(), "111111111");
}
