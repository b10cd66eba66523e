// Resonator, diffuser and DC blocker alone: the coefficients and delays the text gives, and the runaway guards.
#include <gtest/gtest.h>

#include "plugin/PoleChain.h"

namespace
{
ResonatorState makeResonator (float freq, float feedback)
{
    ResonatorState state;
    state.blockUpdate ({ freq, feedback }, 1.0 / 44100.0);
    return state;
}

std::unique_ptr<DiffuserState> makeDiffuser (float feedback, float damp)
{
    auto diffuser = std::make_unique<DiffuserState>();
    diffuser->blockUpdate ({ feedback, damp });
    return diffuser;
}
} // namespace

TEST (PoleChain, CoefficientsDelaysAndGuards)
{
    // 1 - 4 f / rate with the ratio in single precision; 1 - 126 / rate.
    EXPECT_FLOAT_EQ (makeResonator (80.0f, 0.5f).coefficient, 0.99274379f);
    EXPECT_FLOAT_EQ (makeResonator (960.0f, 0.5f).coefficient, 0.91292518f);
    EXPECT_TRUE (makeResonator (11025.0f, 0.5f).coefficient == 0.0f && makeResonator (NAN, 0.5f).coefficient == 0.0f);
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    EXPECT_FLOAT_EQ (blocker.coefficient, 0.99714285f);
    EXPECT_TRUE (blocker.sampleUpdate (1.0f) == 1.0f && blocker.sampleUpdate (1.0f) == blocker.coefficient); // a constant decays

    const struct { double rate; int delays[3]; } rates[] = {
        { 44100.0, { 1146, 1411, 1808 } }, { 48000.0, { 1248, 1536, 1968 } }, { 96000.0, { 2495, 3072, 3936 } }
    };
    for (const auto& r : rates)
    {
        DiffuserState diffuser;
        diffuser.updateSamplerate (r.rate);
        for (int line = 0; line < 3; ++line)
            EXPECT_EQ (diffuser.lines[line].delay, r.delays[line]) << r.rate;
    }

    // Runaway feedback and damping stay finite.
    for (const auto& [feedback, damp] : { std::pair { 5.0f, -3.0f }, { -50.0f, 2.5f }, { 1.0f, NAN }, { 1.0e30f, 1.0f }, { NAN, 0.5f } })
    {
        auto resonator = makeResonator (440.0f, feedback);
        auto diffuser = makeDiffuser (feedback, damp);
        for (int n = 0; n < 5000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (std::sin ((float) n * 0.05f)))
                         && std::isfinite (diffuser->sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
    }

    // Values inside the drawn ranges are used as they are; others are held where the loops settle.
    auto resonator = makeResonator (440.0f, 0.9f);
    auto diffuser = makeDiffuser (0.9f, 0.7f);
    EXPECT_TRUE (resonator.feedback == 0.9f && diffuser->feedback == 0.9f && diffuser->damp == 0.7f);
    EXPECT_TRUE (std::abs (makeResonator (440.0f, 5.0f).feedback) < 1.0f && std::abs (makeDiffuser (-50.0f, 2.5f)->feedback) < 1.0f);

    // A non-finite input is dropped and each loop starts again from silence.
    EXPECT_TRUE (resonator.sampleUpdate (NAN) == 0.0f && diffuser->sampleUpdate (INFINITY) == 0.0f && blocker.sampleUpdate (INFINITY) == 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)) && std::isfinite (diffuser->sampleUpdate (0.5f)));
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);
}
