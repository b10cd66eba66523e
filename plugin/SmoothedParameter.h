// Per-sample linear smoothing of one host parameter, filled once per block.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

struct SmoothedParameter
{
    explicit SmoothedParameter (float initialValue);

    /** Takes the block's target and writes `numSamples` successive values into `blockValues`. */
    void process (float target, int numSamples) noexcept;
    /** Sets the ramp length and jumps to the target (before playback). */
    void prepare (int rampLengthInSamples, int maxBlockSize);

    const float* values() const noexcept { return blockValues.getReadPointer (0); }

    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> smoothedValue;
    juce::AudioBuffer<float> blockValues;
};
