// MIDI learn: bindings of controller numbers to host parameters, and the last controller received.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_data_structures/juce_data_structures.h>

#include <atomic>
#include <memory>
#include <vector>

namespace kelm
{
/** The bindings live in `ccMap`, which only non-audio threads touch (under `getMapLock()`). Every
    change of the map, whoever makes it, rebuilds a compact read-only copy of the bindings that the
    audio thread uses; the audio thread only try-locks the copy, so it never waits for an editor. */
class CCMapper
{
public:
    CCMapper();
    ~CCMapper();

    /** Binds the parameter to the last received controller (one binding per parameter). */
    void mapLastCCToParameter (const juce::String& parameterID);
    /** Removes the parameter's first binding, if any. */
    void clearCCMapping (const juce::String& parameterID);
    /** Replaces the whole map when the element's tag is the map tag (ignoring case). */
    void loadMapFromXml (const juce::XmlElement& xml);
    /** Removes every binding, last first; the map's root and the last controller stay. */
    void removeAllBindings();

    /** The map as an element (null when the map is not a valid tree). */
    std::unique_ptr<juce::XmlElement> createMapXml() const;
    /** Writes the map as a MIDI-map document; nothing is written for an invalid map. */
    bool saveToFile (const juce::File& file) const;
    /** Reads a MIDI-map document; returns false when the file does not parse. A foreign root is ignored. */
    bool loadFromFile (const juce::File& file);

    /** The parameters that bindings name; identifiers are looked up whenever the map changes. */
    void attachParameters (juce::AudioProcessorValueTreeState& parameterTree);

    /** Audio thread: applies the block's controller messages to the bound parameters. */
    void applyControllerMessages (const juce::MidiBuffer& midi) noexcept;

    /** Held by every reader and writer of `ccMap`; other code that edits `ccMap` directly holds it too. */
    juce::CriticalSection& getMapLock() const noexcept { return mapLock; }

    static const juce::String midiMapTag;
    static const juce::String ccValueProperty;

    juce::ValueTree ccMap;
    std::atomic<int> lastReceivedCC { -1 };

private:
    struct Binding
    {
        int cc;
        juce::AudioProcessorParameter* parameter;
    };

    /** The usable bindings in application order: ascending controller, map order within one controller;
        each (controller, parameter) pair once. */
    struct Snapshot
    {
        std::vector<Binding> bindings;
    };

    class MapListener : public juce::ValueTree::Listener
    {
    public:
        explicit MapListener (CCMapper& ownerToUse) : owner (ownerToUse) {}
        void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override { owner.rebuildSnapshot(); }
        void valueTreeChildAdded (juce::ValueTree&, juce::ValueTree&) override { owner.rebuildSnapshot(); }
        void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree&, int) override { owner.rebuildSnapshot(); }
        void valueTreeChildOrderChanged (juce::ValueTree&, int, int) override { owner.rebuildSnapshot(); }
        void valueTreeRedirected (juce::ValueTree&) override { owner.rebuildSnapshot(); }

    private:
        CCMapper& owner;
    };

    void rebuildSnapshot();

    mutable juce::CriticalSection mapLock;
    juce::AudioProcessorValueTreeState* parameters = nullptr;
    MapListener mapListener { *this };

    juce::SpinLock snapshotLock;
    std::unique_ptr<Snapshot> snapshot;

    // Audio thread only: the controller values gathered and not applied yet (-1 = none).
    int pendingValues[128];
    bool anyPending = false;

    JUCE_DECLARE_NON_COPYABLE (CCMapper)
};
} // namespace kelm
