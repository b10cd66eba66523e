// Engine states behind the grain clouds: the allpass resonator, the diffuser and the DC blocker.
#pragma once

#include <juce_core/juce_core.h>

#include <cmath>

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

/** A diffuser's loop held in locals for a stretch of samples, giving the same samples as its sampleUpdate:
    taken from the diffuser when made and handed back by store. */
struct DiffuserRun
{
    explicit DiffuserRun (DiffuserState& diffuser) noexcept : state (diffuser)
    {
        for (int i = 0; i < 3; ++i)
        {
            auto& line = diffuser.lines[i];
            lines[i] = { line.buffer.get(), line.length, line.writeIndex, line.readIndex, line.delay, line.gain };
        }
    }

    float sampleUpdate (float send) noexcept
    {
        const float lp = (lastOut * feedback) * damp + (1.0f - damp) * lowpassState;
        float v = (feedback * -0.65f + 1.0f) * send + lp;

        for (auto& line : lines)
        {
            line.readIndex = line.writeIndex - line.delay;
            if (line.readIndex < 0)
                line.readIndex += line.length;

            const float d = line.buffer[line.readIndex];
            const float w = d * line.gain + v;
            line.buffer[line.writeIndex] = w;
            const float y = d - line.gain * w;

            if (++line.writeIndex >= line.length)
                line.writeIndex = 0;

            v = y;
        }

        // A non-finite value would stay in the loop for ever: start again from silence.
        if (! std::isfinite (v))
        {
            state.clear();
            lastOut = lowpassState = 0.0f;
            return 0.0f;
        }

        lowpassState = lp;
        lastOut = v;
        return v;
    }

    void store() const noexcept
    {
        state.lastOut = lastOut;
        state.lowpassState = lowpassState;
        for (int i = 0; i < 3; ++i)
        {
            state.lines[i].writeIndex = lines[i].writeIndex;
            state.lines[i].readIndex = lines[i].readIndex;
        }
    }

    struct Line
    {
        float* buffer;
        int length, writeIndex, readIndex, delay;
        float gain;
    };

    DiffuserState& state;
    const float feedback = state.feedback, damp = state.damp;
    float lastOut = state.lastOut, lowpassState = state.lowpassState;
    Line lines[3];
};

struct DcBlocker
{
    float x1 = 0.0f;
    float y1 = 0.0f;
    float coefficient = 0.0f;

    void updateSamplerate (double newSampleRate);
    float sampleUpdate (float x);
};
