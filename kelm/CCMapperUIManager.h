// Turns the MIDI-learn requests of controls into edits of the controller map.
#pragma once

#include "kelm/CCMapper.h"

#include <juce_events/juce_events.h>

namespace kelm
{
class CCMapperUIManager : public juce::ChangeListener
{
public:
    ~CCMapperUIManager() override;

    /** The source must be a MIDITarget; one request is carried out per call, an assignment first. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    /** The map edited; not owned. */
    CCMapper* mapper = nullptr;
};
} // namespace kelm
