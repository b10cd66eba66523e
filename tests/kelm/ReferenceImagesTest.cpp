// Rendered knobs and popup menus of both look-and-feels, compared with committed reference images.
#include <gtest/gtest.h>

#include "LookTestHelpers.h"
#include "ReferenceImage.h"
#include "kelm/KVBipolarLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

namespace
{
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

// Lays the menu out as the framework's menu window does: border, ideal item sizes, then each item.
juce::Image renderMenu (juce::LookAndFeel& lf)
{
    struct Row
    {
        const char* text;
        bool separator, active, ticked;
    };
    const Row rows[] = { { "ASSIGN TO LAST CC", false, true, false },
                         { "CLEAR CC MAPPING", false, true, true },
                         { "", true, true, false },
                         { "LOAD MIDI MAP", false, false, false } };
    const int border = lf.getPopupMenuBorderSize();
    int width = 60, height = 0;
    std::vector<int> heights;
    for (const auto& row : rows)
    {
        int w = 0, h = 0;
        lf.getIdealPopupMenuItemSize (row.text, row.separator, 0, w, h);
        width = juce::jmax (width, w);
        heights.push_back (h);
        height += h;
    }

    juce::Image image (juce::Image::ARGB, width + 2 * border, height + 2 * border, true);
    juce::Graphics g (image);
    lf.drawPopupMenuBackground (g, image.getWidth(), image.getHeight());
    int y = border;
    for (size_t i = 0; i < std::size (rows); ++i)
    {
        const juce::Rectangle<int> area (border, y, width, heights[i]);
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (area);
        g.setOrigin (area.getPosition());
        lf.drawPopupMenuItem (g, area.withZeroOrigin(), rows[i].separator, rows[i].active, i == 0, rows[i].ticked, false,
                              rows[i].text, {}, nullptr, nullptr);
        y += heights[i];
    }
    return image;
}
} // namespace

TEST (ReferenceImages, KnobsAndMenusOfBothLooks)
{
    kelm::KVLook dark;
    kelm::KVBipolarLook bipolar;

    {
        ScopedDefaultLook asDefault (dark);
        EXPECT_TRUE (matchesReference (renderKnob (dark, 0.7), "kvlook-knob"));
        EXPECT_TRUE (matchesReference (renderMenu (dark), "kvlook-menu"));
    }
    {
        ScopedDefaultLook asDefault (bipolar);
        EXPECT_TRUE (matchesReference (renderKnob (bipolar, 0.3), "kvbipolarlook-knob"));
        EXPECT_TRUE (matchesReference (renderMenu (bipolar), "kvbipolarlook-menu"));
    }
}
