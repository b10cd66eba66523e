// Engine states behind the grain clouds: the allpass resonator, the diffuser and the DC blocker.
#pragma once

#include <juce_core/juce_core.h>

#include <xmmintrin.h>

#include "plugin/EngineSettings.h"

struct ResonatorState
{
    float freq = 220.0f;
    float feedback = 0.9f;
    float allpassState[6] = {};
    float lastOut = 0.0f;
    float coefficient = 0.9f;

    void blockUpdate (const ResonatorParameters& parameters, double inverseSampleRate);
    float sampleUpdate (float input);
    void reset();
};

/** Four resonators side by side, one per vector lane, giving the same samples as their own sampleUpdate:
    taken from the resonators before a stretch of samples and handed back after it. */
struct ResonatorQuad
{
    void load (ResonatorState* const* resonators) noexcept;
    void store (ResonatorState* const* resonators) const noexcept;
    /** One sample of each resonator: values[i] goes into resonator i and its output comes back in its place. */
    void sampleUpdate (float* values) noexcept;
    /** sampleUpdate of two quads at once, their steps interleaved so that neither waits for the other. */
    static void sampleUpdate (ResonatorQuad& a, float* aValues, ResonatorQuad& b, float* bValues) noexcept;

    __m128 allpassState[6], lastOut, coefficient, feedback;
};

struct AllpassDelayLine
{
    AllpassDelayLine (float gain, int delay);

    /** Rescales the delay when the rate changes, then renews the memory: one second of silence. */
    void updateSamplerate (double newSampleRate);
    void clear() noexcept;

    juce::HeapBlock<float> buffer;
    int length = 44100;
    int readIndex = 0;
    int writeIndex = 0;
    double sampleRate = 44100.0;
    float gain;
    int delay;

    JUCE_DECLARE_NON_COPYABLE (AllpassDelayLine)
};

struct DiffuserState
{
    DiffuserState();

    float feedback = 0.0f;
    float damp = 1.0f;
    float lastOut = 0.0f;
    float lowpassState = 0.0f;
    AllpassDelayLine lines[3];

    void blockUpdate (const DiffuserParameters& parameters);
    float sampleUpdate (float send);
    void updateSamplerate (double newSampleRate);
    /** Silences the lines and the loop. */
    void clear() noexcept;

    JUCE_DECLARE_NON_COPYABLE (DiffuserState)
};

struct DcBlocker
{
    float x1 = 0.0f;
    float y1 = 0.0f;
    float coefficient = 0.0f;

    void updateSamplerate (double newSampleRate);
    float sampleUpdate (float x);
};
