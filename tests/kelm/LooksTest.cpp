// The dark look-and-feel and its centre-out variant, whose wedge grows from 12 o'clock (no linear slider in that look):
// the knob in a disabled parent or too small, labels, and knobs and menus of both against committed reference images.
#include "LookTestHelpers.h"
#include "TestHelpers.h"
#include "kelm/KVBipolarLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

namespace
{
// Pixels that differ from the committed reference by more than a small tolerance per channel (antialiasing
// may differ a little between builds), or -1 when the reference is missing or of another size.
int differences (const juce::Image& actual, const juce::String& name)
{
    const auto expected = juce::ImageFileFormat::loadFrom (calyth::test::sourceFolder().getChildFile ("kelm/reference").getChildFile (name + ".png"))
                              .convertedToFormat (juce::Image::ARGB);
    if (expected.getBounds() != actual.getBounds())
        return -1;
    int bad = 0;
    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x)
        {
            const auto a = actual.getPixelAt (x, y), b = expected.getPixelAt (x, y);
            bad += juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                               std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue())) > 6;
        }
    return bad;
}

// Laid out as the framework's menu window does: border, ideal item sizes, one item after the other.
juce::Image renderMenu (juce::LookAndFeel& lf)
{
    const juce::StringArray texts { "ASSIGN TO LAST CC", "CLEAR CC MAPPING", "", "LOAD MIDI MAP" };
    const int border = lf.getPopupMenuBorderSize();
    int width = 60, height = 0, heights[4];
    for (int i = 0, w = 0; i < 4; ++i)
    {
        lf.getIdealPopupMenuItemSize (texts[i], texts[i].isEmpty(), 0, w, heights[i]);
        width = juce::jmax (width, w);
        height += heights[i];
    }
    juce::Image image (juce::Image::ARGB, width + 2 * border, height + 2 * border, true);
    juce::Graphics g (image);
    lf.drawPopupMenuBackground (g, image.getWidth(), image.getHeight());
    for (int i = 0, y = border; i < 4; y += heights[i++])
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (border, y, width, heights[i]);
        g.setOrigin ({ border, y });
        lf.drawPopupMenuItem (g, { width, heights[i] }, texts[i].isEmpty(), i != 3, i == 0, i == 1, false, texts[i], {}, nullptr, nullptr);
    }
    return image;
}
} // namespace

TEST (Looks, KnobInADisabledParentOrTooSmallLabelsAndTheCentreOutWedge)
{
    kelm::KVLook lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);
    const Knob k (lf, slider, 0.5f);
    ASSERT_EQ (k.pointer, (int) k.ops.size() - 1); // over the cap, which follows the wedge

    // In a disabled parent only the wedge and pointer dim, to alphas 0x66 and 0x7F.
    parent.setEnabled (false);
    const Knob disabled (lf, slider, 0.5f);
    ASSERT_EQ (std::tuple (disabled.wedge, disabled.pointer, disabled.ops.size()), std::tuple (k.wedge, k.pointer, k.ops.size()));
    for (int i = 0; i < k.pointer; ++i)
        EXPECT_TRUE (i == k.wedge || disabled.ops[(size_t) i].fill == k.ops[(size_t) i].fill) << i;

    // Too small for a knob: nothing is drawn.
    for (auto [w, h] : { std::pair { 0, 0 }, { -5, 40 }, { 4, 4 } })
        EXPECT_TRUE (Knob (lf, slider, 0.5f, w, h).ops.empty());

    const juce::Colour outline (0xFFAA0000);
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

    // Being edited, a label (with a transparent background) draws only its 1-pixel outline (text would be glyph fills).
    shown.setEnabled (true);
    shown.setEditable (true);
    shown.showEditor();
    const auto edited = record (60, 20, [&] (juce::Graphics& g) { lf.drawLabel (g, shown); });
    ASSERT_EQ (std::tuple (shown.isBeingEdited(), edited.size(), indexOf (edited, outline)), std::tuple (true, 1u, 0));
    EXPECT_TRUE (edited[0].path.contains (0.5f, 0.5f) && ! edited[0].path.contains (1.5f, 1.5f));

    kelm::KVBipolarLook bipolar;
    juce::Slider centred;
    centred.setRange (0.0, 1.0);
    // The wedge grows from 12 o'clock (the reference image shows one to the left). The side comes from the value, the
    // angle from the position the framework passes: the path starts at the position's angle below the middle value,
    // at 12 o'clock from it on.
    for (auto [value, position, start] : { std::tuple { 0.25, 0.75f, 0.4f }, { 0.75, 0.25f, 0.0f } })
    {
        centred.setValue (value);
        const Knob k (bipolar, centred, position);
        juce::Path::Iterator it (k.path (k.wedge));
        ASSERT_TRUE (it.next());
        EXPECT_NEAR (Knob::centre.getAngleToPoint ({ it.x1, it.y1 }), start * pi, 1.0e-4f) << value;
    }
}

TEST (ReferenceImages, KnobsAndMenusOfBothLooks)
{
    kelm::KVLook dark;
    kelm::KVBipolarLook bipolar;
    for (auto [lf, name] : { std::pair<kelm::KVLook*, juce::String> { &dark, "kvlook" }, { &bipolar, "kvbipolarlook" } })
    {
        // Fonts resolve through the default look-and-feel, as in the product; the knob takes it too.
        juce::LookAndFeel::setDefaultLookAndFeel (lf);
        juce::Typeface::clearTypefaceCache();
        std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::blue));
        knob->setBounds (0, 0, 96, 96);
        knob->setValue (lf == &dark ? 0.7 : 0.3);
        juce::Image image (juce::Image::ARGB, 96, 96, true);
        juce::Graphics g (image);
        g.fillAll (juce::Colour (0xFF1F1F1F));
        knob->paintEntireComponent (g, false);
        EXPECT_EQ (differences (image, name + "-knob"), 0) << name;
        EXPECT_EQ (differences (renderMenu (*lf), name + "-menu"), 0) << name;
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    juce::Typeface::clearTypefaceCache();
}
