// Helpers of the editor tests: mouse events, a processor with its main component, clicks, preset files and snapshots.
#pragma once

#include <gtest/gtest.h>

#include "editor/MainComponent.h"
#include "plugin/StateTestHelpers.h"

namespace calyth::test
{
/** A press, drag or release at the point (in the component's coordinates) with the modifier flags. */
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<int> p, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), p.toFloat(), mods, 1, 0, 0, 0, 0, &c, &c, now, p.toFloat(), now, 1, false };
}

/** A processor and a main component laid out at the design size, as the editor shell shows it. */
struct Window
{
    Window()
    {
        main.setBounds (0, 0, 480, 600);
        main.setVisible (true);
    }

    CalythAudioProcessor processor;
    MainComponent main { processor };
};

/** A user's click: a toggling button flips and tells its listeners (the window, an attachment) at once. */
inline void click (MainComponent& main, juce::Button& button)
{
    if (button.getClickingTogglesState())
        button.setToggleState (! button.getToggleState(), juce::sendNotificationSync);
    else
        main.buttonClicked (&button);
}

inline juce::File presetsFolder() { return juce::File (kelm::PresetsManager::presetsFolderPath()); }

/** A preset file that sets x_pos, so that which one was loaded shows in the parameter (the path is joined as
    text: the framework's child lookup reads a name starting with '~' as a path of its own). */
inline juce::File writePreset (const juce::String& name, float xPos, const juce::String& extra = {})
{
    return writeFile (juce::File (presetsFolder().getFullPathName() + "/" + name + ".cpst"),
                      "<Calyth><PARAM id=\"x_pos\" value=\"" + juce::String (xPos) + "\"/>" + extra + "</Calyth>");
}
} // namespace calyth::test
