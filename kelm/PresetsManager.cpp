// The presets folder, the preset file pattern and the program-change lookup of the "MIDI" subfolder.
#include "kelm/PresetsManager.h"

#include "kelm/DocumentReading.h"

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

bool PresetsManager::isPresetFile (const juce::File& file)
{
    // The pattern also matches ".cpst" itself and, on this platform, other cases of the extension.
    const auto name = file.getFileNameWithoutExtension();
    return name.isNotEmpty() && file.getFileName() == name + ".cpst" && isXmlText (name);
}

juce::File PresetsManager::fileInFolder (const juce::File& folder, const juce::String& fileName)
{
    if (fileName.isEmpty() || fileName == "." || fileName == ".." || fileName.containsChar (juce::File::getSeparatorChar()))
        return {};

    return juce::File (folder.getFullPathName() + juce::File::getSeparatorString() + fileName);
}

juce::File ProgramChangeManager::getPresetFileForMIDIProgramChange (const juce::StringArray& fileNames, int programNumber)
{
    if (programNumber < 0 || programNumber >= fileNames.size())
        return {};

    return PresetsManager::fileInFolder (midiFolder(), fileNames[programNumber]);
}
} // namespace kelm
