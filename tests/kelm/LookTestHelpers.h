// Helpers for the look-and-feel tests: a graphics context that records fills, knob drawing and wedge sampling.
#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace kelm::test
{
constexpr float pi = juce::MathConstants<float>::pi;

struct DrawOp
{
    juce::Path path; // device space; rectangles as their outline, glyphs empty
    juce::FillType fill;
};
using Ops = std::vector<DrawOp>;

/** The framework's software renderer, keeping its transforms, clips and saved states, but listing
    every fill instead of rendering it, so tests see exact shapes and colours. */
class RecordingContext : public juce::LowLevelGraphicsSoftwareRenderer
{
public:
    RecordingContext (int w, int h) : LowLevelGraphicsSoftwareRenderer ({ juce::Image::ARGB, juce::jmax (1, w), juce::jmax (1, h), true }) {}
    void fillRect (const juce::Rectangle<int>& r, bool) override { fillRect (r.toFloat()); }
    void fillRect (const juce::Rectangle<float>& r) override { fillRectList (juce::RectangleList<float> (r)); }
    void fillRectList (const juce::RectangleList<float>& list) override { fillPath (list.toPath(), {}); }
    void fillPath (const juce::Path& p, const juce::AffineTransform& t) override
    {
        ops.push_back ({ p, stack->fillType });
        ops.back().path.applyTransform (stack->transform.getTransformWith (t));
    }
    void drawGlyph (int, const juce::AffineTransform& t) override { fillPath (juce::Path(), t); }

    Ops ops;
};

template <typename Fn>
Ops record (int w, int h, Fn&& draw)
{
    RecordingContext context (w, h);
    juce::Graphics g (context);
    draw (g);
    return context.ops;
}

/** Index of the first fill in the colour, or -1. */
inline int indexOf (const Ops& ops, juce::Colour c)
{
    const auto it = std::find_if (ops.begin(), ops.end(), [c] (const DrawOp& op) { return op.fill.isColour() && op.fill.colour == c; });
    return it == ops.end() ? -1 : (int) (it - ops.begin());
}

/** "x y w h" in tenths of a pixel, so that float rounding does not matter. */
inline juce::String tenths (juce::Rectangle<float> r) { return (r * 10.0f).toNearestInt().toString(); }

/** Which of the angles 1.05 pi, 1.15 pi ... 2.95 pi (clockwise from 12 o'clock) the path covers at
    the radius, '#' or '.'; the knob range, 1.2 pi to 2.8 pi, is the middle 16 marks. */
inline std::string arc (const juce::Path& p, juce::Point<float> centre, float radius)
{
    std::string marks;
    for (int i = 0; i < 20; ++i)
        marks += p.contains (centre.getPointOnCircumference (radius, (1.05f + 0.1f * (float) i) * pi)) ? '#' : '.';
    return marks;
}

/** A knob drawn over the default rotary range in a colour the images never use; one of 61 x 100
    has the radius min (30, 50) - 2 = 28 around (30.5, 50). */
struct Knob
{
    static inline const juce::Colour fill { 0xFF00FF00 };
    static inline const juce::Point<float> centre { 30.5f, 50.0f };

    Knob (juce::LookAndFeel& lf, juce::Slider& slider, float proportion, int w = 61, int h = 100)
    {
        slider.setColour (juce::Slider::rotarySliderFillColourId, fill);
        ops = record (w, h, [&] (juce::Graphics& g) { lf.drawRotarySlider (g, 0, 0, w, h, proportion, 1.2f * pi, 2.8f * pi, slider); });
        wedge = indexOf (ops, fill.withAlpha ((juce::uint8) (slider.isEnabled() ? 0xCC : 0x66)));
        pointer = indexOf (ops, fill.withAlpha ((juce::uint8) (slider.isEnabled() ? 0xFF : 0x7F)));
    }
    const juce::Path& path (int i) const { return ops.at ((size_t) i).path; } // throws for a missing fill

    Ops ops;
    int wedge, pointer;
};
} // namespace kelm::test
