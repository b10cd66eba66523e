// Cost of stored documents: the host state chunk when its root carries many foreign attributes, and the
// audio block that loads a preset on a program change, with the worst presets the reader accepts.
#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include "kelm/DocumentReading.h"
#include "plugin/PluginProcessor.h"

#include <cstdlib>

namespace
{
// Preset files are written below: the presets folder is made in a private home folder.
const bool privateHome = [] {
    char folder[] = "/tmp/calyth-bench-home-XXXXXX";
    return ::mkdtemp (folder) != nullptr && ::setenv ("HOME", folder, 1) == 0;
}();

/** A fresh processor's chunk whose root element carries `count` attributes of its own. */
juce::MemoryBlock chunkWithForeignAttributes (int count, const juce::String& prefix = "foreign_")
{
    juce::MemoryBlock plain;
    CalythAudioProcessor().getStateInformation (plain);
    const auto text = juce::String::fromUTF8 (static_cast<const char*> (plain.getData()) + 8, (int) plain.getSize() - 9);

    juce::MemoryOutputStream attributes;
    for (int i = 0; i < count; ++i)
        attributes << " " << prefix << i << "=\"" << i << "\"";

    const auto document = text.replaceFirstOccurrenceOf ("<Calyth>", "<Calyth" + attributes.toString() + ">");
    const auto length = (juce::uint32) document.getNumBytesAsUTF8();
    juce::MemoryBlock chunk ("\x56\x43\x32\x21", 4);
    chunk.append (&length, 4);
    chunk.append (document.toRawUTF8(), length + 1);
    return chunk;
}

void reportBytes (benchmark::State& state, const juce::MemoryBlock& chunk)
{
    state.counters["chunk_bytes"] = (double) chunk.getSize();
    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) chunk.getSize());
}

// effGetChunk: the state was read from a chunk with foreign root attributes, which the next save keeps.
void getStateInformation (benchmark::State& state)
{
    CalythAudioProcessor processor;
    const auto chunk = chunkWithForeignAttributes ((int) state.range (0));
    processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

    juce::MemoryBlock written;
    for (auto _ : state)
    {
        processor.getStateInformation (written);
        benchmark::DoNotOptimize (written.getData());
    }
    reportBytes (state, written);
}

// effSetChunk with the same chunk.
void setStateInformation (benchmark::State& state)
{
    CalythAudioProcessor processor;
    const auto chunk = chunkWithForeignAttributes ((int) state.range (0));

    for (auto _ : state)
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

    reportBytes (state, chunk);
}

// effSetChunk with names never seen before in the process, as after a host opens another session.
// The names sort after those still alive (the previous state's): names that interleave with many
// live ones cost the framework's sorted name pool a move of every live name behind each new one.
void setStateInformationNewNames (benchmark::State& state)
{
    static int run = 0;
    CalythAudioProcessor processor;
    juce::MemoryBlock chunk;

    for (auto _ : state)
    {
        state.PauseTiming();
        chunk = chunkWithForeignAttributes ((int) state.range (0), "run" + juce::String (run++).paddedLeft ('0', 6) + "_");
        state.ResumeTiming();
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
    }

    reportBytes (state, chunk);
}

/** The "MIDI" folder's programs: 0 a saved preset, then the worst the reader accepts (1 as many
    root attributes as fit under the size cap, 2 as many engine children as the element cap
    allows, 3 text made of character references up to the cap), and 4 a file one byte over the cap. */
void writeProgramPresets()
{
    const auto folder = juce::File (kelm::PresetsManager::presetsFolderPath()).getChildFile ("MIDI");
    folder.deleteRecursively();
    folder.createDirectory();
    CalythAudioProcessor().savePresetToFile (folder.getChildFile ("0 saved.cpst"));

    const auto limit = (int) kelm::maxDocumentFileBytes - 64;
    juce::String attributes, elements, references;
    for (int i = 0; attributes.length() < limit; ++i)
        attributes << " a" << juce::String::toHexString (i) << "=\"\"";
    for (int i = 0; i < kelm::maxDocumentFileElements - 1; ++i)
        elements << "<Granulizer speed=\"" << i << "\" pole=\"" << i % 4 << "\" channel=\"" << i % 2 << "\"/>";
    while (references.length() < limit)
        references << "&#65;";

    folder.getChildFile ("1 attributes.cpst").replaceWithText ("<Calyth" + attributes.substring (0, attributes.lastIndexOf (" a")) + "/>");
    folder.getChildFile ("2 elements.cpst").replaceWithText ("<Calyth>" + elements + "</Calyth>");
    folder.getChildFile ("3 references.cpst").replaceWithText ("<Calyth note=\"" + references + "\"/>");
    folder.getChildFile ("4 over the cap.cpst").replaceWithText ("<Calyth/>" + juce::String::repeatedString (" ", (int) kelm::maxDocumentFileBytes));
}

// One 256-sample block with a program change to the given program (-1: none), no editor open.
void programChangeBlock (benchmark::State& state)
{
    juce::ignoreUnused (privateHome);
    writeProgramPresets();
    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    const int program = (int) state.range (0);

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 256; ++i)
                buffer.setSample (ch, i, 0.5f * std::sin ((float) i * 0.031f));
        juce::MidiBuffer midi;
        if (program >= 0)
            midi.addEvent (juce::MidiMessage::programChange (1, program), 0);
        processor.processBlock (buffer, midi);
    }

    if (program >= 0)
        state.counters["file_bytes"] = (double) juce::File (kelm::PresetsManager::presetsFolderPath()).getChildFile ("MIDI").getChildFile (processor.midiPresetFiles[program]).getSize();
}
} // namespace

BENCHMARK (programChangeBlock)->DenseRange (-1, 4)->Unit (benchmark::kMillisecond);
BENCHMARK (getStateInformation)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond);
BENCHMARK (setStateInformation)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond);
BENCHMARK (setStateInformationNewNames)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond)->Iterations (3);
