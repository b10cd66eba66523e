// The dark look-and-feel: typeface, knob geometry, popup menus and the smaller drawing hooks.
#include "LookTestHelpers.h"
#include "kelm/KVLook.h"

using namespace kelm::test;

namespace
{
const juce::Colour knobFill { 0xFF00FF00 }; // never used by the knob images

struct Knob
{
    RecordingContext c;
    int wedge, pointer;
    const juce::Path& path (int i) const { return c.ops[(size_t) i].path; }
};

// A 61 x 100 knob: r = min(30, 50) - 2 = 28 around (30.5, 50).
Knob drawKnob (kelm::KVLook& lf, juce::Slider& slider, float proportion, int w = 61, int h = 100)
{
    slider.setColour (juce::Slider::rotarySliderFillColourId, knobFill);
    auto c = record (w, h, [&] (juce::Graphics& g) { lf.drawRotarySlider (g, 0, 0, w, h, proportion, 1.2f * pi, 2.8f * pi, slider); });
    const bool on = slider.isEnabled();
    return { c, c.indexOf (knobFill.withAlpha ((juce::uint8) (on ? 0xCC : 0x66))), c.indexOf (knobFill.withAlpha ((juce::uint8) (on ? 0xFF : 0x7F))) };
}
} // namespace

TEST (KVLook, EmbeddedTypefaceForAnyFont)
{
    kelm::KVLook lf;
    const auto embedded = lf.getTypefaceForFont (juce::Font());
    ASSERT_NE (embedded, nullptr);
    EXPECT_EQ (lf.getTypefaceForFont (juce::Font ("DejaVu Serif", 31.0f, juce::Font::bold | juce::Font::italic)), embedded);
    EXPECT_TRUE (embedded->getName().startsWith ("Roboto"));
    EXPECT_EQ (lf.findColour (juce::PopupMenu::highlightedTextColourId).getARGB(), 0xFF272727u);
}

TEST (KVLookKnob, LayersRadiusCentreWedgeAndPointer)
{
    kelm::KVLook lf;
    juce::Slider slider;
    const auto k = drawKnob (lf, slider, 0.5f);
    ASSERT_GT (k.wedge, 0);
    ASSERT_EQ (k.pointer, (int) k.c.ops.size() - 1);

    // Back disc fills the knob square, the cap is inset by 0.25 r = 7, the pointer (value angle 2 pi)
    // runs straight up from 0.2 r to 0.45 r, 0.1 r thick.
    expectRect (k.path (0).getBounds(), 2.5f, 22.0f, 56.0f, 56.0f);
    expectRect (k.path (k.wedge + 1).getBounds(), 9.5f, 29.0f, 42.0f, 42.0f);
    expectRect (k.path (k.pointer).getBounds(), 29.1f, 37.4f, 2.8f, 7.0f);

    // Wedge of radius 0.9 r = 25.2 from the start angle up to 12 o'clock.
    const auto& wedge = k.path (k.wedge);
    EXPECT_TRUE (wedge.contains (polar (30.5f, 50, 20, 1.6f * pi)));
    EXPECT_TRUE (wedge.contains (polar (30.5f, 50, 24.9f, 1.25f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50, 25.5f, 1.6f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50, 20, 2.1f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50, 20, 1.15f * pi)));

    // At 0 the wedge is empty and the pointer is at the start angle; at 1 only the bottom gap stays open.
    const auto atStart = drawKnob (lf, slider, 0.0f);
    EXPECT_TRUE (coversNothing (atStart.path (atStart.wedge)));
    EXPECT_TRUE (atStart.path (atStart.pointer).contains (polar (30.5f, 50, 9.1f, 1.2f * pi)));
    const auto atEnd = drawKnob (lf, slider, 1.0f);
    for (float a : { 1.25f, 2.0f, 2.75f })
        EXPECT_TRUE (atEnd.path (atEnd.wedge).contains (polar (30.5f, 50, 20, a * pi))) << a;
    EXPECT_FALSE (atEnd.path (atEnd.wedge).contains (polar (30.5f, 50, 20, pi)));
    EXPECT_TRUE (atEnd.path (atEnd.pointer).contains (polar (30.5f, 50, 9.1f, 2.8f * pi)));
}

TEST (KVLookKnob, DisabledParentDimsOnlyWedgeAndPointer)
{
    kelm::KVLook lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);
    const auto enabled = drawKnob (lf, slider, 0.7f);
    parent.setEnabled (false);
    const auto disabled = drawKnob (lf, slider, 0.7f); // finds alphas 0x66 and 0x7F

    ASSERT_EQ (disabled.wedge, enabled.wedge);
    ASSERT_EQ (disabled.pointer, enabled.pointer);
    for (int i = 0; i < enabled.wedge; ++i)
        EXPECT_TRUE (disabled.c.ops[(size_t) i].fill == enabled.c.ops[(size_t) i].fill) << i;

    // Too small for a knob, or no number for a position: nothing broken is drawn.
    for (auto [w, h] : { std::pair { 0, 0 }, { -5, 40 }, { 4, 4 } })
        EXPECT_TRUE (drawKnob (lf, slider, 0.5f, w, h).c.ops.empty());
    for (const auto& op : drawKnob (lf, slider, std::numeric_limits<float>::quiet_NaN()).c.ops)
        EXPECT_TRUE (op.path.getBounds().isFinite());
}

TEST (KVLookPopupMenu, IdealItemSizes)
{
    kelm::KVLook lf;
    ScopedDefaultLook asDefault (lf);
    const juce::String text ("ASSIGN TO LAST CC");
    const auto textWidth = [&] (float height) {
        return (int) std::ceil (juce::Font (lf.getTypefaceForFont ({})).withHeight (height).getStringWidthFloat (text));
    };
    const auto size = [&] (const juce::String& t, bool separator, int standard) {
        int w = 0, h = 0;
        lf.getIdealPopupMenuItemSize (t, separator, standard, w, h);
        return std::pair { w, h };
    };

    EXPECT_EQ (size ({}, false, 0), (std::pair { 36, 18 })); // round (14 x 1.3) high, twice that wider
    EXPECT_EQ (size (text, false, 0), (std::pair { textWidth (14) + 36, 18 }));
    EXPECT_EQ (size (text, false, 26), (std::pair { textWidth (14) + 52, 26 })); // 26 / 1.3 = 20 keeps 14
    EXPECT_EQ (size (text, false, 13), (std::pair { textWidth (13 / 1.3f) + 26, 13 }));
    EXPECT_EQ (size (text, true, 0), (std::pair { 50, 10 }));
    EXPECT_EQ (size (text, true, 13), (std::pair { 50, 6 }));
}

TEST (KVLookPopupMenu, BackgroundOutlineAndScrollArrows)
{
    kelm::KVLook lf;
    const auto bg = record (120, 60, [&] (juce::Graphics& g) { lf.drawPopupMenuBackground (g, 120, 60); });
    EXPECT_EQ (bg.indexOf (juce::Colour (0xFF272727)), 0);
    expectRect (bg.ops[0].path.getBounds(), 0, 0, 120, 60);
    juce::RectangleList<float> outline;
    for (auto r : bg.boundsOf (juce::Colour (0xFF303030)))
        outline.addWithoutMerging (r);
    EXPECT_EQ (outline.getNumRectangles(), 4);
    expectRect (outline.getBounds(), 0, 0, 120, 60);
    EXPECT_TRUE (outline.containsRectangle ({ 0, 0, 120, 2 }) && ! outline.containsPoint ({ 2.5f, 2.5f }));

    const auto corners = [&] (bool up) {
        const auto c = record (100, 20, [&] (juce::Graphics& g) { lf.drawPopupMenuUpDownArrow (g, 100, 20, up); });
        EXPECT_TRUE (c.ops.front().fill.isGradient());
        expectRect (c.ops.front().path.getBounds(), 1, 1, 98, 18);
        std::vector<juce::Point<float>> points;
        for (juce::Path::Iterator it (c.ops[(size_t) c.indexOf (juce::Colour (0xFFBDBDBD))].path); it.next();)
            if (it.elementType != juce::Path::Iterator::closePath)
                points.push_back ({ it.x1, it.y1 });
        return points;
    };
    EXPECT_EQ (corners (true), (std::vector<juce::Point<float>> { { 44, 12 }, { 56, 12 }, { 50, 6 } }));
    EXPECT_EQ (corners (false), (std::vector<juce::Point<float>> { { 44, 6 }, { 56, 6 }, { 50, 12 } }));
}

TEST (KVLookDrawing, ShinyShapeEditedLabelAndLinearTrack)
{
    kelm::KVLook lf;
    const juce::Colour c (0xFF123456);
    const auto shiny = [&] (float w, float h) {
        return record (10, 10, [&] (juce::Graphics& g) { lf.drawShinyButtonShape (g, 1, 2, w, h, 3, c, 1, false, false, false, false); });
    };
    EXPECT_TRUE (shiny (1.1f, 5).ops.empty());
    EXPECT_TRUE (shiny (5, 1.1f).ops.empty());
    EXPECT_EQ (shiny (1.2f, 2).boundsOf (c), (std::vector { juce::Rectangle<float> (1, 2, 1.2f, 2) }));

    // A label being edited shows its background and a 1-pixel outline, no text.
    juce::Component parent;
    juce::Label label ({}, "TEXT");
    parent.addAndMakeVisible (label);
    label.setBounds (0, 0, 60, 20);
    label.setEditable (true);
    label.setColour (juce::Label::outlineColourId, juce::Colour (0xFFAA0000));
    label.setColour (juce::Label::backgroundColourId, c);
    const auto glyphs = [] (const RecordingContext& rc) { return std::count_if (rc.ops.begin(), rc.ops.end(), [] (auto& op) { return op.glyph; }); };
    const auto drawLabel = [&] { return record (60, 20, [&] (juce::Graphics& g) { lf.drawLabel (g, label); }); };
    EXPECT_EQ (glyphs (drawLabel()), 4);
    label.showEditor();
    ASSERT_TRUE (label.isBeingEdited());
    const auto edited = drawLabel();
    EXPECT_EQ (glyphs (edited), 0);
    EXPECT_EQ (edited.indexOf (c), 0);
    EXPECT_EQ (edited.boundsOf (juce::Colour (0xFFAA0000)).size(), 4u);

    // Horizontal track: value part from x + 2 to 4 pixels short of the integer thumb position.
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setColour (juce::Slider::thumbColourId, c);
    const auto track = [&] (juce::Slider::SliderStyle style) {
        return record (120, 30, [&] (juce::Graphics& g) { lf.drawLinearSliderBackground (g, 10, 5, 100, 20, 60.7f, 0, 0, style, slider); });
    };
    EXPECT_EQ (track (juce::Slider::LinearHorizontal).boundsOf (c), (std::vector { juce::Rectangle<float> (12, 7, 46, 16) }));
    EXPECT_TRUE (track (juce::Slider::Rotary).ops.empty());
}

TEST (KVLookDrawing, HooksForComponentsTheProductDoesNotCreate)
{
    kelm::KVLook lf;
    juce::Image image (juce::Image::ARGB, 100, 100, true);
    const auto paint = [&] (auto&& draw) {
        image.clear (image.getBounds());
        juce::Graphics g (image);
        draw (g);
    };
    const auto at = [&] (int x, int y) { return image.getPixelAt (x, y).getARGB(); };
    juce::ScrollBar bar (true);

    EXPECT_EQ (lf.getDefaultScrollbarWidth(), 8);
    EXPECT_EQ (lf.getScrollbarButtonSize (bar), 0);
    paint ([&] (juce::Graphics& g) { lf.drawScrollbar (g, bar, 0, 0, 8, 100, true, 0, 50, false, false); });
    EXPECT_EQ (at (4, 25), 0xFF272727u); // thumb (1, 1, 6, 48)
    EXPECT_EQ (at (4, 75), 0xFFBDBDBDu); // slot
    paint ([&] (juce::Graphics& g) { lf.drawScrollbar (g, bar, 0, 0, 100, 20, false, 10, 30, false, false); });
    EXPECT_EQ (at (0, 0), 0xFF272727u); // outside the slot, which is inset by 1
    EXPECT_EQ (at (25, 10), 0xFF272727u);
    EXPECT_EQ (at (75, 10), 0xFFBDBDBDu);

    juce::TextButton button;
    button.setSize (40, 20);
    const juce::Colour fill (0xFF4080C0);
    paint ([&] (juce::Graphics& g) { lf.drawButtonBackground (g, button, fill, true, false); });
    EXPECT_EQ (std::tuple (at (0, 0), at (1, 1), at (20, 10)), std::tuple (0xFF303030u, fill.getARGB(), fill.getARGB()));
    paint ([&] (juce::Graphics& g) { lf.drawButtonBackground (g, button, fill, false, true); });
    EXPECT_EQ (std::tuple (at (0, 0), at (1, 1), at (2, 2)),
               std::tuple (0xFF000000u, 0xFF303030u, fill.withMultipliedBrightness (0.8f).getARGB()));

    // Box of side round (16 x 0.7) | 1 = 11 at (4, 4); the bars run through row and column 9.
    for (bool open : { true, false })
    {
        paint ([&] (juce::Graphics& g) { lf.drawTreeviewPlusMinusBox (g, { 0, 0, 20, 20 }, {}, open, false); });
        EXPECT_EQ (std::tuple (at (4, 4), at (9, 9), at (6, 6), at (9, 7)),
                   std::tuple (0xFF272727u, 0xFF272727u, 0xFFBDBDBDu, open ? 0xFFBDBDBDu : 0xFF272727u));
    }

    juce::ComboBox box;
    box.setSize (100, 20);
    box.setLookAndFeel (&lf); // its colours come from the table
    paint ([&] (juce::Graphics& g) { lf.drawComboBox (g, 100, 20, false, 80, 0, 20, 20, box); });
    box.setLookAndFeel (nullptr);
    EXPECT_EQ (std::tuple (at (50, 0), at (50, 19), at (50, 2), at (90, 10)), std::tuple (0xFF000000u, 0xFF000000u, 0xFF303030u, 0xFFBDBDBDu));
    EXPECT_NEAR (image.getPixelAt (50, 10).getRed(), 0x27, 1);

    // Sizes a layout can produce by accident draw nothing broken.
    juce::Slider slider;
    for (int s : { 0, 1, -4 })
        paint ([&] (juce::Graphics& g) {
            lf.drawScrollbar (g, bar, 0, 0, s, s, s > 0, 0, s, false, false);
            lf.drawPopupMenuUpDownArrow (g, s, s, true);
            lf.drawTreeviewPlusMinusBox (g, { 0, 0, (float) s, (float) s }, {}, false, false);
            for (auto style : { juce::Slider::LinearBar, juce::Slider::LinearVertical, juce::Slider::TwoValueHorizontal })
                lf.drawLinearSlider (g, 0, 0, s, s, (float) s, 0, (float) s, style, slider);
        });
}
