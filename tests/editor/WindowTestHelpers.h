// Helpers of the window tests: a processor with its main component, clicks, preset files and pixels.
#pragma once

#include "editor/MainComponent.h"
#include "plugin/StateTestHelpers.h"

namespace calyth::test
{
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

/** A preset file that sets x_pos, so that which one was loaded shows in the parameter. */
inline juce::File writePreset (ScopedFiles& files, const juce::String& name, float xPos, const juce::String& extra = {})
{
    return files.write (presetsFolder().getChildFile (name + ".cpst"),
                        "<Calyth><PARAM id=\"x_pos\" value=\"" + juce::String (xPos) + "\"/>" + extra + "</Calyth>");
}

inline juce::Image snapshot (juce::Component& c, float scale = 1.0f) { return c.createComponentSnapshot (c.getLocalBounds(), true, scale); }
} // namespace calyth::test
