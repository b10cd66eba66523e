// Helpers of the state, preset and MIDI tests: chunks built by hand, documents read back, test files.
#pragma once

#include "TestHelpers.h"
#include "plugin/PluginProcessor.h"

namespace calyth::test
{
/** A chunk in the framework's XML wrapper, assembled byte by byte; `lengthWord` < 0 means the true length. */
inline juce::MemoryBlock chunkFromText (const juce::String& text, juce::int64 lengthWord = -1)
{
    const auto n = (juce::uint32) text.getNumBytesAsUTF8();
    const auto w = lengthWord < 0 ? n : (juce::uint32) lengthWord;
    const unsigned char header[] = { 0x56, 0x43, 0x32, 0x21, (unsigned char) w, (unsigned char) (w >> 8), (unsigned char) (w >> 16), (unsigned char) (w >> 24) };
    juce::MemoryBlock block (header, sizeof (header));
    block.append (text.toRawUTF8(), n + 1);
    return block;
}

inline juce::MemoryBlock chunkOf (CalythAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}

inline void applyChunk (CalythAudioProcessor& p, const juce::MemoryBlock& b) { p.setStateInformation (b.getData(), (int) b.getSize()); }
inline void applyText (CalythAudioProcessor& p, const juce::String& text) { applyChunk (p, chunkFromText (text)); }

/** The document of a chunk, read with the framework's own reader. */
inline std::unique_ptr<juce::XmlElement> documentOf (const juce::MemoryBlock& b) { return juce::AudioProcessor::getXmlFromBinary (b.getData(), (int) b.getSize()); }

inline float parameterValue (CalythAudioProcessor& p, const char* id) { return p.parameterTree.getRawParameterValue (id)->load(); }
inline void setParameter (CalythAudioProcessor& p, const char* id, float normalised) { p.parameterTree.getParameter (id)->setValueNotifyingHost (normalised); }

inline GrainCloud::Parameters& grain (CalythAudioProcessor& p, int pole, int channel) { return *(*p.granulizerParameters[pole])[channel]; }
inline ResonatorParameters& resonator (CalythAudioProcessor& p, int pole, int channel) { return *(*p.resonatorParameters[pole])[channel]; }
inline DiffuserParameters& diffuser (CalythAudioProcessor& p, int channel) { return *p.diffuserParameters[channel]; }

inline juce::File midiPresetsFolder() { return juce::File (kelm::PresetsManager::presetsFolderPath()).getChildFile ("MIDI"); }

/** Files made by a test, removed when it ends (all tests of one process share the home folder). */
class ScopedFiles
{
public:
    ~ScopedFiles()
    {
        for (auto& f : files)
            f.deleteRecursively();
    }

    juce::File write (const juce::File& file, const juce::String& text)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithText (text);
        files.add (file);
        return file;
    }

    juce::File folder (const juce::File& folderToMake)
    {
        folderToMake.createDirectory();
        files.add (folderToMake);
        return folderToMake;
    }

private:
    juce::Array<juce::File> files;
};
} // namespace calyth::test
