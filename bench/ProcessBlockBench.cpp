// Speed of the audio path: whole blocks of the processor and one grain cloud alone, as real-time factors and cycles.
#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <x86intrin.h>

#include <cstdlib>

#include "plugin/PluginProcessor.h"

namespace
{
constexpr double rate = 44100.0;
constexpr int numChannels = CalythAudioProcessor::numChannels;
constexpr int numPoles = CalythAudioProcessor::numPoles;

// Audio seconds per CPU second, and time-stamp-counter cycles (the counter's fixed rate, not the core clock)
// per channel-sample and, where grains play, per grain-sample: all of the time divided by the grains played.
void reportCounters (benchmark::State& state, juce::uint64 cycles, int blockSize, int grainsPerCloud, int clouds)
{
    const double samples = (double) state.iterations() * blockSize;
    state.counters["realtime_factor"] = benchmark::Counter (samples / rate, benchmark::Counter::kIsRate);
    state.counters["cycles_per_channel_sample"] = (double) cycles / (samples * numChannels);
    if (grainsPerCloud > 0)
        state.counters["cycles_per_grain_sample"] = (double) cycles / (samples * grainsPerCloud * clouds);
}

void fillInput (juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, 0.5f * std::sin ((float) i * (0.031f + 0.007f * (float) ch)));
}

/** Blocks of the whole processor with freshly drawn settings from a fixed seed (density -1 keeps the drawn
    density, 8), or with every cloud at the given density. */
void runProcessor (benchmark::State& state, int density, int blockSize)
{
    CalythAudioProcessor processor;
    processor.worldRandom.setSeed (12);
    processor.regenerateWorld();
    for (int pole = 0; pole < numPoles; ++pole)
        for (int channel = 0; channel < numChannels; ++channel)
            (*processor.grainClouds[pole])[channel]->regionSeed = 100 + pole * 2 + channel;

    if (density >= 0)
        for (auto* records : processor.granulizerParameters)
            for (auto* record : *records)
                record->density = density;

    processor.enableAllBuses();
    processor.prepareToPlay (rate, blockSize);

    juce::AudioBuffer<float> input (2, blockSize), buffer (2, blockSize);
    fillInput (input);
    juce::MidiBuffer midi;

    // Fill the recordings first so that the grains play sound, not silence.
    for (int done = 0; done < 4 * (int) rate; done += blockSize)
    {
        buffer.makeCopyOf (input, true);
        processor.processBlock (buffer, midi);
    }

    juce::uint64 cycles = 0;
    for (auto _ : state)
    {
        buffer.makeCopyOf (input, true);
        const auto begin = __rdtsc();
        processor.processBlock (buffer, midi);
        cycles += __rdtsc() - begin;
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    const int grains = density >= 0 ? density : (*processor.granulizerParameters[0])[0]->density.load();
    reportCounters (state, cycles, blockSize, grains, numPoles * numChannels);
}
} // namespace

static void ProcessBlockDrawnSettings (benchmark::State& state) { runProcessor (state, -1, (int) state.range (0)); }
BENCHMARK (ProcessBlockDrawnSettings)->ArgName ("block")->Arg (1)->Arg (16)->Arg (64)->Arg (512)->Arg (4096);

static void ProcessBlockDensity64 (benchmark::State& state) { runProcessor (state, 64, (int) state.range (0)); }
BENCHMARK (ProcessBlockDensity64)->ArgName ("block")->Arg (1)->Arg (16)->Arg (64)->Arg (512)->Arg (4096);

static void ProcessBlockDensity (benchmark::State& state) { runProcessor (state, (int) state.range (0), 512); }
BENCHMARK (ProcessBlockDensity)->ArgName ("density")->Arg (0)->Arg (1)->Arg (8)->Arg (16)->Arg (32)->Arg (64);

/** One cloud alone: the grain loop with little else around it. */
static void GrainCloudAlone (benchmark::State& state)
{
    constexpr int blockSize = 512;
    GrainCloud cloud;
    cloud.regionSeed = 7;
    GrainCloud::Parameters record;
    record.density = (int) state.range (0);
    record.envelope = 2;
    record.size = 10000.0f;
    record.speed = 1.1f;
    record.sizeRnd = 0.2f;
    record.speedRnd = 0.3f;
    record.ampRnd = 0.5f;
    cloud.blockUpdate (record);

    float input[blockSize];
    for (int i = 0; i < blockSize; ++i)
        input[i] = 0.5f * std::sin ((float) i * 0.031f);

    for (int done = 0; done < 4 * (int) rate; done += blockSize)
        for (int i = 0; i < blockSize; ++i)
            cloud.sampleUpdate (input[i]);

    float output[blockSize];
    juce::uint64 cycles = 0;
    for (auto _ : state)
    {
        const auto begin = __rdtsc();
        cloud.blockUpdate (record);
        cloud.processBlock (input, output, blockSize);
        cycles += __rdtsc() - begin;
        benchmark::DoNotOptimize (output[0]);
    }

    const double samples = (double) state.iterations() * blockSize;
    state.counters["realtime_factor"] = benchmark::Counter (samples / rate, benchmark::Counter::kIsRate);
    if (state.range (0) > 0)
        state.counters["cycles_per_grain_sample"] = (double) cycles / (samples * (double) state.range (0));
}
BENCHMARK (GrainCloudAlone)->ArgName ("density")->Arg (1)->Arg (8)->Arg (16)->Arg (32)->Arg (64);

int main (int argc, char** argv)
{
    // The processor creates its presets folder under the home folder: keep the real one out of it.
    char homeTemplate[] = "/tmp/calyth-bench-home-XXXXXX";
    if (const char* home = ::mkdtemp (homeTemplate))
        ::setenv ("HOME", home, 1);

    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::File (homeTemplate).deleteRecursively();
    return 0;
}
