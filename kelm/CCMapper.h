// MIDI learn: bindings of controller numbers to host parameters, and the last controller received.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <atomic>

namespace kelm
{
class CCMapper
{
public:
    CCMapper();

    /** Binds the parameter to the last received controller (one binding per parameter). */
    void mapLastCCToParameter (const juce::String& parameterID);
    /** Removes the parameter's first binding, if any. */
    void clearCCMapping (const juce::String& parameterID);
    /** Replaces the whole map when the element's tag is the map tag (ignoring case). */
    void loadMapFromXml (const juce::XmlElement& xml);

    static const juce::String midiMapTag;
    static const juce::String ccValueProperty;

    juce::ValueTree ccMap;
    std::atomic<int> lastReceivedCC { -1 };

    JUCE_DECLARE_NON_COPYABLE (CCMapper)
};
} // namespace kelm
