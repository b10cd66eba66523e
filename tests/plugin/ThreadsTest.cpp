// Blocks on the audio thread while the message thread regenerates, edits records and moves parameters: the
// blocks allocate nothing and stay finite, and under ThreadSanitizer the threads share no unguarded data.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EngineTestHelpers.h"

namespace
{
thread_local bool counting = false; // counts the C allocations of this thread while set
std::atomic<int> allocations { 0 };
} // namespace

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
    calyth::test::prepare (processor, 44100.0, 512);
    std::atomic<bool> audioDone { false }, allFinite { true };
    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 2000);
        juce::MidiBuffer midi;
        for (int block = 0; block < 300; ++block)
        {
            buffer.setSize (2, block % 50 == 49 ? 2000 : 512, false, false, true); // now and then longer than prepared
            calyth::test::fillWithSines (buffer, block * 512);
            counting = true;
            processor.processBlock (buffer, midi);
            counting = false;
            allFinite = allFinite && calyth::test::allFinite (buffer) && std::isfinite (processor.rmsLevel.load());
        }
        audioDone = true;
    });

    // Regenerate buttons, the trajectory randomiser, engine editor edits, the pad and the switches.
    juce::Random random (3);
    for (int round = 0; ! audioDone; ++round)
    {
        if (round % 6 == 0)
            processor.regenerateWorld();
        else if (round % 6 == 1)
            processor.regeneratePole (round % 4);
        else if (round % 6 == 2)
            processor.trajectoryRandomizer.randomizeGroup (0);
        *processor.granulizerParameters[round % 4]->getUnchecked ((round / 4) % 2) = {
            round % 65, round % 3, 441.0f + 100.0f * (float) (round % 200), 1.0f, 0.0f, 0.0f, 0.0f, random.nextFloat(), round % 5 == 0
        };
        processor.resonatorParameters[round % 4]->getUnchecked (round % 2)->freq = 80.0f + 880.0f * random.nextFloat();
        processor.diffuserParameters[round % 2]->feedback = random.nextFloat();
        for (auto* id : { "x_pos", "y_pos", "dry_wet", "in_gain", "out_gain", "pole_b_diff", "trajectory", "stereo_link_a" })
            processor.parameterTree.getParameter (id)->setValueNotifyingHost (random.nextFloat());
        std::this_thread::yield();
    }
    audio.join();
    EXPECT_TRUE (allFinite.load());
    EXPECT_EQ (allocations.load(), 0);
}
