// MIDI controller map: editing, MIDI-map documents and the audio thread's controller application.
#include "kelm/CCMapper.h"

#include "kelm/DocumentReading.h"
#include "kelm/DocumentWriting.h"

#include <algorithm>
#include <set>

namespace kelm
{
const juce::String CCMapper::midiMapTag { "Calyth_MIDI_MAP" };
const juce::String CCMapper::ccValueProperty { "cc" };

namespace
{
// All notes off: never moves a parameter and never becomes the last received controller.
constexpr int allNotesOffController = 123;
} // namespace

CCMapper::CCMapper() : ccMap (midiMapTag), snapshot (std::make_unique<Snapshot>())
{
    std::fill (std::begin (pendingValues), std::end (pendingValues), -1);
    ccMap.addListener (&mapListener);
}

CCMapper::~CCMapper()
{
    ccMap.removeListener (&mapListener);
}

void CCMapper::mapLastCCToParameter (const juce::String& parameterID)
{
    const juce::ScopedLock lock (mapLock);

    if (! ccMap.isValid() || parameterID.isEmpty())
        return;

    auto binding = ccMap.getChildWithName (parameterID);

    if (! binding.isValid())
    {
        binding = juce::ValueTree (parameterID);
        ccMap.appendChild (binding, nullptr);
    }

    binding.setProperty (ccValueProperty, lastReceivedCC.load(), nullptr);
}

void CCMapper::clearCCMapping (const juce::String& parameterID)
{
    const juce::ScopedLock lock (mapLock);

    if (parameterID.isEmpty())
        return;

    const auto binding = ccMap.getChildWithName (parameterID);

    if (binding.isValid())
        ccMap.removeChild (binding, nullptr);
}

void CCMapper::loadMapFromXml (const juce::XmlElement& xml)
{
    if (! xml.getTagName().equalsIgnoreCase (midiMapTag))
        return;

    // Converted before taking the lock: the tree is private until it is assigned.
    auto loaded = juce::ValueTree::fromXml (xml);

    const juce::ScopedLock lock (mapLock);
    ccMap = loaded;
}

void CCMapper::removeAllBindings()
{
    const juce::ScopedLock lock (mapLock);

    while (ccMap.getNumChildren() > 0)
        ccMap.removeChild (ccMap.getNumChildren() - 1, nullptr);
}

std::unique_ptr<juce::XmlElement> CCMapper::createMapXml() const
{
    const juce::ScopedLock lock (mapLock);
    return ccMap.isValid() ? ccMap.createXml() : nullptr;
}

bool CCMapper::saveToFile (const juce::File& file) const
{
    const auto xml = createMapXml();

    if (xml == nullptr)
        return false;

    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    juce::MemoryOutputStream text;
    xml->writeTo (text, format);
    return replaceFileWith (file, text.getData(), text.getDataSize());
}

bool CCMapper::loadFromFile (const juce::File& file)
{
    const auto xml = parseDocumentFile (file);

    if (xml == nullptr)
        return false;

    loadMapFromXml (*xml);
    return true;
}

void CCMapper::attachParameters (juce::AudioProcessorValueTreeState& parameterTree)
{
    const juce::ScopedLock lock (mapLock);
    parameters = &parameterTree;
    rebuildSnapshot();
}

void CCMapper::rebuildSnapshot()
{
    auto fresh = std::make_unique<Snapshot>();

    {
        const juce::ScopedLock lock (mapLock);

        if (parameters != nullptr)
        {
            // A pair bound twice would only set the same value again (and notify the host again).
            std::set<std::pair<int, juce::AudioProcessorParameter*>> seen;

            for (const auto& child : ccMap)
            {
                const int cc = readWholeNumber (child.getProperty (ccValueProperty));

                if (cc < 0 || cc > 127 || cc == allNotesOffController)
                    continue;

                // Unknown identifiers stay in the map but move nothing.
                if (auto* parameter = parameters->getParameter (child.getType().toString()))
                    if (seen.insert ({ cc, parameter }).second)
                        fresh->bindings.push_back ({ cc, parameter });
            }
        }
    }

    std::stable_sort (fresh->bindings.begin(), fresh->bindings.end(),
                      [] (const Binding& a, const Binding& b) { return a.cc < b.cc; });

    {
        const juce::SpinLock::ScopedLockType lock (snapshotLock);
        std::swap (snapshot, fresh);
    }

    // The replaced copy is freed here, outside the audio thread and outside the spin lock.
}

void CCMapper::applyControllerMessages (const juce::MidiBuffer& midi) noexcept
{
    for (const auto event : midi)
    {
        if (event.numBytes < 3)
            continue;

        const auto* bytes = event.data;

        // Data bytes with the top bit set are no controller message (garbage from a host).
        if ((bytes[0] & 0xf0) != 0xb0 || (bytes[1] & 0x80) != 0 || (bytes[2] & 0x80) != 0)
            continue;

        const int controller = bytes[1];

        if (controller == allNotesOffController)
            continue;

        lastReceivedCC.store (controller);
        pendingValues[controller] = bytes[2];
        anyPending = true;
    }

    if (! anyPending)
        return;

    // A map being swapped right now: the gathered values wait for the next block.
    const juce::SpinLock::ScopedTryLockType lock (snapshotLock);

    if (! lock.isLocked())
        return;

    for (const auto& binding : snapshot->bindings)
    {
        const int value = pendingValues[binding.cc];

        if (value < 0)
            continue;

        const float normalised = (float) value * (1.0f / 127.0f);
        auto& parameter = *binding.parameter;
        parameter.beginChangeGesture();
        parameter.setValue (normalised);
        parameter.sendValueChangedMessageToListeners (normalised);
        parameter.endChangeGesture();
    }

    std::fill (std::begin (pendingValues), std::end (pendingValues), -1);
    anyPending = false;
}
} // namespace kelm
