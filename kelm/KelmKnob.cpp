// The standard rotary knob.
#include "kelm/KelmKnob.h"

#include "kelm/KelmColours.h"

#include <cmath>

namespace kelm
{
namespace
{
// The knob's own angle constants, independent of the slider's rotary parameters.
constexpr float overlayStartAngle = 1.2f * juce::MathConstants<float>::pi;
constexpr float overlayTravel = 1.6f * juce::MathConstants<float>::pi;
} // namespace

KelmKnob::KelmKnob()
{
    // Every knob paints through a cached image, so the knob drawing runs only when the knob changes.
    if (getCachedComponentImage() == nullptr)
        setBufferedToImage (true);
}

KelmKnob::~KelmKnob() = default;

void KelmKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown() && midiParameterID.isNotEmpty())
    {
        menu();
        return;
    }

    juce::Slider::mouseDown (e);
}

juce::Range<float> KelmKnob::rangeOverlayAngles()
{
    auto p = (float) valueToProportionOfLength (getValue());
    p = std::isfinite (p) ? juce::jlimit (0.0f, 1.0f, p) : 0.0f;

    auto a = std::isfinite (rangeOverlayAmount) ? juce::jlimit (0.0f, 1.0f, rangeOverlayAmount) : 0.0f;
    if (rangeOverlaySquared)
        a *= a;

    return { overlayStartAngle + overlayTravel * p, overlayStartAngle + overlayTravel * (p + (1.0f - p) * a) };
}

void KelmKnob::paint (juce::Graphics& g)
{
    if (rangeOverlayAmount > 0.0001f && getSliderStyle() == juce::Slider::RotaryVerticalDrag)
    {
        const float cx = (float) getWidth() * 0.5f;
        const float cy = (float) (getHeight() - getTextBoxHeight()) * 0.5f;
        const float r = juce::jmin (cx, cy);

        if (r > 0.0f)
        {
            const auto angles = rangeOverlayAngles();
            juce::Path wedge;
            wedge.addPieSegment (cx - r, cy - r, 2.0f * r, 2.0f * r, angles.getStart(), angles.getEnd(), 0.0f);
            g.setColour (KelmColours::lime.withAlpha ((juce::uint8) (isEnabled() ? 0xCC : 0x33)));
            g.fillPath (wedge);
        }
    }

    juce::Slider::paint (g);
}
} // namespace kelm
