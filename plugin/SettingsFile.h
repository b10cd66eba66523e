// The window's settings file: the framework's properties file, read and written through the guarded reader and the checked writer.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

/** A `juce::PropertiesFile` whose base is given no file, so that the framework itself never reads
    or writes the disk: its reader takes any file whole (a pipe blocks it, deep nesting overflows
    the stack, thousands of keys cost seconds) and its writer may swap in a file cut short. These
    members hide the base's non-virtual namesakes; they work on the options' default file. */
class SettingsFile : public juce::PropertiesFile
{
public:
    explicit SettingsFile (const Options& settingsOptions);
    ~SettingsFile() override;

    /** Adds the file's values; a file refused by the guarded reader counts as no file. */
    bool reload();
    /** Writes every value in the framework's XML form, or leaves the file as it was and returns false. */
    bool save();
    bool saveIfNeeded();
    const juce::File& getFile() const noexcept { return location; }

    // A file of a handful of keys is a few hundred bytes, three levels deep.
    static constexpr juce::int64 maxBytes = 4096;
    static constexpr int maxDepth = 4, maxElements = 32;

private:
    void timerCallback() override;

    const juce::File location;
};
