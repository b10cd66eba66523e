// The window: its controls' places and bindings, its painting and shared looks, its actions (presets, menus,
// saving, regenerating, the edit buttons, the timer), and the editor shell's stored size and scale.
#include "EditorTestHelpers.h"
#include "editor/PluginEditor.h"

#include <sys/stat.h>

using namespace calyth::test;

namespace
{
float xPos (Window& w) { return parameterValue (w.processor, "x_pos"); }

/** The menu's items, submenus included, as "id:text", with "*" for one in the preset colour and "-" for a disabled one. */
juce::String describe (const juce::PopupMenu& menu)
{
    juce::String items;
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        items << it.getItem().itemID << ":" << it.getItem().text << (it.getItem().colour == juce::Colour (0xFF4BC89A) ? "*" : "") << (it.getItem().isEnabled ? " " : "- ");
    return items;
}

/** A window on a processor. */
struct WindowActions : ::testing::Test
{
    Window w;
    MainComponent& m = w.main;
};
} // namespace

TEST (Window, EveryControlAtItsPlacePaintingBindingsAndTheSharedLooks)
{
    auto first = std::make_unique<Window>();
    auto second = std::make_unique<Window>();
    auto& m = first->main;
    std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> places {
        { m.regenerateWorldButton.get(), { 24, 142, 60, 60 } }, { m.randomizeTrajectoryButton.get(), { 24, 222, 60, 60 } },
        { m.trajectoryButton.get(), { 38, 322, 32, 32 } },      { m.previousPresetButton.get(), { 110, 20, 19, 24 } },
        { m.nextPresetButton.get(), { 351, 20, 19, 24 } },      { m.presetNameButton.get(), { 134, 20, 212, 24 } },
        { m.presetNameLabel.get(), { 134, 20, 212, 24 } },      { m.settingsButton.get(), { 377, 22, 15, 20 } },
        { m.savePresetButton.get(), { 407, 22, 15, 20 } },      { m.pad.get(), { 98, 70, 284, 284 } },
        { m.xTrajAmountKnob.knob.get(), { 55, 420, 60, 60 } },  { m.xTrajRangeKnob.knob.get(), { 163, 420, 60, 60 } },
        { m.yTrajAmountKnob.knob.get(), { 55, 511, 60, 60 } },  { m.yTrajRangeKnob.knob.get(), { 163, 511, 60, 60 } },
        { m.inGainKnob.knob.get(), { 275, 420, 60, 60 } },      { m.outGainKnob.knob.get(), { 275, 511, 60, 60 } },
        { m.dryWetKnob.knob.get(), { 378, 461, 70, 70 } },      { m.mixLabel.get(), { 378, 420, 70, 41 } },
    };
    for (int pole = 0; pole < 4; ++pole)
    {
        places.push_back ({ m.regeneratePoleButtons[pole].get(), { 390, 85 + 71 * pole, 40, 40 } });
        places.push_back ({ m.editPoleButtons[pole].get(), { 438, 77 + 71 * pole, 24, 24 } });
        places.push_back ({ m.stereoLinkButtons[(size_t) pole].get(), { 438, 109 + 71 * pole, 24, 24 } });
        places.push_back ({ m.poleEditors[pole], { 2, 362, 476, 236 } });
    }
    for (const auto& [component, bounds] : places)
        EXPECT_TRUE (component->getParentComponent() == &m && component->getBounds() == bounds) << component->getBounds().toString() << " " << bounds.toString();
    EXPECT_EQ (m.regeneratePoleButtons[3]->getTooltip() + " " + m.stereoLinkButtons[1]->getTooltip(), "Regenerate bottom right engine. Top right engine stereo link On/Off.");

    // The 2-unit frame (#), and the connector (53, 252, 2, 86) between the two trajectory buttons (=).
    const auto image = m.createComponentSnapshot (m.getLocalBounds());
    juce::String marks;
    for (auto p : { juce::Point<int> (0, 0), { 1, 300 }, { 479, 599 }, { 2, 300 }, { 52, 300 }, { 53, 300 }, { 54, 300 }, { 55, 300 }, { 53, 283 }, { 53, 321 } })
        marks << (image.getPixelAt (p.x, p.y) == juce::Colour (0xFF444444) ? "#" : image.getPixelAt (p.x, p.y) == juce::Colour (0xFF272727) ? "=" : ".");
    EXPECT_EQ (marks, "###..==.==");
    // Header ground (as between the gear and the save icon) parts the preset bar's frame from the gear's teeth.
    for (int y = 22; y < 42; ++y)
        EXPECT_TRUE (image.getPixelAt (375, y) == image.getPixelAt (400, y) && image.getPixelAt (376, y) == image.getPixelAt (400, y)) << y;
    // The black between the pad and its frame is equally wide on the left, right, top and bottom.
    const auto blackRun = [&] (juce::Point<int> p, juce::Point<int> step) {
        int n = 0;
        for (int k = 0; k < 8; ++k, p += step)
            n += image.getPixelAt (p.x, p.y).getBrightness() < 0.02f;
        return juce::String (n);
    };
    EXPECT_EQ (blackRun ({ 90, 212 }, { 1, 0 }) + blackRun ({ 382, 212 }, { 1, 0 }) + blackRun ({ 240, 62 }, { 0, 1 }) + blackRun ({ 240, 354 }, { 0, 1 }), "2222");
    // The emblem and the wordmark are drawn in light grey, with none of their white left.
    for (auto* mark : { m.headerEmblem.get(), m.headerWordmark.get() })
        EXPECT_TRUE (! mark->replaceColour (juce::Colours::white, juce::Colours::white) && mark->replaceColour (juce::Colour (0xFFBDBDBD), juce::Colour (0xFFBDBDBD)));

    auto& look = m.getLookAndFeel();
    EXPECT_TRUE (&look == &second->main.getLookAndFeel() && &look == &juce::LookAndFeel::getDefaultLookAndFeel());
    EXPECT_EQ (look.findColour (juce::TooltipWindow::backgroundColourId).toString() + " " + look.findColour (juce::TooltipWindow::textColourId).toString(), "ff000000 ffffffff");
    EXPECT_EQ (&m.poleEditors[0]->getLookAndFeel(), &second->main.poleEditors[3]->getLookAndFeel());
    // Each knob follows its parameter; only the mix knob draws from the centre of its scale.
    for (auto [knob, id] : { std::pair (&m.inGainKnob, "in_gain"), std::pair (&m.outGainKnob, "out_gain"), std::pair (&m.dryWetKnob, "dry_wet"),
                             std::pair (&m.xTrajAmountKnob, "x_traj_amount"), std::pair (&m.xTrajRangeKnob, "x_traj_range"),
                             std::pair (&m.yTrajAmountKnob, "y_traj_amount"), std::pair (&m.yTrajRangeKnob, "y_traj_range") })
    {
        first->processor.parameterTree.getParameter (id)->setValueNotifyingHost (0.75f);
        EXPECT_NEAR (knob->knob->valueToProportionOfLength (knob->knob->getValue()), 0.75, 0.01) << id;
        EXPECT_EQ (dynamic_cast<kelm::KVBipolarLook*> (&knob->knob->getLookAndFeel()) != nullptr, knob == &m.dryWetKnob) << id;
    }
    // Closing one window hands the process back the framework's look; the other keeps its panels' look.
    second.reset();
    EXPECT_EQ (dynamic_cast<kelm::KVLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
    EXPECT_NE (dynamic_cast<PoleEditorLookAndFeel*> (&m.poleEditors[1]->getLookAndFeel()), nullptr);
}

TEST_F (WindowActions, PresetsStepWrapListInNaturalOrderLoadFromTheMenuAndSave)
{
    for (auto [name, x] : { std::pair { "preset10", 0.3f }, { "a", 0.1f }, { "v1.2", 0.4f }, { "preset2", 0.2f } })
        writePreset (name, x);
    for (auto other : { "notes.txt", "MIDI/m.cpst", ".cpst", "b.CPST" })
        writeFile (presetsFolder().getChildFile (other), "<Calyth/>");
    // Natural order; other extensions, subfolders and names whose listed form finds no file are not listed.
    EXPECT_EQ (m.createPresetNamesArray().joinIntoString (","), "a,preset2,preset10,v1.2");

    // "INIT" is in no list: previous loads the first preset; then both directions wrap around.
    juce::String loaded;
    for (auto* button : { m.previousPresetButton.get(), m.previousPresetButton.get(), m.nextPresetButton.get(), m.nextPresetButton.get() })
    {
        m.buttonClicked (button);
        loaded << xPos (w) << " ";
    }
    EXPECT_EQ (loaded + w.processor.currentPresetName.get(), "0.1 0.4 0.1 0.2 preset2");

    // The menu marks the current preset in the preset colour; item k loads the k-th (a dotted name finds its own file).
    juce::String shown;
    m.showMenu = [&] (juce::PopupMenu& menu, const juce::PopupMenu::Options&) {
        shown = describe (menu);
        return 4;
    };
    m.buttonClicked (m.presetNameButton.get());
    EXPECT_EQ (shown + w.processor.currentPresetName.get() + " " + juce::String (xPos (w)), "1:a 2:preset2* 3:preset10 4:v1.2 v1.2 0.4");

    // A name starting with '~' loads from the presets folder, not a namesake from the working directory.
    writePreset ("~x", 0.6f);
    const auto namesake = juce::File (juce::File::getCurrentWorkingDirectory().getFullPathName() + "/~x.cpst");
    writeFile (namesake, "<Calyth><PARAM id=\"x_pos\" value=\"0.9\"/></Calyth>");
    m.loadPreset ({ "~x" }, 0);
    namesake.deleteFile(); // outside the home folder
    EXPECT_EQ (juce::String (xPos (w)), "0.6");

    // Saving under "bright.v2" keeps that extension and gains ours, so that it cannot overwrite "bright"; the
    // label shows the saved name at the next tick.
    const auto dotted = presetsFolder().getChildFile ("bright.v2.cpst");
    juce::String chosen ("bright.v2");
    m.chooseFile = [&] (juce::FileChooser&, int) { return presetsFolder().getChildFile (chosen); };
    m.buttonClicked (m.savePresetButton.get());
    EXPECT_TRUE (dotted.existsAsFile() && m.presetNameLabel->getText().isEmpty());
    m.timerCallback();
    EXPECT_EQ (m.presetNameLabel->getText() + " " + w.processor.currentPresetPath.get(), "bright.v2 " + dotted.getFullPathName());

    // Under "bright" or "bright.cpst" the file is "bright.cpst".
    const auto plain = presetsFolder().getChildFile ("bright.cpst");
    juce::String asked;
    bool replace = false;
    m.askToReplace = [&] (const juce::File& file) { asked << file.getFileName() << (replace ? "+ " : "- "); return replace; };
    for (auto name : { "bright", "bright.cpst" })
    {
        plain.deleteFile();
        chosen = name;
        m.buttonClicked (m.savePresetButton.get());
        EXPECT_TRUE (plain.existsAsFile() && ! plain.withFileExtension ("cpst.cpst").exists()) << name;
    }
    // The dialog warned about the name as chosen only: before "bright" replaces an existing "bright.cpst" the user
    // is asked, and declining keeps the file and the current name.
    plain.replaceWithText ("mine");
    w.processor.currentPresetName.set ("a");
    chosen = "bright";
    for (bool yes : { false, true })
    {
        replace = yes;
        m.buttonClicked (m.savePresetButton.get());
        asked << (int) (plain.loadFileAsString() == "mine") << w.processor.currentPresetName.get() << " ";
    }
    EXPECT_EQ (asked, "bright.cpst- 1a bright.cpst+ 0bright ");
}

TEST_F (WindowActions, SettingsMenuTimerRegenerateAndEditButtonsWithTheStereoLink)
{
    EXPECT_EQ (describe (m.createSettingsMenu()), "1:RESEED 0:MIDI MAP 2:LOAD 3:SAVE 4:CLEAR 5:OPEN PRESETS DIRECTORY 6:SHOW PREFERENCES FILE -10:CALYTH V 1.2.0- ");

    w.processor.worldRandom.setSeed (1);
    w.processor.trajectoryRandomizer.random.setSeed (1);
    m.settingsMenuChosen (MainComponent::reseedItem);
    EXPECT_TRUE (w.processor.worldRandom.getSeed() != 1 && w.processor.trajectoryRandomizer.random.getSeed() != 1);

    const auto chosen = writeFile (homeFolder().getChildFile ("map.mpcc"), "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/><dry_wet cc=\"3\"/></Calyth_MIDI_MAP>");
    m.chooseFile = [&] (juce::FileChooser&, int) { return chosen; };
    m.settingsMenuChosen (MainComponent::loadMidiMapItem);

    // "CLEAR" removes the loaded map from its last binding to its first; the last received controller stays.
    struct Removals : juce::ValueTree::Listener
    {
        void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree& child, int) override { order << child.getType().toString() << " "; }
        juce::String order;
    } removals;
    auto& mapper = w.processor.ccMapper;
    mapper.ccMap.addListener (&removals);
    mapper.lastReceivedCC = 5;
    m.settingsMenuChosen (MainComponent::clearMidiMapItem);
    mapper.ccMap.removeListener (&removals);
    EXPECT_EQ (removals.order + juce::String (mapper.lastReceivedCC.load()), "dry_wet y_pos x_pos 5");

    writeFile (midiPresetsFolder().getChildFile ("1 Warm.cpst"), "<Calyth><PARAM id=\"x_pos\" value=\"0.2\"/></Calyth>");
    writeFile (midiPresetsFolder().getChildFile ("2 Broken.cpst"), "<Calyth");
    w.processor.midiPresetFiles = kelm::PresetsManager::listMidiPresetFiles();

    // The label shows the name at the tick after the load. An unreadable file, or a program without a file,
    // clears the flag all the same and changes nothing.
    juce::String seen;
    for (int program : { 0, 1, 9 })
    {
        w.processor.lastProgramNumber = program;
        w.processor.programChangePending = true;
        m.timerCallback();
        seen << xPos (w) << " " << (int) w.processor.programChangePending.load() << " " << m.presetNameLabel->getText() << ", ";
    }
    EXPECT_EQ (seen, "0.2 0 INIT, 0.2 0 1 Warm, 0.2 0 1 Warm, ");
    // A name a chunk made a million characters long shows only its first few hundred.
    w.processor.currentPresetName.set (juce::String::repeatedString ("0123456789", 100000));
    m.timerCallback();
    const auto label = m.presetNameLabel->getText();
    EXPECT_TRUE (label.length() >= 100 && label.length() <= 1000 && w.processor.currentPresetName.get().startsWith (label)) << label.length();

    // Regenerating one pole leaves the others; regenerating all changes every pole.
    const auto settings = [&] (int pole) { return grain (w.processor, pole, 0).speed.load() + grain (w.processor, pole, 1).size.load(); };
    const float before[] = { settings (0), settings (1), settings (2), settings (3) };
    click (m, *m.regeneratePoleButtons[1]);
    EXPECT_TRUE (settings (0) == before[0] && settings (1) != before[1] && settings (2) == before[2]);
    click (m, *m.regenerateWorldButton);
    EXPECT_TRUE (settings (0) != before[0] && settings (3) != before[3]);

    // The edit buttons are a radio group. With the link on, the visible panel's right grain and resonator knobs go
    // grey; the right depth knob stays. The visible panel follows settings changed elsewhere within one tick.
    click (m, *m.editPoleButtons[2]);
    click (m, *m.editPoleButtons[0]);
    EXPECT_TRUE (! m.editPoleButtons[2]->getToggleState() && ! m.poleEditors[2]->isVisible() && m.poleEditors[0]->isVisible());
    auto& panel = *m.poleEditors[0];
    for (float link : { 1.0f, 0.0f })
    {
        setParameter (w.processor, "stereo_link_a", link);
        grain (w.processor, 0, 0).ampRnd = 0.25f * link;
        m.timerCallback();
        juce::String enabled;
        for (auto* k : { panel.rightGrainKnobs[0], panel.rightGrainKnobs[4], panel.rightResonatorKnobs[1], panel.leftGrainKnobs[0], panel.diffusionControls.rightDepthKnob.get() })
            enabled << (int) k->isEnabled();
        EXPECT_EQ (enabled + " " + juce::String (panel.leftGrainKnobs[4]->getValue(), 2), link > 0 ? "00011 0.25" : "11111 0.00");
    }
}

namespace
{
/** Opens an editor, lets the test use it, closes it (which stores its size) and describes its size and its content's scale. */
juce::String openAndClose (CalythAudioProcessor& p, const std::function<void (CalythAudioProcessorEditor&)>& use = {})
{
    std::unique_ptr<CalythAudioProcessorEditor> e (dynamic_cast<CalythAudioProcessorEditor*> (p.createEditorIfNeeded()));
    const auto opened = juce::String (e->getWidth()) + "x" + juce::String (e->getHeight()) + " " + e->mainComponent.getBounds().toString() + " "
                        + juce::String (e->mainComponent.getTransform().mat00) + " " + juce::String (e->mainComponent.getTransform().mat11);
    if (use)
        use (*e);
    p.editorBeingDeleted (e.get());
    return opened;
}
} // namespace

TEST (EditorShell, OpensAtTheStoredSizeAndStoresItsOwnOnClosing)
{
    CalythAudioProcessor processor, other;
    const auto resize = [] (CalythAudioProcessorEditor& editor) {
        EXPECT_EQ (editor.getConstrainer()->getMinimumWidth(), 120);
        EXPECT_EQ (editor.getConstrainer()->getFixedAspectRatio(), 0.8);
        editor.setSize (600, 750);
    };
    EXPECT_EQ (openAndClose (processor, resize), "480x600 0 0 480 600 1 1");
    // The next window opens at the stored size, also in another instance that read its settings before the close.
    EXPECT_EQ (openAndClose (other), "600x750 0 0 480 600 1.25 1.25");

    // An edited size that breaks the ratio is applied as stored; the content follows the width.
    other.settingsFile->setValue (other.widthKey, 720);
    other.settingsFile->setValue (other.heightKey, 500);
    other.settingsFile->saveIfNeeded();
    EXPECT_EQ (openAndClose (other), "720x500 0 0 480 600 1.5 1.5");

    // A file the reader refuses (here a pipe) counts as none; the close puts the stored size in its place.
    const auto settings = other.settingsFile->getFile();
    settings.deleteFile();
    ASSERT_EQ (::mkfifo (settings.getFullPathName().toRawUTF8(), 0600), 0);
    CalythAudioProcessor third;
    EXPECT_EQ (openAndClose (third, resize), "480x600 0 0 480 600 1 1");
    EXPECT_EQ (openAndClose (third), "600x750 0 0 480 600 1.25 1.25");
    EXPECT_TRUE (settings.existsAsFile());
}
