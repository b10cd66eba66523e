// The dark look-and-feel: colours, typeface, knob geometry, popup menus and the smaller hooks.
#include <gtest/gtest.h>

#include <CalythBinaryData.h>

#include "LookTestHelpers.h"
#include "kelm/KVLook.h"

using namespace kelm::test;

namespace
{
const juce::Colour knobFill { 0xFF00FF00 }; // a colour the knob images never use
constexpr float startAngle = 1.2f * pi, endAngle = 2.8f * pi;

struct KnobRecording
{
    RecordingContext context;
    int wedge, pointer;
};

KnobRecording recordKnob (kelm::KVLook& lf, juce::Slider& slider, float proportion, int w = 61, int h = 100)
{
    slider.setColour (juce::Slider::rotarySliderFillColourId, knobFill);
    auto c = record (w, h, [&] (juce::Graphics& g) { lf.drawRotarySlider (g, 0, 0, w, h, proportion, startAngle, endAngle, slider); });
    const bool enabled = slider.isEnabled();
    return { c, indexOf (c, knobFill.withAlpha ((juce::uint8) (enabled ? 0xCC : 0x66))),
             indexOf (c, knobFill.withAlpha ((juce::uint8) (enabled ? 0xFF : 0x7F))) };
}
} // namespace

TEST (KVLook, ColourTableAndEmbeddedTypeface)
{
    kelm::KVLook lf;
    const std::pair<int, juce::uint32> table[] = {
        { 0x1000600, 0xFFBDBDBD }, { 0x1000900, 0xFFBDBDBD }, { 0x1000800, 0xFF272727 }, { 0x1001B00, 0xFFBDBDBD },
        { 0x1001C00, 0xFF272727 }, { 0x1001C10, 0xFF000000 }, { 0x1000B00, 0xFF272727 }, { 0x1000A00, 0xFFBDBDBD },
        { 0x1000C00, 0xFF303030 }, { 0x1000E00, 0xFFBDBDBD }, { 0x1002800, 0xFF272727 }, { 0x1000541, 0xFFBDBDBD },
        { 0x1000540, 0xFF1C91AB }, { 0x1000500, 0xFF272727 }, { 0x1000501, 0xFFBDBDBD }, { 0x1004012, 0x00FFFFFF },
        { 0x1004011, 0x00FFFFFF },
    };
    for (const auto& [id, argb] : table)
        EXPECT_EQ (lf.findColour (id).getARGB(), argb) << std::hex << id;

    // Any name, style or size gets the one embedded typeface.
    const auto embedded = lf.getTypefaceForFont (juce::Font());
    ASSERT_NE (embedded, nullptr);
    EXPECT_EQ (lf.getTypefaceForFont (juce::Font ("DejaVu Serif", 31.0f, juce::Font::bold | juce::Font::italic)), embedded);

    const auto reference = juce::Typeface::createSystemTypefaceFor (CalythBinaryData::RobotoMedium_ttf,
                                                                    (size_t) CalythBinaryData::RobotoMedium_ttfSize);
    EXPECT_EQ (embedded->getName(), reference->getName());
    EXPECT_EQ (embedded->getStyle(), reference->getStyle());
    EXPECT_TRUE (embedded->getName().startsWith ("Roboto"));
}

TEST (KVLookKnob, RadiusCentreLayersAndPointerOfA61x100Knob)
{
    kelm::KVLook lf;
    juce::Slider slider;
    const auto k = recordKnob (lf, slider, 0.5f);
    ASSERT_GT (k.wedge, 0);
    ASSERT_GT (k.pointer, k.wedge + 1);

    // r = min(30, 50) - 2 = 28 around (30.5, 50): back disc in the knob square, cap inset by 7.
    const auto& ops = k.context.ops;
    expectRect (ops.front().bounds, 2.5f, 22.0f, 56.0f, 56.0f);
    expectRect (ops[(size_t) k.wedge + 1].bounds, 9.5f, 29.0f, 42.0f, 42.0f);
    EXPECT_EQ (k.pointer, (int) ops.size() - 1);

    // Value angle 2 pi: pointer straight up from 5.6 to 12.6 above the centre, 2.8 thick.
    expectRect (ops[(size_t) k.pointer].bounds, 29.1f, 37.4f, 2.8f, 7.0f);

    // Wedge of radius 0.9 r = 25.2 from the start angle to 12 o'clock.
    const auto& wedge = ops[(size_t) k.wedge].path;
    EXPECT_TRUE (wedge.contains (polar (30.5f, 50.0f, 20.0f, 1.6f * pi)));
    EXPECT_TRUE (wedge.contains (polar (30.5f, 50.0f, 24.5f, 1.25f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50.0f, 26.0f, 1.6f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50.0f, 20.0f, 2.2f * pi)));
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50.0f, 20.0f, 1.1f * pi)));
}

TEST (KVLookKnob, WedgeAndPointerAtBothEndsOfTheTravel)
{
    kelm::KVLook lf;
    juce::Slider slider;

    const auto atStart = recordKnob (lf, slider, 0.0f);
    ASSERT_GE (atStart.wedge, 0);
    EXPECT_TRUE (coversNothing (atStart.context.ops[(size_t) atStart.wedge].path));
    // Pointer midway between 0.2 r and 0.45 r along the start angle.
    EXPECT_TRUE (atStart.context.ops[(size_t) atStart.pointer].path.contains (polar (30.5f, 50.0f, 9.1f, startAngle)));

    const auto atEnd = recordKnob (lf, slider, 1.0f);
    const auto& wedge = atEnd.context.ops[(size_t) atEnd.wedge].path;
    for (float a : { 1.25f * pi, 2.0f * pi, 2.75f * pi, 0.5f * pi })
        EXPECT_TRUE (wedge.contains (polar (30.5f, 50.0f, 20.0f, a))) << a / pi;
    EXPECT_FALSE (wedge.contains (polar (30.5f, 50.0f, 20.0f, pi)));
    EXPECT_TRUE (atEnd.context.ops[(size_t) atEnd.pointer].path.contains (polar (30.5f, 50.0f, 9.1f, endAngle)));
}

TEST (KVLookKnob, DisabledParentDimsWedgeAndPointerButNotTheImages)
{
    kelm::KVLook lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);

    const auto enabled = recordKnob (lf, slider, 0.7f);
    parent.setEnabled (false);
    const auto disabled = recordKnob (lf, slider, 0.7f);

    ASSERT_GE (disabled.wedge, 0); // found with alpha 0x66
    ASSERT_GE (disabled.pointer, 0); // found with alpha 0x7F
    ASSERT_EQ (enabled.context.ops.size(), disabled.context.ops.size());
    for (size_t i = 0; i < enabled.context.ops.size(); ++i)
    {
        if ((int) i != enabled.wedge && (int) i != enabled.pointer)
        {
            EXPECT_EQ (enabled.context.ops[i].colour(), disabled.context.ops[i].colour()) << i;
        }
    }
}

TEST (KVLookKnob, DegenerateSizesAndPositionsDrawNothingBroken)
{
    kelm::KVLook lf;
    juce::Slider slider;
    for (auto [w, h] : { std::pair { 0, 0 }, { -5, 40 }, { 4, 4 } })
        EXPECT_TRUE (recordKnob (lf, slider, 0.5f, w, h).context.ops.empty());

    const auto nan = recordKnob (lf, slider, std::numeric_limits<float>::quiet_NaN());
    for (const auto& op : nan.context.ops)
        EXPECT_TRUE (std::isfinite (op.bounds.getX()) && std::isfinite (op.bounds.getWidth()));
}

TEST (KVLookPopupMenu, IdealItemSizes)
{
    kelm::KVLook lf;
    ScopedDefaultLook asDefault (lf);
    const juce::String text ("ASSIGN TO LAST CC");
    const auto width = [&] (float height) {
        return (int) std::ceil (juce::Font (lf.getTypefaceForFont ({})).withHeight (height).getStringWidthFloat (text));
    };

    int w = 0, h = 0;
    lf.getIdealPopupMenuItemSize ({}, false, 0, w, h);
    EXPECT_EQ (h, 18); // round (14 x 1.3)
    EXPECT_EQ (w, 36);
    lf.getIdealPopupMenuItemSize (text, false, 0, w, h);
    EXPECT_EQ (w, width (14.0f) + 36);

    lf.getIdealPopupMenuItemSize (text, false, 26, w, h); // 26 / 1.3 = 20 leaves the 14-point font
    EXPECT_EQ (h, 26);
    EXPECT_EQ (w, width (14.0f) + 52);

    lf.getIdealPopupMenuItemSize (text, false, 13, w, h); // font shrinks to 13 / 1.3 = 10
    EXPECT_EQ (h, 13);
    EXPECT_EQ (w, width (13.0f / 1.3f) + 26);

    for (auto [standard, expected] : { std::pair { 0, 10 }, { 26, 13 }, { 13, 6 } })
    {
        lf.getIdealPopupMenuItemSize (text, true, standard, w, h);
        EXPECT_EQ (w, 50);
        EXPECT_EQ (h, expected);
    }
}

TEST (KVLookPopupMenu, BackgroundOutlineAndScrollArrows)
{
    kelm::KVLook lf;
    const auto bg = record (120, 60, [&] (juce::Graphics& g) { lf.drawPopupMenuBackground (g, 120, 60); });
    ASSERT_FALSE (bg.ops.empty());
    EXPECT_TRUE (bg.ops.front().isColour (juce::Colour (0xFF272727)));
    expectRect (bg.ops.front().bounds, 0, 0, 120, 60);
    juce::Rectangle<float> outline;
    for (const auto& op : bg.withColour (juce::Colour (0xFF303030)))
    {
        EXPECT_NEAR (juce::jmin (op.bounds.getWidth(), op.bounds.getHeight()), 2.0f, 1.0e-4f);
        outline = outline.isEmpty() ? op.bounds : outline.getUnion (op.bounds);
    }
    expectRect (outline, 0, 0, 120, 60);

    const auto triangle = [&] (bool up) {
        const auto c = record (100, 20, [&] (juce::Graphics& g) { lf.drawPopupMenuUpDownArrow (g, 100, 20, up); });
        EXPECT_TRUE (c.ops.front().fill.isGradient());
        expectRect (c.ops.front().bounds, 1, 1, 98, 18);
        const auto arrows = c.withColour (juce::Colour (0xFFBDBDBD));
        EXPECT_EQ (arrows.size(), 1u);
        std::vector<juce::Point<float>> corners;
        for (juce::Path::Iterator it (arrows.front().path); it.next();)
            if (it.elementType != juce::Path::Iterator::closePath)
                corners.push_back ({ it.x1, it.y1 });
        return corners;
    };
    const std::vector<juce::Point<float>> up { { 44, 12 }, { 56, 12 }, { 50, 6 } };
    const std::vector<juce::Point<float>> down { { 44, 6 }, { 56, 6 }, { 50, 12 } };
    EXPECT_EQ (triangle (true), up);
    EXPECT_EQ (triangle (false), down);
}

TEST (KVLookDrawing, ShinyShapeLabelsAndLinearBackground)
{
    kelm::KVLook lf;
    const juce::Colour c (0xFF123456);
    const auto shiny = [&] (float w, float h) {
        return record (10, 10, [&] (juce::Graphics& g) { lf.drawShinyButtonShape (g, 1, 2, w, h, 3, c, 1, false, false, false, false); });
    };
    EXPECT_TRUE (shiny (1.1f, 5.0f).ops.empty());
    EXPECT_TRUE (shiny (5.0f, 1.1f).ops.empty());
    const auto filled = shiny (1.2f, 2.0f);
    ASSERT_EQ (filled.ops.size(), 1u);
    EXPECT_TRUE (filled.ops[0].isColour (c));
    expectRect (filled.ops[0].bounds, 1, 2, 1.2f, 2);

    // A label being edited shows its background and a 1-pixel outline, but no text.
    juce::Component parent;
    juce::Label label ({}, "TEXT");
    parent.setBounds (0, 0, 200, 100);
    parent.addAndMakeVisible (label);
    label.setBounds (0, 0, 60, 20);
    label.setEditable (true);
    label.setColour (juce::Label::outlineColourId, juce::Colour (0xFFAA0000));
    label.setColour (juce::Label::backgroundColourId, juce::Colour (0xFF0000AA));
    const auto drawLabel = [&] { return record (60, 20, [&] (juce::Graphics& g) { lf.drawLabel (g, label); }); };
    EXPECT_FALSE (drawLabel().select (DrawOp::Kind::glyph).empty());
    label.showEditor();
    ASSERT_TRUE (label.isBeingEdited());
    const auto edited = drawLabel();
    EXPECT_TRUE (edited.select (DrawOp::Kind::glyph).empty());
    EXPECT_TRUE (edited.ops.front().isColour (juce::Colour (0xFF0000AA)));
    EXPECT_EQ (edited.withColour (juce::Colour (0xFFAA0000)).size(), 4u); // the four sides

    // Horizontal track: value part from x + 2 to 4 pixels short of the thumb position.
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setColour (juce::Slider::thumbColourId, c);
    const auto track = record (120, 30, [&] (juce::Graphics& g) {
        lf.drawLinearSliderBackground (g, 10, 5, 100, 20, 60.7f, 0, 0, juce::Slider::LinearHorizontal, slider);
    });
    ASSERT_EQ (track.withColour (c).size(), 1u);
    expectRect (track.withColour (c).front().bounds, 12, 7, 46, 16);
    EXPECT_TRUE (record (120, 30, [&] (juce::Graphics& g) {
                     lf.drawLinearSliderBackground (g, 10, 5, 100, 20, 60, 0, 0, juce::Slider::Rotary, slider);
                 }).ops.empty());
}
