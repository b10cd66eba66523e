// The main component: places, images, tooltips and bindings of its controls, its painting, and the shared looks.
#include <gtest/gtest.h>

#include "WindowTestHelpers.h"

using namespace calyth::test;

namespace
{
using R = juce::Rectangle<int>;
}

TEST (Window, EveryControlAtItsPlaceWithItsTooltip)
{
    Window w;
    auto& m = w.main;
    const CalythLayout layout;
    EXPECT_EQ (juce::String (layout.designWidth) + " " + layout.windowBounds.toString() + " " + layout.innerBounds.toString() + " "
                   + layout.headerBounds.toString() + " " + layout.padPanelBounds.toString() + " " + layout.knobsPanelBounds.toString()
                   + " " + layout.emblemBounds.toString() + " " + layout.wordmarkBounds.toString() + " " + juce::String (layout.designHeight),
               "480 0 0 480 600 2 2 476 596 2 2 476 60 2 62 476 300 2 362 476 236 436 16 28 32 12 12 88 40 600");

    struct Row { juce::Component* c; R bounds; const char* tooltip; };
    std::vector<Row> rows {
        { m.regenerateWorldButton.get(), { 24, 142, 60, 60 }, "Regenerate all engines." },
        { m.randomizeTrajectoryButton.get(), { 24, 222, 60, 60 }, "Randomize trajectory." },
        { m.trajectoryButton.get(), { 38, 322, 32, 32 }, "Trajectory On/Off." },
        { m.previousPresetButton.get(), { 110, 20, 19, 24 }, "" },
        { m.nextPresetButton.get(), { 351, 20, 19, 24 }, "" },
        { m.presetNameButton.get(), { 134, 20, 212, 24 }, "" },
        { m.presetNameLabel.get(), { 134, 20, 212, 24 }, "" },
        { m.settingsButton.get(), { 377, 22, 15, 20 }, "" },
        { m.savePresetButton.get(), { 407, 22, 15, 20 }, "" },
        { m.pad.get(), { 98, 70, 284, 284 }, "" },
        { m.xTrajAmountKnob.knob.get(), { 55, 420, 60, 60 }, "" },  { m.xTrajRangeKnob.knob.get(), { 163, 420, 60, 60 }, "" },
        { m.yTrajAmountKnob.knob.get(), { 55, 511, 60, 60 }, "" },  { m.yTrajRangeKnob.knob.get(), { 163, 511, 60, 60 }, "" },
        { m.inGainKnob.knob.get(), { 275, 420, 60, 60 }, "" },      { m.outGainKnob.knob.get(), { 275, 511, 60, 60 }, "" },
        { m.dryWetKnob.knob.get(), { 378, 461, 70, 70 }, "" },
    };
    const char* corners[] = { "top left", "top right", "bottom left", "bottom right" };
    for (int pole = 0; pole < 4; ++pole)
    {
        const auto corner = juce::String (corners[pole]);
        rows.push_back ({ m.regeneratePoleButtons[pole].get(), { 390, 85 + 71 * pole, 40, 40 }, nullptr });
        EXPECT_EQ (m.regeneratePoleButtons[pole]->getTooltip(), "Regenerate " + corner + " engine.");
        rows.push_back ({ m.editPoleButtons[pole].get(), { 438, 77 + 71 * pole, 24, 24 }, nullptr });
        EXPECT_EQ (m.editPoleButtons[pole]->getTooltip(), "Edit " + corner + " engine parameters.");
        rows.push_back ({ m.stereoLinkButtons[(size_t) pole].get(), { 438, 109 + 71 * pole, 24, 24 }, nullptr });
        EXPECT_EQ (m.stereoLinkButtons[(size_t) pole]->getTooltip(), corner.substring (0, 1).toUpperCase() + corner.substring (1) + " engine stereo link On/Off.");
        rows.push_back ({ m.poleEditors[pole], { 2, 362, 476, 236 }, "" });
        EXPECT_FALSE (m.poleEditors[pole]->isVisible());
    }
    for (const auto& row : rows)
    {
        ASSERT_NE (row.c, nullptr);
        EXPECT_EQ (row.c->getParentComponent(), &m);
        EXPECT_EQ (row.c->getBounds(), row.bounds) << row.c->getBounds().toString();
        auto* client = dynamic_cast<juce::SettableTooltipClient*> (row.c);
        if (client != nullptr && row.tooltip != nullptr)
        {
            EXPECT_EQ (client->getTooltip(), row.tooltip);
        }
    }
    EXPECT_EQ (m.trajectoryConnector, juce::Rectangle<float> (53, 252, 2, 86));

    // Captions: text, height, place and colour; the preset name lets clicks through to its button.
    struct Caption { juce::Label* label; const char* text; float height; R bounds; };
    for (const auto& c : { Caption { m.xLabel.get(), "X", 20, { 13, 420, 42, 60 } }, Caption { m.yLabel.get(), "Y", 20, { 13, 511, 42, 60 } },
                           Caption { m.rangeLabel.get(), "RANGE", 16, { 163, 480, 60, 31 } }, Caption { m.speedLabel.get(), "SPEED", 16, { 55, 480, 60, 31 } },
                           Caption { m.inLabel.get(), "I", 16, { 251, 420, 24, 60 } }, Caption { m.outLabel.get(), "O", 16, { 251, 511, 24, 60 } },
                           Caption { m.mixLabel.get(), "MIX", 16, { 378, 420, 70, 41 } } })
        EXPECT_EQ (c.label->getText() + " " + juce::String (c.label->getFont().getHeight()) + " " + c.label->getBounds().toString() + " "
                       + c.label->findColour (juce::Label::textColourId).toString(),
                   juce::String (c.text) + " " + juce::String (c.height) + " " + c.bounds.toString() + " ff4bc89a");
    EXPECT_EQ (m.presetNameLabel->findColour (juce::Label::textColourId), juce::Colour (0xFF272727));
    EXPECT_EQ (m.getComponentAt (200, 30), m.presetNameButton.get());

    // The preset field's image fills its whole bar; the other icons keep their proportions.
    EXPECT_EQ (m.presetNameButton->getStyle(), juce::DrawableButton::ImageStretched);
    EXPECT_EQ (m.nextPresetButton->getStyle(), juce::DrawableButton::ImageFitted);
}

TEST (Window, KnobsAndTogglesFollowTheirParametersBothWays)
{
    Window w;
    auto& m = w.main;
    const std::pair<calyth::ParameterKnob*, const char*> knobs[] = { { &m.inGainKnob, "in_gain" }, { &m.outGainKnob, "out_gain" },
        { &m.dryWetKnob, "dry_wet" }, { &m.xTrajAmountKnob, "x_traj_amount" }, { &m.xTrajRangeKnob, "x_traj_range" },
        { &m.yTrajAmountKnob, "y_traj_amount" }, { &m.yTrajRangeKnob, "y_traj_range" } };
    for (const auto& [knob, id] : knobs)
    {
        auto* parameter = w.processor.parameterTree.getParameter (id);
        const auto range = parameter->getNormalisableRange();
        knob->knob->setValue (range.convertFrom0to1 (0.25f), juce::sendNotificationSync);
        EXPECT_NEAR (parameter->getValue(), 0.25f, 0.002f) << id;
        parameter->setValueNotifyingHost (0.75f);
        EXPECT_NEAR (knob->knob->getValue(), range.convertFrom0to1 (0.75f), 0.01) << id;
        EXPECT_EQ (knob->knob->findColour (juce::Slider::rotarySliderFillColourId), juce::Colour (0xFF4BC89A));
        // Only the mix knob draws from the centre of its scale.
        EXPECT_EQ (dynamic_cast<kelm::KVBipolarLook*> (&knob->knob->getLookAndFeel()) != nullptr, knob == &m.dryWetKnob) << id;
    }
    click (m, *m.trajectoryButton);
    click (m, *m.stereoLinkButtons[2]);
    EXPECT_EQ (parameterValue (w.processor, "trajectory") + parameterValue (w.processor, "stereo_link_c") + parameterValue (w.processor, "stereo_link_a"), 2.0f);
    setParameter (w.processor, "stereo_link_d", 1.0f);
    EXPECT_TRUE (m.stereoLinkButtons[3]->getToggleState());
}

TEST (Window, PaintsTheFrameThePanelsTheConnectorAndGreyBrandMarks)
{
    Window w;
    auto& m = w.main;
    const auto image = snapshot (m);
    const auto at = [&] (int x, int y) { return image.getPixelAt (x, y).getARGB(); };
    // The 2-unit frame, black inside it where no image lies, the connector between the two trajectory buttons.
    EXPECT_EQ (at (0, 0), 0xFF444444u);
    EXPECT_EQ (at (1, 300), 0xFF444444u);
    EXPECT_EQ (at (479, 599), 0xFF444444u);
    EXPECT_EQ (at (53, 300), 0xFF272727u);
    EXPECT_EQ (at (54, 300), 0xFF272727u);
    EXPECT_NE (at (52, 300), 0xFF272727u);
    EXPECT_NE (at (53, 250), 0xFF272727u); // above its top, inside the randomise button

    // Emblem and wordmark in light grey, never in their drawn white.
    int grey = 0, white = 0;
    for (const auto& area : { R (436, 16, 28, 32), R (12, 12, 88, 40) })
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                grey += at (x, y) == 0xFFBDBDBDu;
                white += at (x, y) == 0xFFFFFFFFu;
            }
    EXPECT_GT (grey, 40);
    EXPECT_EQ (white, 0);

    // The teal strip under an open panel's title replaces the knob panel; the captions are teal.
    const auto captionTeal = [] (const juce::Image& i)
    {
        int n = 0;
        for (int y = 440; y < 460; ++y)
            for (int x = 13; x < 55; ++x)
                n += i.getPixelAt (x, y).getARGB() == 0xFF4BC89Au;
        return n;
    };
    EXPECT_GT (captionTeal (image), 3);
    click (m, *m.editPoleButtons[0]);
    const auto withPanel = snapshot (m);
    EXPECT_EQ (withPanel.getPixelAt (240, 394).getARGB(), 0xFF4BC89Au);
    EXPECT_NE (at (240, 394), 0xFF4BC89Au);
    EXPECT_EQ (captionTeal (withPanel), 0);
}

TEST (Window, SharedLooksAndTheDefaultLookResetByAnyClosingWindow)
{
    auto first = std::make_unique<Window>();
    auto second = std::make_unique<Window>();
    auto& look = first->main.getLookAndFeel();
    EXPECT_EQ (&look, &second->main.getLookAndFeel());
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &look);
    EXPECT_EQ (look.findColour (juce::TooltipWindow::backgroundColourId).getARGB() + 0ull, 0xFF000000ull);
    EXPECT_EQ (look.findColour (juce::TooltipWindow::textColourId).getARGB() + 0ull, 0xFFFFFFFFull);
    EXPECT_EQ (&first->main.poleEditors[0]->getLookAndFeel(), &second->main.poleEditors[3]->getLookAndFeel());

    // Closing one window hands the process back the framework's look; the other keeps its own.
    second.reset();
    EXPECT_EQ (dynamic_cast<kelm::KVLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
    EXPECT_EQ (&first->main.xLabel->getLookAndFeel(), &look);
    EXPECT_NE (dynamic_cast<PoleEditorLookAndFeel*> (&first->main.poleEditors[1]->getLookAndFeel()), nullptr);
}
