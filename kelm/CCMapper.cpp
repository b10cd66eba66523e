// MIDI controller map.
#include "kelm/CCMapper.h"

namespace kelm
{
const juce::String CCMapper::midiMapTag { "Calyth_MIDI_MAP" };
const juce::String CCMapper::ccValueProperty { "cc" };

CCMapper::CCMapper() : ccMap (midiMapTag) {}

void CCMapper::mapLastCCToParameter (const juce::String&) {}
void CCMapper::clearCCMapping (const juce::String&) {}
void CCMapper::loadMapFromXml (const juce::XmlElement&) {}
} // namespace kelm
