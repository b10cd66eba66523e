// Helpers for tests that drive the processor's audio path.
#pragma once

#include "plugin/PluginProcessor.h"

namespace calyth::test
{
/** Sets a parameter to a value in its own range, as the host would. */
inline void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

inline void prepare (CalythAudioProcessor& processor, double rate, int blockSize)
{
    processor.enableAllBuses();
    processor.prepareToPlay (rate, blockSize);
}

/** A sine per channel, a different frequency on each. */
inline void fillWithSines (juce::AudioBuffer<float>& buffer, int offset, float level = 0.5f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * std::sin ((float) (offset + i) * (0.03f + 0.011f * (float) ch)));
}

/** One stereo block of the sines (or silence) through the processor; returns the output. */
inline juce::AudioBuffer<float> process (CalythAudioProcessor& processor, int numSamples, bool silent = true)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    juce::MidiBuffer midi;
    if (silent)
        buffer.clear(); // marked as cleared, as hosts pass silence
    else
        fillWithSines (buffer, 0);
    processor.processBlock (buffer, midi);
    return buffer;
}

inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (ch, i)))
                return false;
    return true;
}
} // namespace calyth::test
