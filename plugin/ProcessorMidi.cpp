// The block's MIDI: program-change recall and controller messages.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::handleProgramChanges (const juce::MidiBuffer&) {}

void CalythAudioProcessor::handleControllerMessages (const juce::MidiBuffer&) {}
