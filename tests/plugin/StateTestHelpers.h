// Helpers of the state, preset and MIDI tests: hand-built chunks, documents read back, blocks, test files.
#pragma once

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

#include <cmath>

namespace calyth::test
{
/** A chunk in the framework's XML wrapper, built byte by byte (any bytes, even ones no string can hold);
    `lengthWord` < 0 means the true length. */
inline juce::MemoryBlock chunkFromBytes (const std::string& text, juce::int64 lengthWord = -1)
{
    const auto word = juce::ByteOrder::swapIfBigEndian (lengthWord < 0 ? (juce::uint32) text.size() : (juce::uint32) lengthWord);
    juce::MemoryBlock block ("\x56\x43\x32\x21", 4);
    block.append (&word, 4);
    block.append (text.c_str(), text.size() + 1);
    return block;
}
inline juce::MemoryBlock chunkFromText (const juce::String& text, juce::int64 lengthWord = -1) { return chunkFromBytes (text.toStdString(), lengthWord); }

inline juce::MemoryBlock chunkOf (CalythAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}
inline void applyChunk (CalythAudioProcessor& p, const juce::MemoryBlock& b) { p.setStateInformation (b.getData(), (int) b.getSize()); }
inline std::unique_ptr<juce::XmlElement> documentOf (const juce::MemoryBlock& b) { return juce::AudioProcessor::getXmlFromBinary (b.getData(), (int) b.getSize()); }
inline juce::String mapText (const kelm::CCMapper& m) { return m.createMapXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()); }
inline float parameterValue (CalythAudioProcessor& p, const char* id) { return p.parameterTree.getRawParameterValue (id)->load(); }
inline void setParameter (CalythAudioProcessor& p, const char* id, float normalised) { p.parameterTree.getParameter (id)->setValueNotifyingHost (normalised); }
inline GrainCloud::Parameters& grain (CalythAudioProcessor& p, int pole, int channel) { return *(*p.granulizerParameters[pole])[channel]; }
inline juce::File midiPresetsFolder() { return juce::File (kelm::PresetsManager::presetsFolderPath()).getChildFile ("MIDI"); }

/** One block of a tone with the given MIDI; true when the output is finite. */
inline bool runBlock (CalythAudioProcessor& p, juce::MidiBuffer midi = {})
{
    juce::AudioBuffer<float> audio (2, 256);
    for (int i = 0; i < 512; ++i)
        audio.setSample (i % 2, i / 2, std::sin (0.05f * (float) i));
    p.processBlock (audio, midi);
    return std::isfinite (audio.getRMSLevel (0, 0, 256) + audio.getRMSLevel (1, 0, 256));
}

/** What the chosen parameters hear, in order: " <index>:<value>", gestures as " (" and " )" (followed by the index
    when `numbered`). */
struct ParameterEvents : juce::AudioProcessorParameter::Listener
{
    ParameterEvents (CalythAudioProcessor& p, std::initializer_list<int> indices)
    {
        for (int k : indices)
            parameters.add (p.getParameters()[k]);
        for (auto* parameter : parameters)
            parameter->addListener (this);
    }
    ~ParameterEvents() override
    {
        for (auto* parameter : parameters)
            parameter->removeListener (this);
    }
    void parameterValueChanged (int index, float value) override { events << " " << index << ":" << juce::String (value, 4); }
    void parameterGestureChanged (int i, bool starting) override { events << (starting ? " (" : " )") << (numbered ? juce::String (i) : ""); }

    juce::Array<juce::AudioProcessorParameter*> parameters;
    juce::String events;
    bool numbered = false;
};

/** Writes a test file and its folder (the test run empties the home folder after each test). */
inline juce::File writeFile (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (text);
    return file;
}
} // namespace calyth::test
