// The block's MIDI: program-change recall and controller messages.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::handleProgramChanges (const juce::MidiBuffer& midi)
{
    int program = -1;

    for (const auto event : midi)
    {
        const auto* bytes = event.data;

        // The last program change of the block wins; a data byte with the top bit set is garbage.
        if (event.numBytes >= 2 && (bytes[0] & 0xf0) == 0xc0 && (bytes[1] & 0x80) == 0)
            program = bytes[1];
    }

    if (program < 0)
        return;

    lastProgramNumber.store (program);

    // With an editor open its timer loads the preset on the message thread.
    if (getActiveEditor() != nullptr)
    {
        programChangePending.store (true);
        return;
    }

    suspendProcessing (true);
    loadPresetFromFile (kelm::ProgramChangeManager::getPresetFileForMIDIProgramChange (midiPresetFiles, program));
    suspendProcessing (false);
}

void CalythAudioProcessor::handleControllerMessages (const juce::MidiBuffer& midi)
{
    ccMapper.applyControllerMessages (midi);
}
