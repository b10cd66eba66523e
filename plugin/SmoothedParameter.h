// Per-sample linear smoothing of one host parameter, filled once per block.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

struct SmoothedParameter
{
    explicit SmoothedParameter (float initialValue);

    /** Takes the block's target and writes `numSamples` successive values into `blockValues`
        (at most its length; callers split longer blocks). A target that is not finite keeps the
        previous one: a ramp from NaN would stay NaN to its end. */
    void process (float target, int numSamples) noexcept;
    /** Sets the ramp length, jumps to the target and makes `blockValues` hold `capacity` samples (before playback). */
    void prepare (int rampLengthInSamples, int capacity);

    const float* values() const noexcept { return blockValues.getReadPointer (0); }

    /** The unit of the gain smoothers: 10^(dB/20) in single precision, 0 at or below -100 dB; NaN
        stays NaN, so that the smoother keeps its target instead of falling silent. */
    static float decibelsToGain (float decibels) noexcept { return decibels <= -100.0f ? 0.0f : std::pow (10.0f, decibels * 0.05f); }

    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> smoothedValue;
    juce::AudioBuffer<float> blockValues;
};
