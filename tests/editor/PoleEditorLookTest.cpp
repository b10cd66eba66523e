// The engine editor's lettered knob: outer disc, value wedge, dark inner disc and the centre letter.
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/LookTestHelpers.h"

using namespace kelm::test;

namespace
{
struct Drawn
{
    Ops ops;
    std::vector<std::pair<juce::Colour, juce::Point<float>>> glyphs; // colour and position of each glyph
};

// A 40 x 40 knob at (3, 5), so r = 18 around (23, 25), recorded with where each glyph goes.
Drawn draw (PoleEditorLookAndFeel& lf, juce::Slider& slider, float proportion, int w = 40)
{
    struct Recorder : RecordingContext
    {
        using RecordingContext::RecordingContext;
        void drawGlyph (int, const juce::AffineTransform& t) override { glyphs.push_back ({ stack->fillType.colour, { t.getTranslationX(), t.getTranslationY() } }); }
        decltype (Drawn::glyphs) glyphs;
    } context (50, 50);
    juce::Graphics g (context);
    slider.setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xFF00FF00));
    lf.drawRotarySlider (g, 3, 5, w, 40, proportion, 1.2f * pi, 2.8f * pi, slider);
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
    const juce::Colour wedgeColour (0xCC00FF00), innerDisc (0xFF272727);

    const auto k = draw (lf, slider, 0.5f);
    const int wedge = indexOf (k.ops, wedgeColour);
    ASSERT_TRUE (wedge > 0 && indexOf (k.ops, innerDisc) == wedge + 1 && k.ops.size() == (size_t) wedge + 2 && k.glyphs.size() == 1);
    juce::Rectangle<float> back; // the outer disc image, first, in the knob square (5, 7, 36, 36)
    for (int i = 0; i < wedge; ++i)
        back = back.getUnion (k.ops[(size_t) i].path.getBounds());
    EXPECT_EQ (tenths (back), "50 70 360 360");
    // The wedge reaches 0.9 r = 16.2 from the start angle to the value; its square is (6.8, 8.8, 32.4, 32.4).
    EXPECT_EQ (arc (k.ops[(size_t) wedge].path, { 23, 25 }, 16.1f), "..########..........");
    EXPECT_EQ (arc (k.ops[(size_t) wedge].path, { 23, 25 }, 16.3f), std::string (20, '.'));
    EXPECT_TRUE (tenths (draw (lf, slider, 1.0f).ops.at ((size_t) wedge).path.getBounds()).startsWith ("68 88 324 "));
    EXPECT_EQ (tenths (k.ops[(size_t) wedge + 1].path.getBounds()), "86 106 288 288");

    // The letter is fitted and centred into the disc's square taken to whole pixels, (9, 11, 29, 29).
    juce::GlyphArrangement expected;
    expected.addFittedText (juce::Font(), "L", 9, 11, 29, 29, juce::Justification::centred, 1, 0.0f);
    EXPECT_EQ (k.glyphs[0], std::pair (juce::Colour (0xFFBDBDBD), juce::Point<float> (expected.getGlyph (0).getLeft(), expected.getGlyph (0).getBaselineY())));

    // At the start of the travel there is no wedge, and the letter is still drawn.
    const auto start = draw (lf, slider, 0.0f);
    EXPECT_EQ (std::pair (indexOf (start.ops, wedgeColour), start.glyphs.size()), std::pair (-1, (size_t) 1));

    // In a disabled parent the wedge and the letter dim; the outer disc stays as it was.
    parent.setEnabled (false);
    const auto dim = draw (lf, slider, 0.5f);
    ASSERT_EQ (dim.ops.size(), k.ops.size());
    EXPECT_EQ (dim.ops[(size_t) wedge].fill.colour, wedgeColour.withAlpha ((juce::uint8) 0x66));
    EXPECT_EQ (dim.glyphs.at (0).first, juce::Colour (0x7FBDBDBD));
    for (int i = 0; i < wedge; ++i)
        EXPECT_TRUE (dim.ops[(size_t) i].fill == k.ops[(size_t) i].fill);

    // Without the property (the send knob): no text; too small for a knob: nothing.
    parent.setEnabled (true);
    slider.getProperties().remove (PoleEditorLookAndFeel::knob_txt_property);
    const auto plain = draw (lf, slider, 0.5f);
    EXPECT_EQ (std::pair (plain.ops.size(), plain.glyphs.size()), std::pair (k.ops.size(), (size_t) 0));
    EXPECT_TRUE (draw (lf, slider, 0.5f, 4).ops.empty());
}
