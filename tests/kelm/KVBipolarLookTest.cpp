// The centre-out look-and-feel: knob wedge from 12 o'clock and the centre-out horizontal bar.
#include "LookTestHelpers.h"
#include "kelm/KVBipolarLook.h"

using namespace kelm::test;

TEST (KVBipolarLook, KnobWedgeGrowsFromTwelveOClock)
{
    kelm::KVBipolarLook lf;
    const juce::Colour fill (0xFF00FF00);
    juce::Slider slider;
    slider.setRange (0.0, 1.0);
    slider.setColour (juce::Slider::rotarySliderFillColourId, fill);
    const auto draw = [&] (double value) {
        slider.setValue (value);
        return record (61, 100, [&] (juce::Graphics& g) { lf.drawRotarySlider (g, 0, 0, 61, 100, (float) value, 1.2f * pi, 2.8f * pi, slider); });
    };
    // In the ring between cap and rim of a 61 x 100 knob (r = 28 around (30.5, 50)).
    const auto covers = [] (const RecordingContext& c, float turns) {
        return c.ops[(size_t) c.indexOf (juce::Colour (0xCC00FF00))].path.contains (polar (30.5f, 50, 20, turns * pi));
    };

    const auto middle = draw (0.5);
    EXPECT_TRUE (coversNothing (middle.ops[(size_t) middle.indexOf (juce::Colour (0xCC00FF00))].path));
    expectRect (middle.boundsOf (fill).front(), 29.1f, 37.4f, 2.8f, 7.0f); // pointer straight up

    const auto minimum = draw (0.0), maximum = draw (1.0), quarter = draw (0.25);
    EXPECT_TRUE (covers (minimum, 1.3f) && covers (minimum, 1.9f) && ! covers (minimum, 2.1f));
    EXPECT_TRUE (covers (maximum, 2.1f) && covers (maximum, 2.7f) && ! covers (maximum, 1.9f));
    EXPECT_TRUE (covers (quarter, 1.8f) && ! covers (quarter, 1.5f) && ! covers (quarter, 2.1f));
}

TEST (KVBipolarLook, HorizontalBarGrowsFromTheCentre)
{
    kelm::KVBipolarLook lf;
    const juce::Colour thumb (0xFF123456);
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setRange (0.0, 1.0);
    slider.setColour (juce::Slider::thumbColourId, thumb);
    const auto bars = [&] (double value) {
        slider.setValue (value);
        std::vector<juce::Rectangle<float>> nonEmpty;
        for (auto r : record (100, 20, [&] (juce::Graphics& g) { lf.drawLinearSliderBackground (g, 0, 0, 100, 20, 0, 0, 0, juce::Slider::LinearHorizontal, slider); })
                          .boundsOf (thumb))
            if (! r.isEmpty())
                nonEmpty.push_back (r);
        return nonEmpty;
    };

    const juce::Rectangle<float> mark (49, 2, 2, 16);
    EXPECT_EQ (bars (0.5), (std::vector { mark }));
    EXPECT_EQ (bars (0.25), (std::vector { mark, juce::Rectangle<float> (27, 2, 21, 16) }));
    EXPECT_EQ (bars (0.75), (std::vector { mark, juce::Rectangle<float> (52, 2, 21, 16) }));
    EXPECT_TRUE (record (20, 100, [&] (juce::Graphics& g) {
                     lf.drawLinearSliderBackground (g, 0, 0, 20, 100, 50, 0, 0, juce::Slider::LinearVertical, slider);
                 }).ops.empty());
}
