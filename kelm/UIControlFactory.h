// Makes the toolkit's standard label, knob and icon button; the caller owns what it gets.
#pragma once

#include "kelm/KelmKnob.h"

namespace kelm
{
struct UIControlFactory
{
    static juce::Label* createRegularLabel (const juce::String& text);
    static KelmKnob* createRegularKnob (const juce::Colour& fill);
    /** Off is the normal image; on is the pressed and switched-on image. The button copies both. */
    static juce::DrawableButton* createIconButton (const juce::Drawable* off, const juce::Drawable* on);
};
} // namespace kelm
