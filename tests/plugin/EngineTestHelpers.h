// Helpers for tests that drive the processor's audio path.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "plugin/PluginProcessor.h"

namespace calyth::test
{
/** Sets a parameter to a value in its own range, as the host would. */
inline void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** Every grain record at density 0: the wet path is exactly silent. */
inline void silenceGrains (CalythAudioProcessor& processor)
{
    for (auto* records : processor.granulizerParameters)
        for (auto* record : *records)
            record->density = 0;
}

/** A block of a sine per channel, different frequency per channel. */
inline void fillWithSines (juce::AudioBuffer<float>& buffer, int offset, float level = 0.5f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * std::sin ((float) (offset + i) * (0.03f + 0.011f * (float) ch)));
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
