// Helpers shared by the look-and-feel tests: knob geometry, recording and the default look-and-feel.
#pragma once

#include "RecordingContext.h"

#include <cmath>

namespace kelm::test
{
constexpr float pi = juce::MathConstants<float>::pi;

/** A point at the given angle (0 at 12 o'clock, clockwise) and distance from a centre. */
inline juce::Point<float> polar (float cx, float cy, float radius, float angle)
{
    return { cx + radius * std::sin (angle), cy - radius * std::cos (angle) };
}

/** Makes a look-and-feel the process default for a scope, so fonts resolve through it. */
struct ScopedDefaultLook
{
    explicit ScopedDefaultLook (juce::LookAndFeel& lf)
    {
        juce::LookAndFeel::setDefaultLookAndFeel (&lf);
        juce::Typeface::clearTypefaceCache();
    }
    ~ScopedDefaultLook()
    {
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        juce::Typeface::clearTypefaceCache();
    }
};

/** Runs a drawing function on a recording context of the given size. */
template <typename Fn>
RecordingContext record (int w, int h, Fn&& draw)
{
    RecordingContext context ({ 0, 0, w, h });
    juce::Graphics g (context);
    draw (g);
    return context;
}

/** Index of the first record filled with the colour, or -1. */
inline int indexOf (const RecordingContext& c, juce::Colour colour)
{
    for (size_t i = 0; i < c.ops.size(); ++i)
        if (c.ops[i].isColour (colour))
            return (int) i;
    return -1;
}

/** True when no point of a fine grid over the path's bounds lies inside it. */
inline bool coversNothing (const juce::Path& p)
{
    const auto b = p.getBounds();
    for (float y = b.getY(); y <= b.getBottom(); y += 0.25f)
        for (float x = b.getX(); x <= b.getRight(); x += 0.25f)
            if (p.contains (x, y))
                return false;
    return true;
}

inline void expectRect (juce::Rectangle<float> actual, float x, float y, float w, float h, float tol = 1.0e-3f)
{
    EXPECT_NEAR (actual.getX(), x, tol);
    EXPECT_NEAR (actual.getY(), y, tol);
    EXPECT_NEAR (actual.getWidth(), w, tol);
    EXPECT_NEAR (actual.getHeight(), h, tol);
}
} // namespace kelm::test
