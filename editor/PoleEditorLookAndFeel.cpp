// The engine editor panels' knob look.
#include "editor/PoleEditorLookAndFeel.h"

#include <cmath>

const juce::Identifier PoleEditorLookAndFeel::knob_txt_property { "display_text" };

PoleEditorLookAndFeel::PoleEditorLookAndFeel() = default;
PoleEditorLookAndFeel::~PoleEditorLookAndFeel() = default;

void PoleEditorLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                              float sliderPosProportional, float rotaryStartAngle,
                                              float rotaryEndAngle, juce::Slider& slider)
{
    const float r = (float) juce::jmin (width / 2, height / 2) - 2.0f;

    // Too small to show a knob, or angles that are no numbers.
    if (r <= 0.0f || ! std::isfinite (rotaryStartAngle) || ! std::isfinite (rotaryEndAngle))
        return;

    const bool enabled = slider.isEnabled();
    const auto fill = slider.findColour (juce::Slider::rotarySliderFillColourId);
    const auto wedgeColour = fill.withAlpha ((juce::uint8) (enabled ? 0xCC : 0x66));
    const auto text = slider.getProperties()[knob_txt_property].toString();

    const float cx = (float) x + (float) width * 0.5f;
    const float cy = (float) y + (float) height * 0.5f;
    const float rx = cx - r, ry = cy - r, rw = 2.0f * r;

    if (knobBack != nullptr)
        knobBack->drawWithin (g, { rx, ry, rw, rw }, juce::RectanglePlacement::fillDestination, 1.0f);

    const float proportion = std::isfinite (sliderPosProportional) ? sliderPosProportional : 0.0f;
    const float angle = rotaryStartAngle + proportion * (rotaryEndAngle - rotaryStartAngle);

    // At the start of the travel the wedge has no extent, so nothing is filled.
    if (angle != rotaryStartAngle)
    {
        const float wedgeSide = juce::jmax (0.0f, rw - 0.2f * r);
        juce::Path wedge;
        wedge.addPieSegment (rx + 0.1f * r, ry + 0.1f * r, wedgeSide, wedgeSide, rotaryStartAngle, angle, 0.0f);
        g.setColour (wedgeColour);
        g.fillPath (wedge);
    }

    const juce::Rectangle<float> disc (rx + 0.2f * r, ry + 0.2f * r, juce::jmax (0.0f, rw - 0.4f * r), juce::jmax (0.0f, rw - 0.4f * r));
    g.setColour (juce::Colour (0xFF272727));
    g.fillEllipse (disc);

    if (text.isNotEmpty())
    {
        g.setColour (juce::Colour (enabled ? 0xFFBDBDBDu : 0x7FBDBDBDu));
        g.drawFittedText (text, disc.toNearestInt(), juce::Justification::centred, 1, 0.0f);
    }
}
