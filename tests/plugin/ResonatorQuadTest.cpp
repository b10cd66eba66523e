// Resonators four to a vector, one quad or two at once, sound exactly as each one alone, loops that blow up included.
#include <gtest/gtest.h>

#include "plugin/PoleChain.h"

#include <cmath>
#include <cstring>
#include <limits>

TEST (ResonatorQuad, MatchesEachResonatorAloneBitForBit)
{
    ResonatorState alone[8], inQuads[8];
    ResonatorState* quadOf[2][4] = { { &inQuads[0], &inQuads[1], &inQuads[2], &inQuads[3] },
                                     { &inQuads[4], &inQuads[5], &inQuads[6], &inQuads[7] } };
    for (int i = 0; i < 8; ++i)
    {
        // 55 Hz to past a quarter of the rate, where the coefficient is 0.
        const ResonatorParameters parameters { 55.0f * (float) ((i + 1) * (i + 1) * (i + 1)), i % 3 == 0 ? 0.99f : -0.5f };
        alone[i].blockUpdate (parameters, 1.0 / 44100.0);
        inQuads[i].blockUpdate (parameters, 1.0 / 44100.0);
    }

    int resets = 0;
    for (int stretch = 0; stretch < 20; ++stretch)
    {
        // Each stretch loads the quads from the resonators and stores them back after it.
        ResonatorQuad quads[2];
        for (int q = 0; q < 2; ++q)
            quads[q].load (quadOf[q]);
        for (int t = 0; t < 50; ++t)
        {
            float in[8], expected[8];
            for (int i = 0; i < 8; ++i)
                in[i] = std::sin ((float) (stretch * 50 + t) * (0.1f + 0.05f * (float) i));
            // Now and then a lane is fed something that is no number, or so large that its loop overflows.
            if (t == 17 && stretch % 3 == 0)
                in[stretch % 8] = std::numeric_limits<float>::quiet_NaN();
            if (t == 30 && stretch % 4 == 1)
                in[(stretch + 3) % 8] = 3.0e38f;

            for (int i = 0; i < 8; ++i)
            {
                expected[i] = alone[i].sampleUpdate (in[i]);
                resets += std::isfinite (in[i]) && alone[i].lastOut == 0.0f ? 1 : 0;
            }
            if (stretch % 2 == 0)
                ResonatorQuad::sampleUpdate (quads[0], in, quads[1], in + 4);
            else
                for (int q = 0; q < 2; ++q)
                    quads[q].sampleUpdate (in + 4 * q);
            ASSERT_EQ (std::memcmp (expected, in, sizeof (in)), 0) << "stretch " << stretch << " sample " << t;
        }
        for (int q = 0; q < 2; ++q)
            quads[q].store (quadOf[q]);
    }
    EXPECT_GT (resets, 0);
}
