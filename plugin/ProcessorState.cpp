// The host state chunk and the engine children of stored documents.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::getStateInformation (juce::MemoryBlock& destData) { juce::ignoreUnused (destData); }
void CalythAudioProcessor::setStateInformation (const void* data, int sizeInBytes) { juce::ignoreUnused (data, sizeInBytes); }

juce::ValueTree CalythAudioProcessor::save_diffuser_parameters (int, const juce::String& type) { return juce::ValueTree (type); }
juce::ValueTree CalythAudioProcessor::save_granulizer_parameters (int, int, const juce::String& type) { return juce::ValueTree (type); }
juce::ValueTree CalythAudioProcessor::save_resonator_parameters (int, int, const juce::String& type) { return juce::ValueTree (type); }
void CalythAudioProcessor::restore_diffuser_parameters (int, const juce::ValueTree&) {}
void CalythAudioProcessor::restore_granulizer_parameters (int, int, const juce::ValueTree&) {}
void CalythAudioProcessor::restore_resonator_parameters (int, int, const juce::ValueTree&) {}
