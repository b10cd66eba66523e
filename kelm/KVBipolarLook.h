// The centre-out variant of the dark look-and-feel: knob wedges and horizontal bars grow from the middle.
#pragma once

#include "kelm/KVLook.h"

namespace kelm
{
class KVBipolarLook : public KVLook
{
public:
    KVBipolarLook();
    ~KVBipolarLook() override;

    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     juce::Slider::SliderStyle, juce::Slider&) override;
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

    /** 12 o'clock with the framework's default rotary range. */
    float bipolarCentreAngle;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KVBipolarLook)
};
} // namespace kelm
