// What the window's buttons do, the 100 ms timer, and the preset list and preset loading.
#include "editor/MainComponent.h"

#include "kelm/PresetsManager.h"
#include "plugin/PluginProcessor.h"

namespace
{
// The label shows the start of a long name: laying out a name that a chunk made megabytes long would cost
// the window gigabytes and seconds at every paint.
constexpr int maxShownNameLength = 256;
} // namespace

void MainComponent::buttonClicked (juce::Button* button)
{
    if (button == nullptr)
        return;

    if (button == regenerateWorldButton.get())
        processor.regenerateWorld();
    else if (button == randomizeTrajectoryButton.get())
        processor.trajectoryRandomizer.randomizeGroup (0);
    else if (button == presetNameButton.get())
        showPresetMenu();
    else if (button == previousPresetButton.get())
        stepPreset (-1);
    else if (button == nextPresetButton.get())
        stepPreset (1);
    else if (button == savePresetButton.get())
        savePreset();
    else if (button == settingsButton.get())
        showSettingsMenu();
    else
        for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        {
            if (button == regeneratePoleButtons[pole].get())
                processor.regeneratePole (pole);
            else if (button == editPoleButtons[pole].get())
                editButtonClicked (pole);
        }
}

void MainComponent::editButtonClicked (int pole)
{
    // The click has already toggled the button: the panels behave as a radio group.
    if (editPoleButtons[pole]->getToggleState())
    {
        for (int other = 0; other < CalythAudioProcessor::numPoles; ++other)
            if (other != pole)
                editPoleButtons[other]->setToggleState (false, juce::dontSendNotification);

        for (int i = 0; i < poleEditors.size(); ++i)
            poleEditors[i]->setVisible (i == pole);
    }
    else
    {
        for (auto* panel : poleEditors)
            panel->setVisible (false);
    }
}

juce::StringArray MainComponent::createPresetNamesArray()
{
    juce::StringArray names;
    const juce::File folder (kelm::PresetsManager::presetsFolderPath());

    if (folder.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (folder, false, kelm::PresetsManager::wildcardForfileChooser(),
                                                                juce::File::findFiles, juce::File::FollowSymlinks::yes))
            if (kelm::PresetsManager::isPresetFile (entry.getFile()))
                names.add (entry.getFile().getFileNameWithoutExtension());

    names.sortNatural();
    return names;
}

void MainComponent::loadPreset (juce::StringArray names, int position)
{
    if (! juce::isPositiveAndBelow (position, names.size()))
        return;

    // The extension is appended, not swapped in, so that a name with a dot of its own finds its file.
    const auto file = kelm::PresetsManager::fileInFolder (juce::File (kelm::PresetsManager::presetsFolderPath()), names[position] + ".cpst");
    processor.loadPresetFromFile (file);
}

void MainComponent::stepPreset (int direction)
{
    const auto names = createPresetNamesArray();
    const int n = names.size();

    if (n == 0)
        return;

    const int current = names.indexOf (processor.currentPresetName.get());
    // A name that is not in the folder ("INIT", a program-change preset) always selects the first.
    const int position = current < 0 ? 0 : (current + direction + n) % n;
    loadPreset (names, position);
}

juce::PopupMenu MainComponent::createPresetMenu (const juce::StringArray& names) const
{
    const auto current = processor.currentPresetName.get();
    juce::PopupMenu menu;

    for (int k = 1; k <= names.size(); ++k)
    {
        const auto& name = names[k - 1];

        if (name == current)
            menu.addColouredItem (k, name, CalythColours::presetControlsColour, true, false, nullptr);
        else
            menu.addItem (k, name);
    }

    return menu;
}

void MainComponent::showPresetMenu()
{
    const auto names = createPresetNamesArray();
    auto menu = createPresetMenu (names);
    const auto options = juce::PopupMenu::Options()
                             .withTargetComponent (presetNameButton.get())
                             .withItemThatMustBeVisible (1)
                             .withMinimumWidth (40)
                             .withMaximumNumColumns (4);
    presetMenuChosen (names, showMenu (menu, options));
}

void MainComponent::presetMenuChosen (const juce::StringArray& names, int result)
{
    if (result >= 1)
        loadPreset (names, result - 1);
}

void MainComponent::savePreset()
{
    juce::FileChooser chooser ("Save Preset", juce::File (kelm::PresetsManager::presetsFolderPath()),
                               kelm::PresetsManager::wildcardForfileChooser(), true, false, nullptr);
    savePresetChosen (chooseFile (chooser, juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                               | juce::FileBrowserComponent::warnAboutOverwriting));
}

void MainComponent::savePresetChosen (juce::File file)
{
    if (file == juce::File())
        return;

    // Appended rather than swapped in: "bright.v2" must not silently overwrite an existing "bright" preset.
    // The dialog warned about the name as chosen only, so the user is asked about the name that gets written.
    if (! file.hasFileExtension ("cpst"))
    {
        file = juce::File (file.getFullPathName() + ".cpst");

        if (file.exists() && ! askToReplace (file))
            return;
    }

    processor.savePresetToFile (file);
}

juce::PopupMenu MainComponent::createSettingsMenu()
{
    juce::PopupMenu midiMap;
    midiMap.setLookAndFeel (&lookAndFeel.get());
    midiMap.addItem (loadMidiMapItem, "LOAD");
    midiMap.addItem (saveMidiMapItem, "SAVE");
    midiMap.addItem (clearMidiMapItem, "CLEAR");

    juce::PopupMenu menu;
    menu.setLookAndFeel (&lookAndFeel.get());
    menu.addItem (reseedItem, "RESEED");
    menu.addSubMenu ("MIDI MAP", midiMap);
    menu.addItem (openPresetsFolderItem, "OPEN PRESETS DIRECTORY");
    menu.addItem (showSettingsFileItem, "SHOW PREFERENCES FILE");
    menu.addItem (titleItem, (juce::String (JucePlugin_Name) + " v " + JucePlugin_VersionString).toUpperCase(), false);
    return menu;
}

void MainComponent::showSettingsMenu()
{
    auto menu = createSettingsMenu();
    const auto options = juce::PopupMenu::Options()
                             .withTargetComponent (settingsButton.get())
                             .withItemThatMustBeVisible (1)
                             .withMinimumWidth (40);
    settingsMenuChosen (showMenu (menu, options));
}

void MainComponent::settingsMenuChosen (int result)
{
    const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    const auto pattern = juce::String ("*.") + "mpcc";

    switch (result)
    {
        case reseedItem:
            processor.worldRandom.setSeedRandomly();
            processor.trajectoryRandomizer.random.setSeedRandomly();
            break;

        case loadMidiMapItem:
        {
            juce::FileChooser chooser ("LOAD MIDI MAP", documents, pattern, true, false, nullptr);
            const auto file = chooseFile (chooser, juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles);

            // The map replaces the old one whole, under the lock the audio thread's reader shares.
            if (file != juce::File())
                processor.ccMapper.loadFromFile (file);
            break;
        }

        case saveMidiMapItem:
        {
            juce::FileChooser chooser ("SAVE MIDI MAP", documents, pattern, true, false, nullptr);
            const auto file = chooseFile (chooser, juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                                       | juce::FileBrowserComponent::warnAboutOverwriting);
            if (file != juce::File())
                processor.ccMapper.saveToFile (file);
            break;
        }

        case clearMidiMapItem:
            processor.ccMapper.removeAllBindings();
            break;

        case openPresetsFolderItem:
            juce::File (kelm::PresetsManager::presetsFolderPath()).revealToUser();
            break;

        case showSettingsFileItem:
            if (processor.settingsFile != nullptr)
                processor.settingsFile->getFile().revealToUser();
            break;

        default:
            break;
    }
}

void MainComponent::timerCallback()
{
    const auto name = processor.currentPresetName.get().substring (0, maxShownNameLength);

    if (presetNameLabel->getText() != name)
        presetNameLabel->setText (name, juce::dontSendNotification);

    if (processor.programChangePending.load())
        loadProgramChangePreset();

    refreshVisiblePanels();
}

void MainComponent::loadProgramChangePreset()
{
    // Cleared before the number is read: a program change arriving during the load raises it again.
    processor.programChangePending.store (false);
    const auto file = kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (processor.midiPresetFiles,
                                                                                     processor.lastProgramNumber.load());
    processor.loadPresetFromFile (file);
}

void MainComponent::refreshVisiblePanels()
{
    for (int pole = 0; pole < poleEditors.size(); ++pole)
    {
        auto* panel = poleEditors[pole];

        if (! panel->isVisible())
            continue;

        const bool linked = processor.calythParameters->rawValues[CalythParameters::stereoLinkA + pole]->load() > 0.5f;

        for (auto* knob : panel->rightGrainKnobs)
            knob->setEnabled (! linked);
        for (auto* knob : panel->rightResonatorKnobs)
            knob->setEnabled (! linked);

        panel->update_values();
    }
}
