// Preparation before playback and the audio callback.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    juce::ignoreUnused (maximumExpectedSamplesPerBlock);
    sampleRate = newSampleRate;
    inverseSampleRate = 1.0 / newSampleRate;
}

void CalythAudioProcessor::releaseResources() {}

void CalythAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ignoreUnused (midi);
    juce::ScopedNoDenormals noDenormals;

    handleProgramChanges (midi);
    handleControllerMessages (midi);

    for (auto ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels(); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

