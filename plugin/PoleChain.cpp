// Resonator, diffuser and DC blocker.
#include "plugin/PoleChain.h"

#include <cmath>
#include <limits>

namespace
{
// Loops with a feedback of magnitude one or more never settle. Values inside the drawn and editable
// ranges pass unchanged; anything else is held just inside the stable region.
float stableFeedback (float value) noexcept
{
    if (std::isnan (value))
        return 0.0f;
    return juce::jlimit (-0.999f, 0.999f, value);
}
} // namespace

void ResonatorState::blockUpdate (const ResonatorParameters& parameters, double inverseSampleRate)
{
    freq = parameters.freq;
    feedback = stableFeedback (parameters.feedback);

    const float p = freq * (float) inverseSampleRate;
    const double c = 1.0 - 4.0 * (double) p;
    coefficient = c > 0.0 ? (float) juce::jmin (c, 1.0) : 0.0f;
}

float ResonatorState::sampleUpdate (float input)
{
    float v = lastOut * feedback + input;

    for (auto& s : allpassState)
    {
        const float w = coefficient * s + v;
        const float y = s - coefficient * w;
        s = w;
        v = y;
    }

    // A non-finite input would stay in the loop for ever: start again from silence.
    if (! std::isfinite (v))
    {
        reset();
        return 0.0f;
    }

    lastOut = v;
    return v;
}

void ResonatorState::reset()
{
    for (auto& s : allpassState)
        s = 0.0f;
    lastOut = 0.0f;
}

void ResonatorQuad::load (ResonatorState* const* r) noexcept
{
    for (int k = 0; k < 6; ++k)
        allpassState[k] = _mm_setr_ps (r[0]->allpassState[k], r[1]->allpassState[k], r[2]->allpassState[k], r[3]->allpassState[k]);
    lastOut = _mm_setr_ps (r[0]->lastOut, r[1]->lastOut, r[2]->lastOut, r[3]->lastOut);
    coefficient = _mm_setr_ps (r[0]->coefficient, r[1]->coefficient, r[2]->coefficient, r[3]->coefficient);
    feedback = _mm_setr_ps (r[0]->feedback, r[1]->feedback, r[2]->feedback, r[3]->feedback);
}

void ResonatorQuad::store (ResonatorState* const* r) const noexcept
{
    // Through a local copy: stores into one resonator need then not be taken to move the others.
    float lanes[7][4];
    for (int k = 0; k < 6; ++k)
        _mm_storeu_ps (lanes[k], allpassState[k]);
    _mm_storeu_ps (lanes[6], lastOut);

    for (int i = 0; i < 4; ++i)
    {
        auto& resonator = *r[i];
        for (int k = 0; k < 6; ++k)
            resonator.allpassState[k] = lanes[k][i];
        resonator.lastOut = lanes[6][i];
    }
}

namespace
{
// A lane that is no longer finite starts again from silence, as ResonatorState::sampleUpdate does.
__m128 finishQuad (ResonatorQuad& q, __m128 v) noexcept
{
    const __m128 magnitude = _mm_andnot_ps (_mm_set1_ps (-0.0f), v);
    const __m128 finite = _mm_cmple_ps (magnitude, _mm_set1_ps (std::numeric_limits<float>::max()));
    if (_mm_movemask_ps (finite) != 0xf)
    {
        for (auto& s : q.allpassState)
            s = _mm_and_ps (s, finite);
        v = _mm_and_ps (v, finite);
    }
    q.lastOut = v;
    return v;
}
} // namespace

void ResonatorQuad::sampleUpdate (float* values) noexcept
{
    __m128 v = _mm_add_ps (_mm_mul_ps (lastOut, feedback), _mm_loadu_ps (values));

    for (auto& s : allpassState)
    {
        const __m128 w = _mm_add_ps (_mm_mul_ps (coefficient, s), v);
        v = _mm_sub_ps (s, _mm_mul_ps (coefficient, w));
        s = w;
    }

    _mm_storeu_ps (values, finishQuad (*this, v));
}

void ResonatorQuad::sampleUpdate (ResonatorQuad& a, float* aValues, ResonatorQuad& b, float* bValues) noexcept
{
    __m128 va = _mm_add_ps (_mm_mul_ps (a.lastOut, a.feedback), _mm_loadu_ps (aValues));
    __m128 vb = _mm_add_ps (_mm_mul_ps (b.lastOut, b.feedback), _mm_loadu_ps (bValues));

    for (int k = 0; k < 6; ++k)
    {
        const __m128 wa = _mm_add_ps (_mm_mul_ps (a.coefficient, a.allpassState[k]), va);
        const __m128 wb = _mm_add_ps (_mm_mul_ps (b.coefficient, b.allpassState[k]), vb);
        va = _mm_sub_ps (a.allpassState[k], _mm_mul_ps (a.coefficient, wa));
        vb = _mm_sub_ps (b.allpassState[k], _mm_mul_ps (b.coefficient, wb));
        a.allpassState[k] = wa;
        b.allpassState[k] = wb;
    }

    _mm_storeu_ps (aValues, finishQuad (a, va));
    _mm_storeu_ps (bValues, finishQuad (b, vb));
}

AllpassDelayLine::AllpassDelayLine (float g, int d) : buffer (44100, true), gain (g), delay (d) {}

void AllpassDelayLine::updateSamplerate (double newSampleRate)
{
    if (newSampleRate != sampleRate)
    {
        const float ratio = (float) (int) newSampleRate / (float) length;
        delay = (int) ((float) delay * ratio) + 1;
    }

    sampleRate = newSampleRate;
    const int newLength = juce::jmax (1, (int) newSampleRate);

    if (newLength != length)
        buffer.allocate ((size_t) newLength, true);
    else
        clear();

    length = newLength;
    delay = juce::jlimit (1, juce::jmax (1, length - 1), delay);
    readIndex = writeIndex = 0;
}

void AllpassDelayLine::clear() noexcept
{
    std::fill (buffer.get(), buffer.get() + length, 0.0f);
}

DiffuserState::DiffuserState() : lines { { 0.72f, 1146 }, { 0.73f, 1411 }, { 0.76f, 1808 } } {}

void DiffuserState::blockUpdate (const DiffuserParameters& parameters)
{
    feedback = stableFeedback (parameters.feedback);

    // The lowpass in the loop is stable for a damping of 0 to 1 only.
    const float d = parameters.damp;
    damp = std::isnan (d) ? 1.0f : juce::jlimit (0.0f, 1.0f, d);
}

float DiffuserState::sampleUpdate (float send)
{
    DiffuserRun run (*this);
    const float v = run.sampleUpdate (send);
    run.store();
    return v;
}

void DiffuserState::updateSamplerate (double newSampleRate)
{
    for (auto& line : lines)
        line.updateSamplerate (newSampleRate);

    lastOut = lowpassState = 0.0f;
}

void DiffuserState::clear() noexcept
{
    for (auto& line : lines)
        line.clear();

    lastOut = lowpassState = 0.0f;
}

void DcBlocker::updateSamplerate (double newSampleRate)
{
    const auto r = (double) (float) newSampleRate;
    // Below 126 Hz the formula turns negative and, below 63 Hz, unstable: there the blocker only differentiates.
    coefficient = (float) juce::jmax (0.0, 1.0 + (-126.0 / r));
    x1 = y1 = 0.0f;
}

float DcBlocker::sampleUpdate (float x)
{
    const float y = (x - x1) + coefficient * y1;

    if (! std::isfinite (y))
    {
        x1 = y1 = 0.0f;
        return 0.0f;
    }

    x1 = x;
    y1 = y;
    return y;
}
