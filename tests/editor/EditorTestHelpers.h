// Helpers for the editor tests: mouse events on a component, and host-side parameter changes.
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
    return { juce::Desktop::getInstance().getMainMouseSource(), p.toFloat(), mods, 1, 0, 0, 0, 0, &c, &c, now, p.toFloat(), now, 1, false };
}

/** Sets a host parameter to a value in its own range, as the host would. */
inline void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
} // namespace calyth::test
