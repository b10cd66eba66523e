// Knobs and popup menus of both look-and-feels against committed reference images.
#include "LookTestHelpers.h"
#include "TestHelpers.h"
#include "kelm/KVBipolarLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

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

TEST (ReferenceImages, KnobsAndMenusOfBothLooks)
{
    kelm::KVLook dark;
    kelm::KVBipolarLook bipolar;
    for (auto [lf, name] : { std::pair<kelm::KVLook*, juce::String> { &dark, "kvlook" }, { &bipolar, "kvbipolarlook" } })
    {
        // Fonts resolve through the default look-and-feel, as in the product.
        juce::LookAndFeel::setDefaultLookAndFeel (lf);
        juce::Typeface::clearTypefaceCache();
        std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::blue));
        knob->setLookAndFeel (lf);
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
