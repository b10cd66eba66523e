// Helpers of the state, preset and MIDI tests: chunks built by hand, documents read back, preset files.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "TestHelpers.h"
#include "kelm/PresetsManager.h"
#include "plugin/PluginProcessor.h"

namespace calyth::test
{
/** A chunk in the framework's XML wrapper, assembled byte by byte; `lengthWord` < 0 means the true length. */
inline juce::MemoryBlock chunkFromText (const juce::String& text, juce::int64 lengthWord = -1)
{
    const auto* utf8 = text.toRawUTF8();
    const auto n = (juce::uint32) std::strlen (utf8);
    const auto word = lengthWord < 0 ? n : (juce::uint32) lengthWord;
    const unsigned char header[] = { 0x56, 0x43, 0x32, 0x21, (unsigned char) (word & 0xff), (unsigned char) ((word >> 8) & 0xff),
                                     (unsigned char) ((word >> 16) & 0xff), (unsigned char) ((word >> 24) & 0xff) };
    juce::MemoryBlock block (header, sizeof (header));
    block.append (utf8, n);
    block.append ("", 1);
    return block;
}

inline juce::MemoryBlock chunkOf (CalythAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

inline void applyChunk (CalythAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}

inline void applyText (CalythAudioProcessor& processor, const juce::String& text) { applyChunk (processor, chunkFromText (text)); }

/** The document of a chunk, read with the framework's own reader. */
inline std::unique_ptr<juce::XmlElement> documentOf (const juce::MemoryBlock& block)
{
    return juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize());
}

inline float parameterValue (CalythAudioProcessor& processor, const char* id)
{
    return processor.parameterTree.getRawParameterValue (id)->load();
}

inline void setParameter (CalythAudioProcessor& processor, const char* id, float normalised)
{
    processor.parameterTree.getParameter (id)->setValueNotifyingHost (normalised);
}

inline GrainCloud::Parameters& grain (CalythAudioProcessor& p, int pole, int channel) { return *(*p.granulizerParameters[pole])[channel]; }
inline ResonatorParameters& resonator (CalythAudioProcessor& p, int pole, int channel) { return *(*p.resonatorParameters[pole])[channel]; }
inline DiffuserParameters& diffuser (CalythAudioProcessor& p, int channel) { return *p.diffuserParameters[channel]; }

inline juce::File midiPresetsFolder()
{
    return juce::File (kelm::PresetsManager::presetsFolderPath()).getChildFile ("MIDI");
}

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

/** A processor whose editor is the framework's generic one, so that a test can open it: any
    processor editor counts as open for the program-change rule. */
class ProcessorWithEditor : public CalythAudioProcessor
{
public:
    juce::AudioProcessorEditor* createEditor() override { return new juce::GenericAudioProcessorEditor (*this); }
    bool hasEditor() const override { return true; }
};

/** Makes the processor's editor active, as a host's window would, and closes it again. */
class ScopedActiveEditor
{
public:
    explicit ScopedActiveEditor (ProcessorWithEditor& processorToUse)
        : processor (processorToUse), editor (processor.createEditorIfNeeded())
    {
    }

    ~ScopedActiveEditor() { processor.editorBeingDeleted (editor.get()); }

    ProcessorWithEditor& processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
} // namespace calyth::test
