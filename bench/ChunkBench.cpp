// Cost of writing and reading the host state chunk when its root carries many foreign attributes.
#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include "plugin/PluginProcessor.h"

namespace
{
/** A fresh processor's chunk whose root element carries `count` attributes of its own. */
juce::MemoryBlock chunkWithForeignAttributes (CalythAudioProcessor& processor, int count, const juce::String& prefix = "foreign_")
{
    juce::MemoryBlock plain;
    processor.getStateInformation (plain);
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
    const auto chunk = chunkWithForeignAttributes (processor, (int) state.range (0));
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
    const auto chunk = chunkWithForeignAttributes (processor, (int) state.range (0));

    for (auto _ : state)
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

    reportBytes (state, chunk);
}

// effSetChunk with names never seen before in the process, as after a host opens another session.
void setStateInformationNewNames (benchmark::State& state)
{
    CalythAudioProcessor processor;
    juce::MemoryBlock chunk;
    int run = 0;

    for (auto _ : state)
    {
        state.PauseTiming();
        chunk = chunkWithForeignAttributes (processor, (int) state.range (0), "run" + juce::String (run++) + "_");
        state.ResumeTiming();
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
    }

    reportBytes (state, chunk);
}
} // namespace

BENCHMARK (getStateInformation)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond);
BENCHMARK (setStateInformation)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond);
BENCHMARK (setStateInformationNewNames)->Arg (10000)->Arg (40000)->Arg (160000)->Unit (benchmark::kMillisecond)->Iterations (3);
