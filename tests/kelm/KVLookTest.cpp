// The dark look-and-feel: typeface, knob geometry, popup-menu item sizes and arrows, shiny shape and labels.
#include "LookTestHelpers.h"
#include "kelm/KVLook.h"

using namespace kelm::test;

TEST (KVLook, KnobGeometryAndDisabledParent)
{
    kelm::KVLook lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);
    const Knob k (lf, slider, 0.5f);
    ASSERT_EQ (k.pointer, (int) k.ops.size() - 1); // over the cap, which follows the wedge

    // Back disc on the knob square, cap inset by 0.25 r, pointer straight up from 0.2 r to 0.45 r, 0.1 r thick.
    EXPECT_EQ (tenths (k.path (0).getBounds()), "25 220 560 560");
    EXPECT_EQ (tenths (k.path (k.wedge + 1).getBounds()), "95 290 420 420");
    EXPECT_EQ (tenths (k.path (k.pointer).getBounds()), "291 374 28 70");

    // The wedge, of radius 0.9 r = 25.2, runs from the start angle to the value, where the pointer is.
    for (auto [p, marks] : { std::pair { 0.0f, "...................." }, { 0.5f, "..########.........." }, { 1.0f, "..################.." } })
    {
        const Knob knob (lf, slider, p);
        EXPECT_EQ (arc (knob.path (knob.wedge), Knob::centre, 24.9f), marks) << p;
        EXPECT_EQ (arc (knob.path (knob.wedge), Knob::centre, 25.5f), std::string (20, '.')) << p;
        EXPECT_TRUE (knob.path (knob.pointer).contains (Knob::centre.getPointOnCircumference (9.1f, (1.2f + 1.6f * p) * pi))) << p;
    }

    // In a disabled parent only the wedge and pointer dim, to alphas 0x66 and 0x7F.
    parent.setEnabled (false);
    const Knob disabled (lf, slider, 0.5f);
    ASSERT_EQ (std::tuple (disabled.wedge, disabled.pointer, disabled.ops.size()), std::tuple (k.wedge, k.pointer, k.ops.size()));
    for (int i = 0; i < k.pointer; ++i)
        EXPECT_TRUE (i == k.wedge || disabled.ops[(size_t) i].fill == k.ops[(size_t) i].fill) << i;

    // Too small for a knob: nothing is drawn.
    for (auto [w, h] : { std::pair { 0, 0 }, { -5, 40 }, { 4, 4 } })
        EXPECT_TRUE (Knob (lf, slider, 0.5f, w, h).ops.empty());
}

TEST (KVLook, TypefaceMenuSizesArrowsShinyShapeAndLabels)
{
    kelm::KVLook lf;
    const auto embedded = lf.getTypefaceForFont (juce::Font());
    ASSERT_TRUE (embedded != nullptr && embedded->getName().startsWith ("Roboto"));
    EXPECT_EQ (lf.getTypefaceForFont (juce::Font ("DejaVu Serif", 31.0f, juce::Font::bold | juce::Font::italic)), embedded);

    const juce::String text ("ASSIGN TO LAST CC");
    const auto textWidth = [&] (float height) { return (int) std::ceil (juce::Font (height).getStringWidthFloat (text)); };
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

    const auto arrow = [&] (bool up) {
        const auto ops = record (100, 20, [&] (juce::Graphics& g) { lf.drawPopupMenuUpDownArrow (g, 100, 20, up); });
        return ops.at ((size_t) indexOf (ops, juce::Colour (0xFFBDBDBD))).path.toString();
    };
    EXPECT_EQ (arrow (true), "m 44 12 l 56 12 50 6 z");
    EXPECT_EQ (arrow (false), "m 44 6 l 56 6 50 12 z");

    const juce::Colour c (0xFF123456), outline (0xFFAA0000);
    const auto shiny = [&] (float w, float h) {
        return record (10, 10, [&] (juce::Graphics& g) { lf.drawShinyButtonShape (g, 1, 2, w, h, 3, c, 1, false, false, false, false); });
    };
    EXPECT_TRUE (shiny (1.1f, 5).empty() && shiny (5, 1.1f).empty());
    ASSERT_EQ (indexOf (shiny (1.2f, 2), c), 0);
    EXPECT_EQ (tenths (shiny (1.2f, 2)[0].path.getBounds()), "10 20 12 20");

    // Not being edited, the text is drawn in the text colour, at half alpha when disabled, and the outline follows.
    juce::Label shown ({}, "MIX");
    shown.setBounds (0, 0, 60, 20);
    shown.setColour (juce::Label::textColourId, juce::Colour (0xC0123456));
    shown.setColour (juce::Label::outlineColourId, outline);
    for (auto [enabled, text, line] : { std::tuple { true, 0xC0123456u, 0xFFAA0000u }, { false, 0x60123456u, 0x80AA0000u } })
    {
        shown.setEnabled (enabled);
        const auto ops = record (60, 20, [&] (juce::Graphics& g) { lf.drawLabel (g, shown); });
        ASSERT_FALSE (ops.empty());
        const auto glyphs = std::count_if (ops.begin(), ops.end(), [&] (const DrawOp& op) { return op.path.isEmpty() && op.fill.colour.getARGB() == text; });
        EXPECT_EQ (std::pair ((int) glyphs, ops.back().fill.colour.getARGB()), std::pair (3, line)) << enabled;
    }

    // Being edited, a label shows only its background and a 1-pixel outline (text would be glyph fills).
    juce::Label label ({}, "TEXT");
    label.setBounds (0, 0, 60, 20);
    label.setEditable (true);
    label.setColour (juce::Label::outlineColourId, outline);
    label.setColour (juce::Label::backgroundColourId, c);
    label.showEditor();
    ASSERT_TRUE (label.isBeingEdited());
    const auto edited = record (60, 20, [&] (juce::Graphics& g) { lf.drawLabel (g, label); });
    ASSERT_EQ (std::tuple (edited.size(), indexOf (edited, c), indexOf (edited, outline)), std::tuple (2u, 0, 1));
    EXPECT_EQ (tenths (edited[1].path.getBounds()), "0 0 600 200");
    EXPECT_TRUE (edited[1].path.contains (0.5f, 0.5f) && ! edited[1].path.contains (1.5f, 1.5f));
}
