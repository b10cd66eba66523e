// Helpers for the editor tests: a processor to build parts on, mouse events, and painting parts into images.
#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "plugin/PluginProcessor.h"

namespace calyth::test
{
/** A press, drag or release at the point (in the component's coordinates) with the modifier flags. */
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<int> p, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), p.toFloat(), mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
             &c, &c, now, p.toFloat(), now, 1, false };
}

/** The component and its children painted at the scale into an image of its scaled size. */
inline juce::Image paintAt (juce::Component& c, float scale = 1.0f)
{
    juce::Image image (juce::Image::ARGB, juce::roundToInt ((float) c.getWidth() * scale),
                       juce::roundToInt ((float) c.getHeight() * scale), true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    c.paintEntireComponent (g, false);
    return image;
}

/** Sets a host parameter to a value in its own range, as the host would. */
inline void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
} // namespace calyth::test
