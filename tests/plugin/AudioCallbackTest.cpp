// What the reference model leaves out: channel layouts, blocks longer than prepared or before any preparation, and
// blocks of bad samples that allocate nothing while another thread changes every setting.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "plugin/PluginProcessor.h"

namespace
{
constexpr float halfMix = 0.70770812f; // P(t) at m = 0.5
thread_local bool counting = false; // counts the C allocations of this thread while set
std::atomic<int> allocations { 0 };

void fillWithSines (juce::AudioBuffer<float>& buffer, int offset, float level = 0.5f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * std::sin ((float) (offset + i) * (0.03f + 0.011f * (float) ch)));
}

// One block of the sines through the processor: the sines times a gain on the first `processed` channels, silence on the rest.
void expectScaledSines (CalythAudioProcessor& processor, int numSamples, int numChannels, float gain, int processed)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples), input (numChannels, numSamples);
    juce::MidiBuffer midi;
    fillWithSines (buffer, 0);
    fillWithSines (input, 0);
    processor.processBlock (buffer, midi);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            ASSERT_FLOAT_EQ (buffer.getSample (ch, i), ch < processed ? gain * input.getSample (ch, i) : 0.0f) << ch << " " << i;
}
} // namespace

TEST (AudioCallback, ChannelLayoutsAndBlockLengths)
{
    // Channels beyond the inputs, or beyond the engines' two, come out silent; the rest are mixed. Blocks longer than
    // prepared, or before any preparation, go in stretches that fit the buffers.
    using Set = juce::AudioChannelSet;
    const struct { Set in, out; int processed, prepared; } cases[] = {
        { Set::mono(), Set::stereo(), 1, 64 }, { Set::discreteChannels (4), Set::discreteChannels (4), 2, 0 },
        { Set::disabled(), Set::stereo(), 0, 64 }, { Set::stereo(), Set::stereo(), 2, -1 }, { Set::stereo(), Set::stereo(), 2, 0 }
    };
    for (const auto& c : cases)
    {
        CalythAudioProcessor processor; // no grains: the wet path is silent
        for (auto* pole : processor.granulizerParameters)
            for (auto* record : *pole)
                record->density = 0;
        ASSERT_TRUE (processor.setBusesLayout ({ { c.in }, { c.out } }));
        if (c.prepared >= 0)
            processor.prepareToPlay (44100.0, c.prepared);
        for (const int length : { 1000, 2000, 0, 1, 97 })
            expectScaledSines (processor, length, c.out.size(), halfMix, c.processed);
    }
}

// Sanitizers bring their own allocator, so the counting stays out of those builds. Counting the C allocator
// covers operator new, the framework's heap blocks and audio buffers alike.
#if ! defined(__SANITIZE_THREAD__) && ! defined(__SANITIZE_ADDRESS__)
constexpr bool countingAllocations = true;
static void* counted (void* p) noexcept
{
    if (counting)
        allocations.fetch_add (1, std::memory_order_relaxed);
    return p;
}

extern "C" void* __libc_malloc (std::size_t);
extern "C" void* __libc_calloc (std::size_t, std::size_t);
extern "C" void* __libc_realloc (void*, std::size_t);
extern "C" void* malloc (std::size_t size) { return counted (__libc_malloc (size)); }
extern "C" void* calloc (std::size_t count, std::size_t size) { return counted (__libc_calloc (count, size)); }
extern "C" void* realloc (void* p, std::size_t size) { return counted (__libc_realloc (p, size)); }
#else
constexpr bool countingAllocations = false;
#endif

TEST (Threads, BlocksAllocateNothingWhileSettingsAndParametersChange)
{
    counting = true;
    juce::AudioBuffer<float> probe (2, 64);
    counting = false;
    ASSERT_TRUE (! countingAllocations || allocations.exchange (0) >= 1) << "the counting misses a framework buffer being made";

    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);
    std::atomic<bool> audioDone { false };
    bool finite = true; // read after the join
    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 2000);
        juce::MidiBuffer midi;
        for (int block = 0; block < 300; ++block)
        {
            buffer.setSize (2, block % 50 == 49 ? 2000 : 512, false, false, true); // now and then longer than prepared
            fillWithSines (buffer, block * 512, block % 7 == 6 ? 1.0e30f : 0.5f); // bad samples too
            buffer.setSample (block % 2, 3, block % 3 == 0 ? NAN : (block % 3 == 1 ? INFINITY : -INFINITY));
            counting = true;
            processor.processBlock (buffer, midi);
            counting = false;
            finite = finite && std::isfinite (processor.rmsLevel.load());
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                finite = finite && std::isfinite (buffer.getSample (0, i)) && std::isfinite (buffer.getSample (1, i));
        }
        audioDone = true;
    });

    // Regenerate buttons, the trajectory randomiser, engine editor edits, the pad and the switches.
    juce::Random random (3);
    for (int round = 0; ! audioDone; ++round)
    {
        if (round % 3 == 0)
            processor.regenerateWorld();
        processor.regeneratePole (round % 4);
        processor.trajectoryRandomizer.randomizeGroup (0);
        auto& grain = *processor.granulizerParameters[round % 4]->getUnchecked ((round / 4) % 2);
        grain = { round % 65, round % 3, 441.0f + 100.0f * (float) (round % 200), 1.0f, 0.0f, 0.0f, 0.0f, random.nextFloat(), round % 5 == 0 };
        processor.resonatorParameters[round % 4]->getUnchecked (round % 2)->freq = 80.0f + 880.0f * random.nextFloat();
        processor.diffuserParameters[round % 2]->feedback = random.nextFloat();
        for (auto* id : { "x_pos", "y_pos", "dry_wet", "in_gain", "out_gain", "pole_b_diff", "trajectory", "stereo_link_a" })
            processor.parameterTree.getParameter (id)->setValueNotifyingHost (random.nextFloat());
        std::this_thread::yield();
    }
    audio.join();
    EXPECT_TRUE (finite);
    EXPECT_EQ (allocations.load(), 0);
}
