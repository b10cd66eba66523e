// The engine editor panels' knob look: a flat dark disc inside the value wedge with a short text in its centre.
#pragma once

#include "kelm/KVLook.h"

class PoleEditorLookAndFeel : public kelm::KVLook
{
public:
    PoleEditorLookAndFeel();
    ~PoleEditorLookAndFeel() override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;

    /** The knob property ("display_text") whose text the knob shows in its centre. */
    static const juce::Identifier knob_txt_property;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PoleEditorLookAndFeel)
};
