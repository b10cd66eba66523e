// Four resonators side by side sound exactly as each one alone, through loops that blow up and start again.
#include <gtest/gtest.h>

#include "plugin/PoleChain.h"

#include <cmath>
#include <cstring>
#include <limits>

TEST (ResonatorQuad, MatchesFourResonatorsBitForBit)
{
    ResonatorState alone[4], sideBySide[4];
    const float freqs[] = { 55.0f, 440.0f, 3000.0f, 11000.0f }, feedbacks[] = { 0.99f, -0.5f, 0.0f, 0.9f };
    for (int i = 0; i < 4; ++i)
    {
        ResonatorParameters parameters;
        parameters.freq = freqs[i];
        parameters.feedback = feedbacks[i];
        alone[i].blockUpdate (parameters, 1.0 / 44100.0);
        sideBySide[i].blockUpdate (parameters, 1.0 / 44100.0);
    }
    ResonatorState* quadOf[] = { &sideBySide[0], &sideBySide[1], &sideBySide[2], &sideBySide[3] };

    int resets = 0;
    for (int stretch = 0; stretch < 20; ++stretch)
    {
        ResonatorQuad quad;
        quad.load (quadOf);
        for (int t = 0; t < 50; ++t)
        {
            float in[4];
            for (int i = 0; i < 4; ++i)
                in[i] = std::sin ((float) (stretch * 50 + t) * (0.1f + 0.05f * (float) i));
            // Now and then a lane is fed something that is no number, or so large that its loop overflows.
            if (t == 17 && stretch % 3 == 0)
                in[stretch % 4] = std::numeric_limits<float>::quiet_NaN();
            if (t == 30 && stretch % 4 == 1)
                in[(stretch + 1) % 4] = 3.0e38f;

            float expected[4];
            for (int i = 0; i < 4; ++i)
            {
                expected[i] = alone[i].sampleUpdate (in[i]);
                resets += std::isfinite (in[i]) && alone[i].lastOut == 0.0f ? 1 : 0;
            }
            quad.sampleUpdate (in);
            ASSERT_EQ (std::memcmp (expected, in, sizeof (in)), 0) << "stretch " << stretch << " sample " << t;
        }
        quad.store (quadOf);
        for (int i = 0; i < 4; ++i)
        {
            ASSERT_EQ (std::memcmp (alone[i].allpassState, sideBySide[i].allpassState, sizeof (alone[i].allpassState)), 0);
            ASSERT_EQ (std::memcmp (&alone[i].lastOut, &sideBySide[i].lastOut, sizeof (float)), 0);
        }
    }
    EXPECT_GT (resets, 0);
}
