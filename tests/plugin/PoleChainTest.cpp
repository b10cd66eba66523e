// Resonator, diffuser and DC blocker alone: coefficients, delays, impulse responses and runaway guards.
#include <gtest/gtest.h>

#include <limits>

#include "plugin/PoleChain.h"

namespace
{
ResonatorState makeResonator (float freq, float feedback)
{
    ResonatorParameters record;
    record.freq = freq;
    record.feedback = feedback;
    ResonatorState state;
    state.blockUpdate (record, 1.0 / 44100.0);
    return state;
}

DiffuserState* makeDiffuser (float feedback, float damp)
{
    DiffuserParameters record;
    record.feedback = feedback;
    record.damp = damp;
    auto* diffuser = new DiffuserState();
    diffuser->blockUpdate (record);
    return diffuser;
}
} // namespace

TEST (PoleChain, CoefficientsAndDelaysFollowTheRate)
{
    // 1 - 4 f / rate with the ratio in single precision; 1 - 126 / rate.
    EXPECT_FLOAT_EQ (makeResonator (80.0f, 0.5f).coefficient, 0.99274379f);
    EXPECT_FLOAT_EQ (makeResonator (960.0f, 0.5f).coefficient, 0.91292518f);
    EXPECT_EQ (makeResonator (11025.0f, 0.5f).coefficient, 0.0f);
    EXPECT_EQ (makeResonator (std::numeric_limits<float>::quiet_NaN(), 0.5f).coefficient, 0.0f);
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    EXPECT_FLOAT_EQ (blocker.coefficient, 0.99714285f);

    DiffuserState diffuser;
    const int delays[3][3] = { { 1146, 1411, 1808 }, { 1248, 1536, 1968 }, { 2495, 3072, 3936 } };
    diffuser.updateSamplerate (44100.0);
    for (int line = 0; line < 3; ++line)
        EXPECT_EQ (diffuser.lines[line].delay, delays[0][line]);
    diffuser.updateSamplerate (48000.0);
    for (int line = 0; line < 3; ++line)
        EXPECT_EQ (diffuser.lines[line].delay, delays[1][line]);
    DiffuserState other;
    other.updateSamplerate (96000.0);
    for (int line = 0; line < 3; ++line)
        EXPECT_EQ (other.lines[line].delay, delays[2][line]);
}

TEST (PoleChain, ImpulseResponses)
{
    // Coefficient 0 turns each stage into a one-sample delay; the feedback returns the output 7 samples on.
    auto resonator = makeResonator (11025.0f, 0.5f);
    float out[14];
    for (int n = 0; n < 14; ++n)
        out[n] = resonator.sampleUpdate (n == 0 ? 1.0f : 0.0f);
    EXPECT_EQ (out[5], 0.0f);
    EXPECT_EQ (out[6], 1.0f);
    EXPECT_EQ (out[13], 0.5f);

    // An impulse through three empty lines, then the first line's return: 1 - 0.72^2.
    const float g = -0.72f * 0.73f * 0.76f;
    std::unique_ptr<DiffuserState> plain (makeDiffuser (0.0f, 1.0f));
    EXPECT_NEAR (plain->sampleUpdate (1.0f), g, 1e-7f);
    for (int n = 1; n < 1146; ++n)
        ASSERT_EQ (plain->sampleUpdate (0.0f), 0.0f) << n;
    EXPECT_NEAR (plain->sampleUpdate (0.0f), (1.0f - 0.72f * 0.72f) * 0.73f * 0.76f, 1e-6f);

    // Feedback 0.5, damp 1: the send is scaled by 1 - 0.65 * 0.5 and the output fed back unfiltered.
    std::unique_ptr<DiffuserState> fed (makeDiffuser (0.5f, 1.0f));
    EXPECT_NEAR (fed->sampleUpdate (1.0f), g * 0.675f, 1e-6f);
    EXPECT_NEAR (fed->sampleUpdate (0.0f), g * g * 0.675f * 0.5f, 1e-6f);

    // A constant input decays at the DC blocker's output by the coefficient per sample.
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    const float c = blocker.coefficient;
    EXPECT_EQ (blocker.sampleUpdate (1.0f), 1.0f);
    EXPECT_EQ (blocker.sampleUpdate (1.0f), c);
    EXPECT_EQ (blocker.sampleUpdate (1.0f), c * c);
}

TEST (PoleChain, RunawayFeedbackAndNonFiniteInputStayFinite)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (float feedback : { 5.0f, -5.0f, 1.0f, 1.0e30f, nan })
    {
        auto resonator = makeResonator (440.0f, feedback);
        for (int n = 0; n < 20000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (0.9f * std::sin ((float) n * 0.05f)))) << feedback;
    }
    for (float feedback : { 50.0f, -50.0f, nan })
        for (float damp : { -3.0f, 2.5f, nan })
        {
            std::unique_ptr<DiffuserState> diffuser (makeDiffuser (feedback, damp));
            for (int n = 0; n < 50000; ++n)
                ASSERT_TRUE (std::isfinite (diffuser->sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
        }

    // Values inside the drawn ranges are used as they are.
    EXPECT_EQ (makeResonator (440.0f, 0.9f).feedback, 0.9f);
    std::unique_ptr<DiffuserState> diffuser (makeDiffuser (0.9f, 0.7f));
    EXPECT_EQ (diffuser->feedback, 0.9f);
    EXPECT_EQ (diffuser->damp, 0.7f);

    // A non-finite input is dropped and each loop starts again from silence.
    auto resonator = makeResonator (440.0f, 0.5f);
    DcBlocker blocker;
    EXPECT_EQ (resonator.sampleUpdate (nan), 0.0f);
    EXPECT_EQ (diffuser->sampleUpdate (inf), 0.0f);
    EXPECT_EQ (blocker.sampleUpdate (inf), 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)) && std::isfinite (diffuser->sampleUpdate (0.5f)));
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);
}
