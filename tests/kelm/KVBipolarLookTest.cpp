// The centre-out look-and-feel: knob wedge from 12 o'clock and the centre-out horizontal bar.
#include <gtest/gtest.h>

#include "LookTestHelpers.h"
#include "kelm/KVBipolarLook.h"

using namespace kelm::test;

namespace
{
const juce::Colour fill { 0xFF00FF00 };

juce::Path wedgeFor (kelm::KVBipolarLook& lf, double value, juce::Rectangle<float>* pointerBounds = nullptr)
{
    juce::Slider slider;
    slider.setRange (0.0, 1.0);
    slider.setValue (value);
    slider.setColour (juce::Slider::rotarySliderFillColourId, fill);
    const auto c = record (61, 100, [&] (juce::Graphics& g) {
        lf.drawRotarySlider (g, 0, 0, 61, 100, (float) value, 1.2f * pi, 2.8f * pi, slider);
    });
    if (pointerBounds != nullptr)
        *pointerBounds = c.ops[(size_t) indexOf (c, fill)].bounds;
    return c.ops[(size_t) indexOf (c, fill.withAlpha ((juce::uint8) 0xCC))].path;
}
} // namespace

TEST (KVBipolarLook, KnobWedgeGrowsFromTwelveOClock)
{
    kelm::KVBipolarLook lf;
    EXPECT_FLOAT_EQ (lf.bipolarCentreAngle, 6.2831855f);

    // Middle: an empty wedge and the pointer straight up (r = 28, centre (30.5, 50)).
    juce::Rectangle<float> pointer;
    const auto middle = wedgeFor (lf, 0.5, &pointer);
    EXPECT_TRUE (coversNothing (middle));
    expectRect (pointer, 29.1f, 37.4f, 2.8f, 7.0f);

    const auto minimum = wedgeFor (lf, 0.0);
    EXPECT_TRUE (minimum.contains (polar (30.5f, 50.0f, 20.0f, 1.3f * pi)));
    EXPECT_TRUE (minimum.contains (polar (30.5f, 50.0f, 20.0f, 1.9f * pi)));
    EXPECT_FALSE (minimum.contains (polar (30.5f, 50.0f, 20.0f, 2.1f * pi)));

    const auto maximum = wedgeFor (lf, 1.0);
    EXPECT_TRUE (maximum.contains (polar (30.5f, 50.0f, 20.0f, 2.1f * pi)));
    EXPECT_TRUE (maximum.contains (polar (30.5f, 50.0f, 20.0f, 2.7f * pi)));
    EXPECT_FALSE (maximum.contains (polar (30.5f, 50.0f, 20.0f, 1.9f * pi)));

    const auto quarter = wedgeFor (lf, 0.25); // from 1.6 pi up to 2 pi
    EXPECT_TRUE (quarter.contains (polar (30.5f, 50.0f, 20.0f, 1.8f * pi)));
    EXPECT_FALSE (quarter.contains (polar (30.5f, 50.0f, 20.0f, 1.5f * pi)));
}

TEST (KVBipolarLook, HorizontalBarGrowsFromTheCentre)
{
    kelm::KVBipolarLook lf;
    const juce::Colour thumb (0xFF123456);
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setRange (0.0, 1.0);
    slider.setColour (juce::Slider::thumbColourId, thumb);

    const auto bars = [&] (double value, juce::Slider::SliderStyle style = juce::Slider::LinearHorizontal) {
        slider.setValue (value);
        const auto c = record (100, 20, [&] (juce::Graphics& g) {
            lf.drawLinearSliderBackground (g, 0, 0, 100, 20, 0, 0, 0, style, slider);
        });
        std::vector<juce::Rectangle<float>> result;
        for (const auto& op : c.withColour (thumb))
            if (! op.bounds.isEmpty())
                result.push_back (op.bounds);
        return result;
    };

    const juce::Rectangle<float> mark (49, 2, 2, 16);
    EXPECT_EQ (bars (0.5), (std::vector { mark }));
    EXPECT_EQ (bars (0.25), (std::vector { mark, juce::Rectangle<float> (27, 2, 21, 16) }));
    EXPECT_EQ (bars (0.75), (std::vector { mark, juce::Rectangle<float> (52, 2, 21, 16) }));

    slider.setValue (0.3);
    EXPECT_TRUE (record (100, 20, [&] (juce::Graphics& g) {
                     lf.drawLinearSliderBackground (g, 0, 0, 20, 100, 50, 0, 0, juce::Slider::LinearVertical, slider);
                 }).ops.empty());
}
