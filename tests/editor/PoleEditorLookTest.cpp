// The engine editor's lettered knob: outer disc, value wedge, dark inner disc and the centre letter.
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/LookTestHelpers.h"

using namespace kelm::test;

namespace
{
// Records fills like the toolkit tests, and where each glyph is drawn.
struct GlyphRecorder : RecordingContext
{
    using RecordingContext::RecordingContext;
    void drawGlyph (int glyph, const juce::AffineTransform& t) override
    {
        glyphs.push_back ({ ops.size(), stack->fillType.colour, juce::Point<float> (t.getTranslationX(), t.getTranslationY()) });
        RecordingContext::drawGlyph (glyph, t);
    }
    struct Glyph { size_t op; juce::Colour colour; juce::Point<float> position; };
    std::vector<Glyph> glyphs;
};

const juce::Colour fill { 0xFF00FF00 }, innerDisc { 0xFF272727 };

struct Drawn
{
    Ops ops;
    std::vector<GlyphRecorder::Glyph> glyphs;
};

// A 40 x 40 knob at (3, 5): r = 18 around (23, 25).
Drawn draw (PoleEditorLookAndFeel& lf, juce::Slider& slider, float proportion, int w = 40, int h = 40)
{
    GlyphRecorder context (50, 50);
    {
        juce::Graphics g (context);
        slider.setColour (juce::Slider::rotarySliderFillColourId, fill);
        lf.drawRotarySlider (g, 3, 5, w, h, proportion, 1.2f * pi, 2.8f * pi, slider);
    }
    return { context.ops, context.glyphs };
}
} // namespace

TEST (PoleEditorLookAndFeel, LetteredKnobGeometryOrderAndDisabledColours)
{
    EXPECT_EQ (PoleEditorLookAndFeel::knob_txt_property.toString(), "display_text");
    PoleEditorLookAndFeel lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);
    slider.getProperties().set (PoleEditorLookAndFeel::knob_txt_property, "L");

    const auto k = draw (lf, slider, 0.5f);
    const int wedge = indexOf (k.ops, fill.withAlpha ((juce::uint8) 0xCC)), disc = indexOf (k.ops, innerDisc);
    ASSERT_TRUE (wedge > 0 && disc == wedge + 1 && k.glyphs.size() == 1 && k.glyphs[0].op == k.ops.size() - 1);
    // The wedge fills 0.9 r = 16.2 from the start angle to the value, the disc covers it inside 0.8 r = 14.4.
    const juce::Point<float> centre (23, 25);
    EXPECT_EQ (arc (k.ops[(size_t) wedge].path, centre, 16.1f), "..########..........");
    EXPECT_EQ (arc (k.ops[(size_t) wedge].path, centre, 16.3f), std::string (20, '.'));
    const auto full = draw (lf, slider, 1.0f); // its left, top and right edges are those of (6.8, 8.8, 32.4, 32.4)
    EXPECT_TRUE (tenths (full.ops.at ((size_t) wedge).path.getBounds()).startsWith ("68 88 324 "));
    EXPECT_EQ (tenths (k.ops[(size_t) disc].path.getBounds()), "86 106 288 288");
    // The outer disc image is drawn first, in the knob square (5, 7, 36, 36).
    juce::Rectangle<float> back;
    for (int i = 0; i < wedge; ++i)
        back = back.getUnion (k.ops[(size_t) i].path.getBounds());
    EXPECT_EQ (tenths (back), "50 70 360 360");

    // The letter, fitted and centred into the disc's square taken to whole pixels: (9, 11, 29, 29).
    juce::GlyphArrangement expected;
    expected.addFittedText (juce::Font(), "L", 9, 11, 29, 29, juce::Justification::centred, 1, 0.0f);
    EXPECT_EQ (k.glyphs[0].position, juce::Point<float> (expected.getGlyph (0).getLeft(), expected.getGlyph (0).getBaselineY()));
    EXPECT_EQ (k.glyphs[0].colour, juce::Colour (0xFFBDBDBD));

    // At the start of the travel there is no wedge, and the letter is still drawn.
    const auto start = draw (lf, slider, 0.0f);
    EXPECT_EQ (indexOf (start.ops, fill.withAlpha ((juce::uint8) 0xCC)), -1);
    EXPECT_EQ (start.glyphs.size(), 1u);

    // In a disabled parent the wedge and the letter dim; the outer disc stays as it was.
    parent.setEnabled (false);
    const auto dim = draw (lf, slider, 0.5f);
    ASSERT_EQ (dim.ops.size(), k.ops.size());
    EXPECT_EQ (dim.ops[(size_t) wedge].fill.colour, fill.withAlpha ((juce::uint8) 0x66));
    EXPECT_EQ (dim.glyphs.at (0).colour, juce::Colour (0x7FBDBDBD));
    for (int i = 0; i < wedge; ++i)
        EXPECT_TRUE (dim.ops[(size_t) i].fill == k.ops[(size_t) i].fill);

    // Without the property (the send knob): disc, wedge and inner disc, no text; too small: nothing.
    parent.setEnabled (true);
    slider.getProperties().remove (PoleEditorLookAndFeel::knob_txt_property);
    const auto plain = draw (lf, slider, 0.5f);
    EXPECT_EQ (std::pair (plain.ops.size(), plain.glyphs.size()), std::pair (k.ops.size() - 1, (size_t) 0));
    EXPECT_TRUE (draw (lf, slider, 0.5f, 4, 40).ops.empty());
}
