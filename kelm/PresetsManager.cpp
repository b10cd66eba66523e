// The presets folder, the preset file pattern and the program-change lookup of the "MIDI" subfolder.
#include "kelm/PresetsManager.h"

namespace kelm
{
namespace
{
const char* const midiFolderName = "MIDI";

juce::File midiFolder() { return juce::File (PresetsManager::presetsFolderPath()).getChildFile (midiFolderName); }
} // namespace

const juce::String& PresetsManager::presetsFolderPath()
{
    static const juce::String path = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName()
                                     + "/Library/Audio/Presets/" + "Kelmor_Vantage" + "/" + "Calyth";
    return path;
}

juce::String PresetsManager::wildcardForfileChooser() { return juce::String ("*.") + "cpst"; }

void PresetsManager::createPresetsFolders()
{
    juce::File (presetsFolderPath()).createDirectory();
    midiFolder().createDirectory();
}

juce::StringArray PresetsManager::listMidiPresetFiles()
{
    juce::StringArray names;
    const auto folder = midiFolder();

    if (folder.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (folder, false, wildcardForfileChooser(), juce::File::findFiles))
            names.add (entry.getFile().getFileName());

    names.sortNatural();
    return names;
}

juce::File ProgramChangeManager::getPresetFileForMIDIProgramChange (const juce::StringArray& fileNames, int programNumber)
{
    if (programNumber < 0 || programNumber >= fileNames.size())
        return {};

    return midiFolder().getChildFile (fileNames[programNumber]);
}
} // namespace kelm
