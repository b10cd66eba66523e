// The centre-out variant of the dark look-and-feel.
#include "kelm/KVBipolarLook.h"

#include <cmath>

namespace kelm
{
namespace
{
// The value as a proportion, with values that are no numbers treated as the middle.
float valueProportion (juce::Slider& slider)
{
    const auto p = (float) slider.valueToProportionOfLength (slider.getValue());
    return std::isfinite (p) ? p : 0.5f;
}
} // namespace

KVBipolarLook::KVBipolarLook() : bipolarCentreAngle (juce::MathConstants<float>::twoPi) {}

KVBipolarLook::~KVBipolarLook() = default;

void KVBipolarLook::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                      float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                                      juce::Slider& slider)
{
    const float proportion = std::isfinite (sliderPosProportional) ? sliderPosProportional : 0.0f;
    const float angle = rotaryStartAngle + proportion * (rotaryEndAngle - rotaryStartAngle);

    // The side is chosen from the value itself, the angle from the position the framework passes.
    if (valueProportion (slider) < 0.5f)
        drawKnob (g, x, y, width, height, angle, angle, bipolarCentreAngle, slider);
    else
        drawKnob (g, x, y, width, height, angle, bipolarCentreAngle, angle, slider);
}

void KVBipolarLook::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height, float, float,
                                                float, juce::Slider::SliderStyle style, juce::Slider& slider)
{
    if (style != juce::Slider::LinearHorizontal)
        return;

    const auto thumb = slider.findColour (juce::Slider::thumbColourId);
    const juce::Rectangle<int> track (x, y, width, height);
    const float p = juce::jlimit (0.0f, 1.0f, valueProportion (slider));
    const int half = width / 2;
    const int barHeight = juce::jmax (0, height - 4);

    fillLinearTrack (g, track, slider);

    g.setColour (thumb);
    g.fillRect (x + (width - 2) / 2, y + 2, 2, barHeight);

    if (p < 0.5f)
    {
        const int len = (int) ((float) half * (1.0f - 2.0f * p));
        g.fillRect (x + half + 2 - len, y + 2, juce::jmax (0, len - 4), barHeight);
    }
    else
    {
        const int len = (int) ((float) half * 2.0f * (p - 0.5f));
        g.fillRect (x + half + 2, y + 2, juce::jmax (0, len - 4), barHeight);
    }

    finishLinearTrack (g, track, true);
}
} // namespace kelm
