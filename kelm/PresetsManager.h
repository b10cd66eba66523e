// The presets folder, the preset file pattern and the program-change lookup of the "MIDI" subfolder.
#pragma once

#include <juce_core/juce_core.h>

namespace kelm
{
class PresetsManager
{
public:
    PresetsManager() = delete;

    /** The user's home followed by /Library/Audio/Presets/Kelmor_Vantage/Calyth. Built on first
        use, so that it follows the home folder the process has when it first asks. */
    static const juce::String& presetsFolderPath();

    /** The preset file pattern, "*.cpst". */
    static juce::String wildcardForfileChooser();

    /** Creates the presets folder and its "MIDI" subfolder when missing; failures are ignored. */
    static void createPresetsFolders();

    /** The preset files directly inside the "MIDI" subfolder: names with extension, natural order. */
    static juce::StringArray listMidiPresetFiles();

    /** True for a file the window's preset list shows: a non-empty name that a preset load accepts,
        followed by ".cpst" exactly, since loading appends that extension to the listed name. The "MIDI"
        listing keeps whole file names and loads them as listed, so it needs no such rule. */
    static bool isPresetFile (const juce::File& file);

    /** The file of that name directly inside the folder, or the empty file for a name that is no plain
        file name. Never read as a path of its own: the framework takes a leading '~' as the home folder. */
    static juce::File fileInFolder (const juce::File& folder, const juce::String& fileName);
};

class ProgramChangeManager
{
public:
    ProgramChangeManager() = delete;

    /** The "MIDI" subfolder's file for the program number, or the empty file when there is none. */
    static juce::File getPresetFileForMIDIProgramChange (const juce::StringArray& fileNames, int programNumber);
};
} // namespace kelm
