// The window: its controls' places, tooltips and bindings, its painting and shared looks, its actions (buttons,
// presets, menus, saving, the timer), and the editor shell's size, scale and stored size.
#include "EditorTestHelpers.h"
#include "editor/PluginEditor.h"

using namespace calyth::test;

namespace
{
using R = juce::Rectangle<int>;

float xPos (Window& w) { return parameterValue (w.processor, "x_pos"); }

/** Each menu item as "id:text", with "*" for an item in the preset colour, "-" for a disabled one and "[...]" for a submenu. */
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

TEST (Window, EveryControlAtItsPlaceWithItsTooltipAndCaption)
{
    Window w;
    auto& m = w.main;
    struct Row { juce::Component* c; R bounds; const char* tooltip; };
    std::vector<Row> rows {
        { m.regenerateWorldButton.get(), { 24, 142, 60, 60 }, "Regenerate all engines." },
        { m.randomizeTrajectoryButton.get(), { 24, 222, 60, 60 }, "Randomize trajectory." },
        { m.trajectoryButton.get(), { 38, 322, 32, 32 }, "Trajectory On/Off." },
        { m.previousPresetButton.get(), { 110, 20, 19, 24 }, "" },
        { m.nextPresetButton.get(), { 351, 20, 19, 24 }, "" },
        { m.presetNameButton.get(), { 134, 20, 212, 24 }, "" },
        { m.presetNameLabel.get(), { 134, 20, 212, 24 }, "" },
        { m.settingsButton.get(), { 377, 22, 15, 20 }, "" },
        { m.savePresetButton.get(), { 407, 22, 15, 20 }, "" },
        { m.pad.get(), { 98, 70, 284, 284 }, "" },
        { m.xTrajAmountKnob.knob.get(), { 55, 420, 60, 60 }, "" },  { m.xTrajRangeKnob.knob.get(), { 163, 420, 60, 60 }, "" },
        { m.yTrajAmountKnob.knob.get(), { 55, 511, 60, 60 }, "" },  { m.yTrajRangeKnob.knob.get(), { 163, 511, 60, 60 }, "" },
        { m.inGainKnob.knob.get(), { 275, 420, 60, 60 }, "" },      { m.outGainKnob.knob.get(), { 275, 511, 60, 60 }, "" },
        { m.dryWetKnob.knob.get(), { 378, 461, 70, 70 }, "" },
    };
    const char* corners[] = { "top left", "top right", "bottom left", "bottom right" };
    for (int pole = 0; pole < 4; ++pole)
    {
        const auto corner = juce::String (corners[pole]);
        rows.push_back ({ m.regeneratePoleButtons[pole].get(), { 390, 85 + 71 * pole, 40, 40 }, nullptr });
        EXPECT_EQ (m.regeneratePoleButtons[pole]->getTooltip(), "Regenerate " + corner + " engine.");
        rows.push_back ({ m.editPoleButtons[pole].get(), { 438, 77 + 71 * pole, 24, 24 }, nullptr });
        EXPECT_EQ (m.editPoleButtons[pole]->getTooltip(), "Edit " + corner + " engine parameters.");
        rows.push_back ({ m.stereoLinkButtons[(size_t) pole].get(), { 438, 109 + 71 * pole, 24, 24 }, nullptr });
        EXPECT_EQ (m.stereoLinkButtons[(size_t) pole]->getTooltip(), corner.substring (0, 1).toUpperCase() + corner.substring (1) + " engine stereo link On/Off.");
        rows.push_back ({ m.poleEditors[pole], { 2, 362, 476, 236 }, "" });
        EXPECT_FALSE (m.poleEditors[pole]->isVisible());
    }
    for (const auto& row : rows)
    {
        EXPECT_EQ (row.c->getParentComponent(), &m);
        EXPECT_EQ (row.c->getBounds(), row.bounds) << row.c->getBounds().toString();
        auto* client = dynamic_cast<juce::SettableTooltipClient*> (row.c);
        if (client != nullptr && row.tooltip != nullptr)
        {
            EXPECT_EQ (client->getTooltip(), row.tooltip);
        }
    }

    // Captions: text, height, place and colour; the preset name lets clicks through to its button.
    struct Caption { juce::Label* label; const char* text; float height; R bounds; };
    for (const auto& c : { Caption { m.xLabel.get(), "X", 20, { 13, 420, 42, 60 } }, Caption { m.yLabel.get(), "Y", 20, { 13, 511, 42, 60 } },
                           Caption { m.rangeLabel.get(), "RANGE", 16, { 163, 480, 60, 31 } }, Caption { m.speedLabel.get(), "SPEED", 16, { 55, 480, 60, 31 } },
                           Caption { m.inLabel.get(), "I", 16, { 251, 420, 24, 60 } }, Caption { m.outLabel.get(), "O", 16, { 251, 511, 24, 60 } },
                           Caption { m.mixLabel.get(), "MIX", 16, { 378, 420, 70, 41 } } })
        EXPECT_EQ (c.label->getText() + " " + juce::String (c.label->getFont().getHeight()) + " " + c.label->getBounds().toString() + " "
                       + c.label->findColour (juce::Label::textColourId).toString(),
                   juce::String (c.text) + " " + juce::String (c.height) + " " + c.bounds.toString() + " ff4bc89a");
    EXPECT_EQ (m.presetNameLabel->findColour (juce::Label::textColourId), juce::Colour (0xFF272727));
    EXPECT_EQ (m.getComponentAt (200, 30), m.presetNameButton.get());
}

TEST (Window, KnobsAndTogglesFollowTheirParametersBothWays)
{
    Window w;
    auto& m = w.main;
    const std::pair<calyth::ParameterKnob*, const char*> knobs[] = { { &m.inGainKnob, "in_gain" }, { &m.outGainKnob, "out_gain" },
        { &m.dryWetKnob, "dry_wet" }, { &m.xTrajAmountKnob, "x_traj_amount" }, { &m.xTrajRangeKnob, "x_traj_range" },
        { &m.yTrajAmountKnob, "y_traj_amount" }, { &m.yTrajRangeKnob, "y_traj_range" } };
    for (const auto& [knob, id] : knobs)
    {
        auto* parameter = w.processor.parameterTree.getParameter (id);
        const auto range = parameter->getNormalisableRange();
        knob->knob->setValue (range.convertFrom0to1 (0.25f), juce::sendNotificationSync);
        EXPECT_NEAR (parameter->getValue(), 0.25f, 0.002f) << id;
        parameter->setValueNotifyingHost (0.75f);
        EXPECT_NEAR (knob->knob->getValue(), range.convertFrom0to1 (0.75f), 0.01) << id;
        EXPECT_EQ (knob->knob->findColour (juce::Slider::rotarySliderFillColourId), juce::Colour (0xFF4BC89A));
        // Only the mix knob draws from the centre of its scale.
        EXPECT_EQ (dynamic_cast<kelm::KVBipolarLook*> (&knob->knob->getLookAndFeel()) != nullptr, knob == &m.dryWetKnob) << id;
    }
    click (m, *m.trajectoryButton);
    click (m, *m.stereoLinkButtons[2]);
    EXPECT_EQ (parameterValue (w.processor, "trajectory") + parameterValue (w.processor, "stereo_link_c") + parameterValue (w.processor, "stereo_link_a"), 2.0f);
    setParameter (w.processor, "stereo_link_d", 1.0f);
    EXPECT_TRUE (m.stereoLinkButtons[3]->getToggleState());
}

TEST (Window, PaintsTheFrameTheConnectorGreyBrandMarksAndThePanels)
{
    Window w;
    auto image = w.main.createComponentSnapshot (w.main.getLocalBounds());
    const auto at = [&] (int x, int y) { return image.getPixelAt (x, y).getARGB(); };
    // The 2-unit frame, and the connector between the two trajectory buttons, (53, 252, 2, 86).
    juce::String frame, connector;
    for (auto p : { juce::Point<int> (0, 0), { 1, 300 }, { 479, 599 }, { 2, 300 } })
        frame << (at (p.x, p.y) == 0xFF444444u ? "#" : ".");
    for (auto p : { juce::Point<int> (52, 300), { 53, 300 }, { 54, 300 }, { 55, 300 }, { 53, 283 }, { 53, 321 } })
        connector << (at (p.x, p.y) == 0xFF272727u ? "#" : ".");
    EXPECT_EQ (frame + " " + connector, "###. .##.##");

    // Emblem and wordmark in light grey, never in their drawn white.
    int grey = 0, white = 0;
    for (const auto& area : { R (436, 16, 28, 32), R (12, 12, 88, 40) })
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                grey += at (x, y) == 0xFFBDBDBDu;
                white += at (x, y) == 0xFFFFFFFFu;
            }
    EXPECT_TRUE (grey > 40 && white == 0) << grey << " " << white;

    // The teal strip under an open panel's title lies over the knob panel.
    EXPECT_NE (at (240, 394), 0xFF4BC89Au);
    click (w.main, *w.main.editPoleButtons[0]);
    image = w.main.createComponentSnapshot (w.main.getLocalBounds());
    EXPECT_EQ (at (240, 394), 0xFF4BC89Au);
}

TEST (Window, SharedLooksAndTheDefaultLookResetByAnyClosingWindow)
{
    auto first = std::make_unique<Window>();
    auto second = std::make_unique<Window>();
    auto& look = first->main.getLookAndFeel();
    EXPECT_EQ (&look, &second->main.getLookAndFeel());
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &look);
    EXPECT_EQ (look.findColour (juce::TooltipWindow::backgroundColourId).getARGB() + 0ull, 0xFF000000ull);
    EXPECT_EQ (look.findColour (juce::TooltipWindow::textColourId).getARGB() + 0ull, 0xFFFFFFFFull);
    EXPECT_EQ (&first->main.poleEditors[0]->getLookAndFeel(), &second->main.poleEditors[3]->getLookAndFeel());

    // Closing one window hands the process back the framework's look; the other keeps its own.
    second.reset();
    EXPECT_EQ (dynamic_cast<kelm::KVLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
    EXPECT_EQ (&first->main.xLabel->getLookAndFeel(), &look);
    EXPECT_NE (dynamic_cast<PoleEditorLookAndFeel*> (&first->main.poleEditors[1]->getLookAndFeel()), nullptr);
}

TEST (WindowActions, PresetsStepWrapListInNaturalOrderAndLoadFromTheMenu)
{
    ScopedFiles files;
    Window w;
    writePreset (files, "c", 0.3f);
    writePreset (files, "a", 0.1f, "<Granulizer density=\"9\" pole=\"4\" channel=\"1\"/><Granulizer density=\"7\" pole=\"1\" channel=\"0\"/>");
    writePreset (files, "b", 0.2f);
    const auto next = [&] { w.main.buttonClicked (w.main.nextPresetButton.get()); return xPos (w); };
    const auto previous = [&] { w.main.buttonClicked (w.main.previousPresetButton.get()); return xPos (w); };

    // "INIT" is in no list: both directions load the first preset; then they wrap around. An engine child
    // for a pole that does not exist stays in the state.
    EXPECT_FLOAT_EQ (previous(), 0.1f);
    EXPECT_EQ (grain (w.processor, 1, 0).density.load(), 7);
    EXPECT_EQ ((int) w.processor.parameterTree.copyState().getChildWithProperty ("density", 9).getProperty ("pole"), 4);
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

    // The menu lists them with the current one in the preset colour; item k loads the k-th, 0 does nothing.
    juce::String shown;
    int choice = 4;
    w.main.showMenu = [&] (juce::PopupMenu& menu, const juce::PopupMenu::Options& options) {
        shown = describe (menu) + " | " + juce::String ((int) (options.getTargetComponent() == w.main.presetNameButton.get())) + " "
                + juce::String (options.getItemThatMustBeVisible()) + " " + juce::String (options.getMinimumWidth()) + " " + juce::String (options.getMaximumNumColumns());
        return choice;
    };
    w.main.buttonClicked (w.main.presetNameButton.get());
    EXPECT_EQ (shown, "1:a 2:b 3:c 4:preset2 5:preset10 6:v1.2* | 1 1 40 4");
    choice = 0;
    w.main.buttonClicked (w.main.presetNameButton.get());
    EXPECT_EQ (w.processor.currentPresetName.get() + " " + juce::String (xPos (w)), "preset2 0.6");

    // An unreadable file or a position off the list changes nothing, name and path included.
    files.write (presetsFolder().getChildFile ("broken.cpst"), "<Calyth><PARAM");
    w.main.loadPreset ({ "broken" }, 0);
    w.main.loadPreset (names, 6);
    EXPECT_EQ (w.processor.currentPresetName.get() + " " + juce::String (xPos (w)), "preset2 0.6");
}

TEST (WindowActions, SavingWritesACpstFileAndTheLabelFollowsAtTheNextTick)
{
    ScopedFiles files;
    Window w;
    int flags = 0;
    juce::File chosen = presetsFolder().getChildFile ("bright");
    w.main.chooseFile = [&] (juce::FileChooser&, int mode) { flags = mode; return chosen; };
    const auto bright = presetsFolder().getChildFile ("bright.cpst");
    files.files.addArray ({ bright, presetsFolder().getChildFile ("bright.v2.cpst") });

    setParameter (w.processor, "x_pos", 0.25f);
    w.main.buttonClicked (w.main.savePresetButton.get());
    EXPECT_EQ (flags, juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles | juce::FileBrowserComponent::warnAboutOverwriting);
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
    EXPECT_EQ (w.main.createPresetNamesArray().joinIntoString (",") + " " + w.processor.currentPresetName.get(), "bright,bright.v2 bright.v2");
    setParameter (w.processor, "x_pos", 0.0f);
    w.main.loadPreset ({ "bright" }, 0);
    EXPECT_FLOAT_EQ (xPos (w), 0.5f);
}

TEST (WindowActions, RegenerateRandomiseAndTheEditButtonsAsARadioGroup)
{
    Window w;
    auto& m = w.main;
    const auto settings = [&] (int pole) { return grain (w.processor, pole, 0).speed.load() + grain (w.processor, pole, 1).size.load(); };
    const float before[] = { settings (0), settings (1), settings (2), settings (3) };
    const auto state = w.processor.parameterTree.copyState();
    click (m, *m.regeneratePoleButtons[1]);
    EXPECT_TRUE (settings (0) == before[0] && settings (1) != before[1] && settings (2) == before[2]);
    click (m, *m.regenerateWorldButton);
    EXPECT_TRUE (settings (0) != before[0] && settings (3) != before[3]);
    EXPECT_TRUE (w.processor.parameterTree.copyState().isEquivalentTo (state));

    click (m, *m.randomizeTrajectoryButton);
    juce::StringArray moved;
    for (const auto& child : w.processor.parameterTree.copyState())
        if (child["value"] != state.getChildWithProperty ("id", child["id"])["value"])
            moved.add (child["id"].toString());
    moved.sort (false);
    EXPECT_EQ (moved.joinIntoString (" "), "x_traj_amount x_traj_range y_traj_amount y_traj_range");

    const auto shown = [&] {
        juce::String s;
        for (int i = 0; i < 4; ++i)
            s << (int) m.poleEditors[i]->isVisible() << (int) m.editPoleButtons[i]->getToggleState();
        return s;
    };
    click (m, *m.editPoleButtons[0]);
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
    w.main.showMenu = [&] (juce::PopupMenu& menu, const juce::PopupMenu::Options& options) {
        shown = describe (menu) + " | " + juce::String ((int) (options.getTargetComponent() == w.main.settingsButton.get()));
        return 0;
    };
    w.main.buttonClicked (w.main.settingsButton.get());
    EXPECT_EQ (shown, "1:RESEED 0:MIDI MAP[2:LOAD 3:SAVE 4:CLEAR] 5:OPEN PRESETS DIRECTORY 6:SHOW PREFERENCES FILE -10:CALYTH V 1.2.0- | 1");

    auto world = w.processor.worldRandom, trajectory = w.processor.trajectoryRandomizer.random;
    w.main.settingsMenuChosen (MainComponent::reseedItem);
    EXPECT_NE (world.nextInt64(), w.processor.worldRandom.nextInt64());
    EXPECT_NE (trajectory.nextInt64(), w.processor.trajectoryRandomizer.random.nextInt64());

    juce::File chosen = files.write (homeFolder().getChildFile ("map.mpcc"), "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"3\"/></Calyth_MIDI_MAP>");
    w.main.chooseFile = [&] (juce::FileChooser&, int) { return chosen; };
    w.main.settingsMenuChosen (MainComponent::loadMidiMapItem);
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

    // The label shows the name at the tick after the load. An unreadable file, or a program without a file,
    // clears the flag all the same and changes nothing.
    for (int program : { 0, 1, 9 })
    {
        w.processor.lastProgramNumber = program;
        w.processor.programChangePending = true;
        m.timerCallback();
        EXPECT_EQ (juce::String (xPos (w)) + " " + juce::String ((int) w.processor.programChangePending.load()) + " " + m.presetNameLabel->getText(),
                   program == 0 ? "0.2 0 INIT" : "0.2 0 1 Warm");
    }

    // With the link on, the visible panel's right grain and resonator knobs go grey; the right depth knob stays.
    click (m, *m.editPoleButtons[0]);
    auto& panel = *m.poleEditors[0];
    const auto enabled = [&] {
        juce::String s;
        for (auto* k : { panel.rightGrainKnobs[0], panel.rightGrainKnobs[4], panel.rightResonatorKnobs[1], panel.leftGrainKnobs[0], panel.diffusionControls.rightDepthKnob.get() })
            s << (int) k->isEnabled();
        return s;
    };
    setParameter (w.processor, "stereo_link_a", 1.0f);
    setParameter (w.processor, "stereo_link_b", 0.0f);
    m.timerCallback();
    EXPECT_EQ (enabled(), "00011");
    // The visible panel follows settings changed elsewhere within one tick.
    grain (w.processor, 0, 0).ampRnd = 0.25f;
    setParameter (w.processor, "stereo_link_a", 0.0f);
    m.timerCallback();
    EXPECT_EQ (enabled() + " " + juce::String (panel.leftGrainKnobs[4]->getValue(), 3), "11111 0.250");
}

namespace
{
std::unique_ptr<CalythAudioProcessorEditor> open (CalythAudioProcessor& p)
{
    return std::unique_ptr<CalythAudioProcessorEditor> (dynamic_cast<CalythAudioProcessorEditor*> (p.createEditorIfNeeded()));
}

juce::String sizeAndScale (CalythAudioProcessor& p)
{
    const auto e = open (p);
    p.editorBeingDeleted (e.get());
    return juce::String (e->getWidth()) + "x" + juce::String (e->getHeight()) + " " + e->mainComponent.getBounds().toString() + " "
           + juce::String (e->mainComponent.getTransform().mat00) + " " + juce::String (e->mainComponent.getTransform().mat11);
}

void storeSize (const juce::String& width, const juce::String& height)
{
    juce::PropertiesFile file (CalythAudioProcessor::makeSettingsFileOptions());
    file.setValue ("width", width);
    file.setValue ("height", height);
    file.saveIfNeeded();
}
} // namespace

TEST (EditorShell, OpensAtTheStoredSizeAndStoresItsOwnOnClosing)
{
    const auto settingsFile = CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile();
    settingsFile.deleteFile();
    CalythAudioProcessor processor, other;
    ASSERT_TRUE (processor.hasEditor());
    EXPECT_EQ (sizeAndScale (processor), "480x600 0 0 480 600 1 1");
    {
        auto editor = open (processor);
        EXPECT_EQ (editor->getConstrainer()->getFixedAspectRatio(), 0.8);
        EXPECT_TRUE (editor->isResizable());
        // Dragging the corner keeps the ratio and never goes below 120 wide.
        juce::Rectangle<int> dragged (0, 0, 40, 90);
        editor->getConstrainer()->checkBounds (dragged, editor->getBounds(), { 0, 0, 4000, 4000 }, false, false, true, true);
        EXPECT_EQ (dragged.getWidth() + dragged.getHeight() * 1000, 120 + 150 * 1000);
        // One tooltip window, shared with the engine panels.
        EXPECT_EQ (&editor->tooltipWindow.get(), &editor->mainComponent.poleEditors[2]->tooltipWindow.get());
        editor->setSize (600, 750);
        processor.editorBeingDeleted (editor.get());
    }
    const auto stored = juce::parseXML (settingsFile);
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getChildByAttribute ("name", "width")->getStringAttribute ("val") + " "
                   + stored->getChildByAttribute ("name", "height")->getStringAttribute ("val"), "600 750");
    // The next window opens at it, also in another instance whose settings were read before the close.
    EXPECT_EQ (sizeAndScale (other), "600x750 0 0 480 600 1.25 1.25");
    // A size that breaks the ratio is applied as stored; sizes nobody could see or handle count as unreadable.
    storeSize ("500", "500");
    EXPECT_EQ (sizeAndScale (other), "500x500 0 0 480 600 1.04167 1.04167");
    for (const auto& [w, h] : { std::pair { "0", "0" }, std::pair { "100000", "125000" }, std::pair { "wide", "" } })
    {
        storeSize (w, h);
        EXPECT_EQ (sizeAndScale (other), "480x600 0 0 480 600 1 1") << w;
    }
}
