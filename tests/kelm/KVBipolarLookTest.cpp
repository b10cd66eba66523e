// The centre-out look-and-feel of the knobs: the wedge from 12 o'clock (the product shows no linear slider in this look).
#include "LookTestHelpers.h"
#include "kelm/KVBipolarLook.h"

using namespace kelm::test;

TEST (KVBipolarLook, KnobWedgeGrowsFromTheCentre)
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
}
