// Knobs and popup menus of both look-and-feels against committed reference images; a missing reference
// is written when CALYTH_UPDATE_REFERENCES=1.
#include "LookTestHelpers.h"
#include "kelm/KVBipolarLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

namespace
{
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}

::testing::AssertionResult matchesReference (const juce::Image& actual, const juce::String& name, int tolerance = 6)
{
    const auto file = juce::File (__FILE__).getSiblingFile ("reference").getChildFile (name + ".png");
    if (! file.existsAsFile())
    {
        if (juce::SystemStats::getEnvironmentVariable ("CALYTH_UPDATE_REFERENCES", {}) == "1" && writePng (actual, file))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "missing reference " << file.getFullPathName();
    }

    const auto expected = juce::ImageFileFormat::loadFrom (file).convertedToFormat (juce::Image::ARGB);
    if (expected.getBounds() != actual.getBounds())
        return ::testing::AssertionFailure() << name << ": size differs from the reference";

    int bad = 0;
    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x)
        {
            const auto a = actual.getPixelAt (x, y), b = expected.getPixelAt (x, y);
            bad += juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                               std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue())) > tolerance;
        }
    if (bad == 0)
        return ::testing::AssertionSuccess();

    const auto dump = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name + "-actual.png");
    writePng (actual, dump);
    return ::testing::AssertionFailure() << name << ": " << bad << " pixels differ; see " << dump.getFullPathName();
}

juce::Image renderKnob (juce::LookAndFeel& lf, double value)
{
    std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::blue));
    knob->setLookAndFeel (&lf);
    knob->setBounds (0, 0, 96, 96);
    knob->setValue (value);
    juce::Image image (juce::Image::ARGB, 96, 96, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xFF1F1F1F));
    knob->paintEntireComponent (g, false);
    knob->setLookAndFeel (nullptr);
    return image;
}

// Laid out as the framework's menu window does: border, ideal item sizes, one item after the other.
juce::Image renderMenu (juce::LookAndFeel& lf)
{
    const juce::StringArray texts { "ASSIGN TO LAST CC", "CLEAR CC MAPPING", "", "LOAD MIDI MAP" };
    const int border = lf.getPopupMenuBorderSize();
    int width = 60, height = 0;
    std::vector<int> heights;
    for (const auto& text : texts)
    {
        int w = 0, h = 0;
        lf.getIdealPopupMenuItemSize (text, text.isEmpty(), 0, w, h);
        width = juce::jmax (width, w);
        height += heights.emplace_back (h);
    }

    juce::Image image (juce::Image::ARGB, width + 2 * border, height + 2 * border, true);
    juce::Graphics g (image);
    lf.drawPopupMenuBackground (g, image.getWidth(), image.getHeight());
    for (int i = 0, y = border; i < texts.size(); y += heights[(size_t) i++])
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (border, y, width, heights[(size_t) i]);
        g.setOrigin ({ border, y });
        lf.drawPopupMenuItem (g, { width, heights[(size_t) i] }, texts[i].isEmpty(), i != 3, i == 0, i == 1, false, texts[i], {},
                              nullptr, nullptr);
    }
    return image;
}
} // namespace

TEST (ReferenceImages, KnobsAndMenusOfBothLooks)
{
    kelm::KVLook dark;
    kelm::KVBipolarLook bipolar;
    for (auto [lf, name] : { std::pair<kelm::KVLook*, const char*> { &dark, "kvlook" }, { &bipolar, "kvbipolarlook" } })
    {
        ScopedDefaultLook asDefault (*lf);
        EXPECT_TRUE (matchesReference (renderKnob (*lf, lf == &dark ? 0.7 : 0.3), juce::String (name) + "-knob"));
        EXPECT_TRUE (matchesReference (renderMenu (*lf), juce::String (name) + "-menu"));
    }
}
