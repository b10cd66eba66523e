// Speed of the audio path: whole blocks of the processor and one grain cloud alone, as real-time factors.
#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

#include "plugin/PluginProcessor.h"

namespace
{
constexpr int blockSize = 512;
constexpr double rate = 44100.0;

// Audio seconds processed per CPU second.
void reportRealTimeFactor (benchmark::State& state)
{
    state.counters["realtime_factor"] = benchmark::Counter ((double) state.iterations() * blockSize / rate, benchmark::Counter::kIsRate);
}

void fillInput (juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, 0.5f * std::sin ((float) i * (0.031f + 0.007f * (float) ch)));
}

void runProcessor (benchmark::State& state, int density)
{
    CalythAudioProcessor processor;
    if (density > 0)
        for (auto* records : processor.granulizerParameters)
            for (auto* record : *records)
                record->density = density;

    processor.enableAllBuses();
    processor.prepareToPlay (rate, blockSize);

    juce::AudioBuffer<float> input (2, blockSize), buffer (2, blockSize);
    fillInput (input);
    juce::MidiBuffer midi;

    // Fill the recordings first so that the grains play sound, not silence.
    for (int b = 0; b < 400; ++b)
    {
        buffer.makeCopyOf (input, true);
        processor.processBlock (buffer, midi);
    }

    for (auto _ : state)
    {
        buffer.makeCopyOf (input, true);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    reportRealTimeFactor (state);
}
} // namespace

static void ProcessBlockDrawnSettings (benchmark::State& state) { runProcessor (state, 0); }
BENCHMARK (ProcessBlockDrawnSettings);

static void ProcessBlockDensity64 (benchmark::State& state) { runProcessor (state, 64); }
BENCHMARK (ProcessBlockDensity64);

static void GrainCloudAlone (benchmark::State& state)
{
    GrainCloud cloud;
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

    for (auto _ : state)
    {
        cloud.blockUpdate (record);
        float sum = 0.0f;
        for (int i = 0; i < blockSize; ++i)
            sum += cloud.sampleUpdate (input[i]);
        benchmark::DoNotOptimize (sum);
    }
    reportRealTimeFactor (state);
}
BENCHMARK (GrainCloudAlone)->Arg (8)->Arg (64);

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
