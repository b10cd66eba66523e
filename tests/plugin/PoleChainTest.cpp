// Resonator, diffuser and DC blocker alone: the guards against runaway loops and samples that are no numbers (the
// reference model holds their arithmetic).
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

TEST (PoleChain, RunawayGuards)
{
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);

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
