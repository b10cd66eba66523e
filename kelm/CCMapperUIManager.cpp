// Relay from MIDI-learn menus to the controller map.
#include "kelm/CCMapperUIManager.h"

#include "kelm/MIDITarget.h"

namespace kelm
{
CCMapperUIManager::~CCMapperUIManager() = default;

void CCMapperUIManager::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto* target = dynamic_cast<MIDITarget*> (source);

    // Without a map the request waits for one.
    if (target == nullptr || mapper == nullptr)
        return;

    if (target->assignRequested)
    {
        target->assignRequested = false;
        mapper->mapLastCCToParameter (target->midiParameterID);
    }
    else if (target->clearRequested)
    {
        target->clearRequested = false;
        mapper->clearCCMapping (target->midiParameterID);
    }
}
} // namespace kelm
