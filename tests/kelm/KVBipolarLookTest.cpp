// The centre-out look-and-feel: knob wedge from 12 o'clock and the centre-out horizontal bar.
#include "LookTestHelpers.h"
#include "kelm/KVBipolarLook.h"

using namespace kelm::test;

TEST (KVBipolarLook, KnobWedgeAndHorizontalBarGrowFromTheCentre)
{
    kelm::KVBipolarLook lf;
    juce::Slider slider;
    slider.setRange (0.0, 1.0);
    // The wedge grows from 12 o'clock: to the left for values below the middle, to the right above it.
    for (auto [value, marks] : { std::pair { 0.5, "...................." }, { 0.0, "..########.........." },
                                 { 1.0, "..........########.." }, { 0.25, "......####.........." } })
    {
        slider.setValue (value);
        const Knob k (lf, slider, (float) value);
        EXPECT_EQ (arc (k.path (k.wedge), Knob::centre, 23), marks) << value; // where it shows, outside the cap
        EXPECT_TRUE (k.path (k.pointer).contains (Knob::centre.getPointOnCircumference (9.1f, (1.2f + 1.6f * (float) value) * pi)));
    }

    // The side comes from the value, the angle from the position the framework passes: the wedge's path starts at
    // the position's angle below the middle value, at 12 o'clock from it on.
    for (auto [value, position, start] : { std::tuple { 0.25, 0.75f, 0.4f }, { 0.75, 0.25f, 0.0f } })
    {
        slider.setValue (value);
        const Knob k (lf, slider, position);
        juce::Path::Iterator it (k.path (k.wedge));
        ASSERT_TRUE (it.next());
        EXPECT_NEAR (Knob::centre.getAngleToPoint ({ it.x1, it.y1 }), start * pi, 1.0e-4f) << value;
    }

    const juce::Colour thumb (0xFF123456);
    slider.setColour (juce::Slider::thumbColourId, thumb);
    const auto draw = [&] (double value, juce::Slider::SliderStyle style) {
        slider.setValue (value);
        return record (100, 20, [&] (juce::Graphics& g) { lf.drawLinearSliderBackground (g, 0, 0, 100, 20, 0, 0, 0, style, slider); });
    };
    // The 2-pixel centre mark at 49, then the bar, if any, of a 100-pixel slider.
    for (auto [value, bars] : { std::pair { 0.5, "49 2 2 16" }, { 0.25, "49 2 2 16, 27 2 21 16" }, { 0.75, "49 2 2 16, 52 2 21 16" } })
    {
        juce::StringArray found;
        for (const auto& op : draw (value, juce::Slider::LinearHorizontal))
            if (op.fill.colour == thumb && ! op.path.isEmpty())
                found.add (op.path.getBounds().toString());
        EXPECT_EQ (found.joinIntoString (", "), bars) << value;
    }
    EXPECT_TRUE (draw (0.75, juce::Slider::LinearVertical).empty());
}
