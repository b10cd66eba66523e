// Resonator, diffuser and DC blocker alone: the guards against runaway loops, samples that are no numbers and rates
// the blocker cannot filter at (the reference model holds their arithmetic).
#include <gtest/gtest.h>

#include "plugin/PoleChain.h"

TEST (PoleChain, RunawayGuards)
{
    // Runaway feedback and damping stay finite; values inside the drawn ranges are used as they are.
    ResonatorState resonator;
    DiffuserState diffuser;
    for (const auto& [feedback, damp] : { std::pair { 5.0f, -3.0f }, { -50.0f, 2.5f }, { 1.0f, NAN }, { 1.0e30f, 1.0f }, { NAN, 0.5f }, { 0.9f, 0.7f } })
    {
        resonator.blockUpdate ({ 440.0f, feedback }, 1.0 / 44100.0);
        diffuser.blockUpdate ({ feedback, damp });
        for (int n = 0; n < 5000; ++n)
            ASSERT_TRUE (std::isfinite (resonator.sampleUpdate (std::sin ((float) n * 0.05f)))
                         && std::isfinite (diffuser.sampleUpdate (std::sin ((float) n * 0.01f)))) << feedback << " " << damp;
    }
    EXPECT_TRUE (resonator.feedback == 0.9f && diffuser.feedback == 0.9f && diffuser.damp == 0.7f);

    // A non-finite input is dropped and each loop starts again from silence.
    DcBlocker blocker;
    blocker.updateSamplerate (44100.0);
    EXPECT_TRUE (resonator.sampleUpdate (NAN) == 0.0f && diffuser.sampleUpdate (INFINITY) == 0.0f && blocker.sampleUpdate (INFINITY) == 0.0f);
    EXPECT_TRUE (std::isfinite (resonator.sampleUpdate (0.5f)) && std::isfinite (diffuser.sampleUpdate (0.5f)));
    EXPECT_EQ (blocker.sampleUpdate (0.25f), 0.25f);

    // At every rate the blocker stays stable, even for the worst input: full scale at the highest frequency.
    for (double rate : { 1.0, 40.0, 100.0, 126.0, 252.0 })
    {
        blocker.updateSamplerate (rate);
        EXPECT_EQ (blocker.coefficient, rate < 200.0 ? 0.0f : 0.5f) << rate;
        float peak = 0.0f;
        for (int i = 0; i < 400; ++i)
            peak = juce::jmax (peak, std::abs (blocker.sampleUpdate (i % 2 == 0 ? 1.0f : -1.0f)));
        EXPECT_LE (peak, 2.0f) << rate;
    }
}
