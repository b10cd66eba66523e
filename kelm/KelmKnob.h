// The standard rotary knob: a slider with a MIDI-learn menu and an optional range wedge.
#pragma once

#include "kelm/MIDITarget.h"

namespace kelm
{
class KelmKnob : public juce::Slider, public MIDITarget
{
public:
    KelmKnob();
    ~KelmKnob() override;

    /** Alt-click opens the MIDI-learn menu when the knob stands for a parameter. */
    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    /** Share (0 to 1) of the travel from the value to the maximum that the lime wedge covers. */
    float rangeOverlayAmount = 0.0f;
    /** Square rangeOverlayAmount before use. */
    bool rangeOverlaySquared = false;

    /** Start and end angle of the range wedge for the current value. */
    juce::Range<float> rangeOverlayAngles();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelmKnob)
};
} // namespace kelm
