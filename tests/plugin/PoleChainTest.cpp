// Resonator, diffuser and DC blocker alone: coefficients, delays, impulse responses and runaway guards.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plugin/PoleChain.h"

namespace
{
ResonatorState makeResonator (float freq, float feedback, double rate = 44100.0)
{
    ResonatorParameters record;
    record.freq = freq;
    record.feedback = feedback;
    ResonatorState state;
    state.blockUpdate (record, 1.0 / rate);
    return state;
}
} // namespace

TEST (PoleChain, ResonatorCoefficients)
{
    // c = 1 - 4 f / rate, the ratio in single precision.
    EXPECT_FLOAT_EQ (makeResonator (80.0f, 0.5f).coefficient, 0.99274379f);
    EXPECT_FLOAT_EQ (makeResonator (960.0f, 0.5f).coefficient, 0.91292518f);
    EXPECT_FLOAT_EQ (makeResonator (220.0f, 0.5f).coefficient, 0.98004538f);
    EXPECT_EQ (makeResonator (11025.0f, 0.5f).coefficient, 0.0f);
    EXPECT_EQ (makeResonator (20000.0f, 0.5f).coefficient, 0.0f);
    EXPECT_EQ (makeResonator (-100.0f, 0.5f).coefficient, 1.0f);
    EXPECT_EQ (makeResonator (12000.0f, 0.5f, 48000.0).coefficient, 0.0f);
    EXPECT_EQ (makeResonator (std::numeric_limits<float>::quiet_NaN(), 0.5f).coefficient, 0.0f);

    const auto state = makeResonator (300.0f, 0.9f);
    EXPECT_EQ (state.freq, 300.0f);
    EXPECT_EQ (state.feedback, 0.9f);
}

TEST (PoleChain, ResonatorAtAQuarterOfTheRateIsASixSampleDelay)
{
    auto state = makeResonator (11025.0f, 0.0f);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ (state.sampleUpdate (n == 0 ? 1.0f : 0.0f), n == 6 ? 1.0f : 0.0f) << n;

    // With feedback the delayed impulse returns every seven samples, scaled each time.
    state = makeResonator (11025.0f, 0.5f);
    float out[20];
    for (int n = 0; n < 20; ++n)
        out[n] = state.sampleUpdate (n == 0 ? 1.0f : 0.0f);
    EXPECT_EQ (out[6], 1.0f);
    EXPECT_EQ (out[13], 0.5f);
    EXPECT_EQ (out[19], 0.0f);

    state.reset();
    EXPECT_EQ (state.lastOut, 0.0f);
    EXPECT_EQ (state.sampleUpdate (0.0f), 0.0f);
}

TEST (PoleChain, DiffuserDelaysFollowTheRate)
{
    DiffuserState diffuser;
    EXPECT_EQ (diffuser.lines[0].delay, 1146);
    EXPECT_EQ (diffuser.lines[1].delay, 1411);
    EXPECT_EQ (diffuser.lines[2].delay, 1808);
    EXPECT_EQ (diffuser.lines[0].gain, 0.72f);
    EXPECT_EQ (diffuser.lines[1].gain, 0.73f);
    EXPECT_EQ (diffuser.lines[2].gain, 0.76f);

    diffuser.updateSamplerate (44100.0);
    EXPECT_EQ (diffuser.lines[2].delay, 1808);

    diffuser.updateSamplerate (48000.0);
    EXPECT_EQ (diffuser.lines[0].delay, 1248);
    EXPECT_EQ (diffuser.lines[1].delay, 1536);
    EXPECT_EQ (diffuser.lines[2].delay, 1968);
    EXPECT_EQ (diffuser.lines[0].length, 48000);

    DiffuserState other;
    other.updateSamplerate (96000.0);
    EXPECT_EQ (other.lines[0].delay, 2495);
    EXPECT_EQ (other.lines[1].delay, 3072);
    EXPECT_EQ (other.lines[2].delay, 3936);
    EXPECT_EQ (other.lines[2].length, 96000);
}

TEST (PoleChain, DiffuserImpulseResponse)
{
    const float g = (-0.72f) * (-0.73f) * (-0.76f); // an impulse through three empty lines

    DiffuserParameters record;
    record.feedback = 0.0f;
    record.damp = 1.0f;
    DiffuserState diffuser;
    diffuser.blockUpdate (record);

    EXPECT_NEAR (diffuser.sampleUpdate (1.0f), g, 1e-7f);
    for (int n = 1; n < 1146; ++n)
        ASSERT_EQ (diffuser.sampleUpdate (0.0f), 0.0f) << n;
    // The first line gives back its stored impulse: 1 - 0.72^2, through the other two.
    EXPECT_NEAR (diffuser.sampleUpdate (0.0f), (1.0f - 0.72f * 0.72f) * 0.73f * 0.76f, 1e-6f);

    // Feedback 0.5 with damp 1: the send is scaled by 1 - 0.65 * 0.5 and the output comes back unfiltered.
    record.feedback = 0.5f;
    DiffuserState fed;
    fed.blockUpdate (record);
    EXPECT_NEAR (fed.sampleUpdate (1.0f), g * 0.675f, 1e-6f);
    EXPECT_NEAR (fed.sampleUpdate (0.0f), g * (g * 0.675f) * 0.5f, 1e-6f);

    // Damp 0 holds the lowpass at its state (0 here): nothing is fed back.
    record.damp = 0.0f;
    DiffuserState frozen;
    frozen.blockUpdate (record);
    frozen.sampleUpdate (1.0f);
    EXPECT_EQ (frozen.sampleUpdate (0.0f), 0.0f);
}

TEST (PoleChain, DcBlocker)
{
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    EXPECT_FLOAT_EQ (blocker.coefficient, 0.99714285f);

    // A constant input decays by the coefficient per sample.
    const float c = blocker.coefficient;
    EXPECT_EQ (blocker.sampleUpdate (1.0f), 1.0f);
    EXPECT_EQ (blocker.sampleUpdate (1.0f), c);
    EXPECT_EQ (blocker.sampleUpdate (1.0f), c * c);

    blocker.updateSamplerate (48000.0);
    EXPECT_FLOAT_EQ (blocker.coefficient, 0.99737501f);
    EXPECT_EQ (blocker.x1, 0.0f);
    EXPECT_EQ (blocker.y1, 0.0f);

    // A non-finite sample does not stay in the filter.
    EXPECT_EQ (blocker.sampleUpdate (std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);
}

TEST (PoleChain, RunawayFeedbackStaysFinite)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();

    for (float feedback : { 5.0f, -5.0f, 1.0f, 1.0e30f, nan })
    {
        auto resonator = makeResonator (440.0f, feedback);
        EXPECT_LE (std::abs (resonator.feedback), 1.0f);
        for (int n = 0; n < 20000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (0.9f * std::sin ((float) n * 0.05f)))) << feedback;
    }

    for (float feedback : { 50.0f, -50.0f, nan })
        for (float damp : { -3.0f, 2.5f, 1.0f, nan })
        {
            DiffuserParameters record;
            record.feedback = feedback;
            record.damp = damp;
            DiffuserState diffuser;
            diffuser.blockUpdate (record);
            for (int n = 0; n < 50000; ++n)
                ASSERT_TRUE (std::isfinite (diffuser.sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
        }

    // Values inside the drawn ranges are used as they are.
    DiffuserParameters record;
    record.feedback = 0.9f;
    record.damp = 0.7f;
    DiffuserState diffuser;
    diffuser.blockUpdate (record);
    EXPECT_EQ (diffuser.feedback, 0.9f);
    EXPECT_EQ (diffuser.damp, 0.7f);

    // A non-finite input is dropped and the loop starts again from silence.
    auto resonator = makeResonator (440.0f, 0.5f);
    EXPECT_EQ (resonator.sampleUpdate (nan), 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)));
    EXPECT_EQ (diffuser.sampleUpdate (std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_TRUE (std::isfinite (diffuser.sampleUpdate (0.5f)));
}
