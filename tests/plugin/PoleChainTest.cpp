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
    // 1 - 4 f / rate with the ratio in single precision; 1 - 126 / rate; delays of 26, 32 and 41 ms rescaled.
    EXPECT_EQ (std::pair (makeResonator (80.0f, 0.5f).coefficient, makeResonator (960.0f, 0.5f).coefficient), std::pair (0.99274379f, 0.91292518f));
    EXPECT_TRUE (makeResonator (11025.0f, 0.5f).coefficient == 0.0f && makeResonator (NAN, 0.5f).coefficient == 0.0f);
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    EXPECT_EQ (blocker.coefficient, 0.99714285f);
    const struct { double rate; int delays[3]; } rates[] = { { 44100.0, { 1146, 1411, 1808 } }, { 48000.0, { 1248, 1536, 1968 } },
                                                             { 96000.0, { 2495, 3072, 3936 } } };
    for (const auto& r : rates)
    {
        DiffuserState diffuser;
        diffuser.updateSamplerate (r.rate);
        EXPECT_EQ (std::tuple (diffuser.lines[0].delay, diffuser.lines[1].delay, diffuser.lines[2].delay), std::tuple (r.delays[0], r.delays[1], r.delays[2]));
    }

    // Runaway feedback and damping stay finite; values inside the drawn ranges are used as they are.
    for (const auto& [feedback, damp] : { std::pair { 5.0f, -3.0f }, { -50.0f, 2.5f }, { 1.0f, NAN }, { 1.0e30f, 1.0f }, { NAN, 0.5f } })
    {
        auto resonator = makeResonator (440.0f, feedback);
        auto diffuser = makeDiffuser (feedback, damp);
        for (int n = 0; n < 5000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (std::sin ((float) n * 0.05f)))
                         && std::isfinite (diffuser->sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
    }
    auto resonator = makeResonator (440.0f, 0.9f);
    auto diffuser = makeDiffuser (0.9f, 0.7f);
    EXPECT_TRUE (resonator.feedback == 0.9f && diffuser->feedback == 0.9f && diffuser->damp == 0.7f);

    // A non-finite input is dropped and each loop starts again from silence.
    EXPECT_TRUE (resonator.sampleUpdate (NAN) == 0.0f && diffuser->sampleUpdate (INFINITY) == 0.0f && blocker.sampleUpdate (INFINITY) == 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)) && std::isfinite (diffuser->sampleUpdate (0.5f)));
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);
}
