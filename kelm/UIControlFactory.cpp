// The toolkit's standard controls.
#include "kelm/UIControlFactory.h"

#include "kelm/KelmColours.h"

namespace kelm
{
juce::Label* UIControlFactory::createRegularLabel (const juce::String& text)
{
    auto* label = new juce::Label ({}, {});
    label->setColour (juce::Label::textColourId, KelmColours::light_grey);
    label->setColour (juce::Label::backgroundColourId, KelmColours::dark_grey.withAlpha ((juce::uint8) 0));
    label->setEditable (false, false, false);
    label->setWantsKeyboardFocus (false);
    label->setFocusContainerType (juce::Component::FocusContainerType::none);
    label->setJustificationType (juce::Justification::centred);
    label->setText (text, juce::dontSendNotification);
    label->setFont (juce::Font (10.0f, juce::Font::plain));
    return label;
}

KelmKnob* UIControlFactory::createRegularKnob (const juce::Colour& fill)
{
    auto* knob = new KelmKnob();
    knob->setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob->setRange (0.0, 1.0, 0.001);
    knob->setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    knob->setColour (juce::Slider::backgroundColourId, KelmColours::dark_grey.withAlpha ((juce::uint8) 0));
    knob->setColour (juce::Slider::rotarySliderFillColourId, fill);
    knob->setWantsKeyboardFocus (false);
    return knob;
}

juce::DrawableButton* UIControlFactory::createIconButton (const juce::Drawable* off, const juce::Drawable* on)
{
    auto* button = new juce::DrawableButton ({}, juce::DrawableButton::ImageFitted);
    button->setImages (off, nullptr, on, nullptr, on, nullptr, on, nullptr);
    button->setEdgeIndent (0);
    button->setWantsKeyboardFocus (false);
    button->setClickingTogglesState (true);
    return button;
}
} // namespace kelm
