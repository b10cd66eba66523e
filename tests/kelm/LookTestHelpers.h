// Helpers shared by the look-and-feel tests: polar points, recording and the default look-and-feel.
#pragma once

#include <gtest/gtest.h>

#include "RecordingContext.h"

#include <cmath>

namespace juce
{
inline void PrintTo (const Rectangle<float>& r, std::ostream* os) { *os << r.toString(); }
} // namespace juce

namespace kelm::test
{
constexpr float pi = juce::MathConstants<float>::pi;

/** A point at an angle (0 at 12 o'clock, clockwise) and a distance from (cx, cy). */
inline juce::Point<float> polar (float cx, float cy, float radius, float angle)
{
    return { cx + radius * std::sin (angle), cy - radius * std::cos (angle) };
}

/** Makes a look-and-feel the process default for a scope, so that fonts resolve through it. */
struct ScopedDefaultLook
{
    explicit ScopedDefaultLook (juce::LookAndFeel& lf) { set (&lf); }
    ~ScopedDefaultLook() { set (nullptr); }
    static void set (juce::LookAndFeel* lf)
    {
        juce::LookAndFeel::setDefaultLookAndFeel (lf);
        juce::Typeface::clearTypefaceCache();
    }
};

template <typename Fn>
RecordingContext record (int w, int h, Fn&& draw)
{
    RecordingContext context ({ 0, 0, w, h });
    juce::Graphics g (context);
    draw (g);
    return context;
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

inline void expectRect (juce::Rectangle<float> r, float x, float y, float w, float h)
{
    EXPECT_TRUE (r.getPosition().getDistanceFrom ({ x, y }) < 1.0e-3f && std::abs (r.getWidth() - w) < 1.0e-3f
                 && std::abs (r.getHeight() - h) < 1.0e-3f)
        << r.toString() << " is not " << x << " " << y << " " << w << " " << h;
}
} // namespace kelm::test
