// The audio callback allocates nothing: C allocations are counted while a block runs on the counting thread.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "EngineTestHelpers.h"

// Sanitizers bring their own allocator, so the counting stays out of those builds. Counting the C allocator
// covers operator new, the framework's heap blocks and audio buffers alike.
#if ! defined(__SANITIZE_THREAD__) && ! defined(__SANITIZE_ADDRESS__)
 #define CALYTH_COUNT_ALLOCATIONS 1

namespace
{
thread_local bool countingOnThisThread = false;
std::atomic<int> allocationCount { 0 };

void* counted (void* p) noexcept
{
    if (countingOnThisThread)
        allocationCount.fetch_add (1, std::memory_order_relaxed);
    return p;
}
} // namespace

extern "C" void* __libc_malloc (std::size_t);
extern "C" void* __libc_calloc (std::size_t, std::size_t);
extern "C" void* __libc_realloc (void*, std::size_t);
extern "C" void* malloc (std::size_t size) { return counted (__libc_malloc (size)); }
extern "C" void* calloc (std::size_t count, std::size_t size) { return counted (__libc_calloc (count, size)); }
extern "C" void* realloc (void* p, std::size_t size) { return counted (__libc_realloc (p, size)); }
#endif

TEST (RealTime, BlocksAllocateNothing)
{
#if CALYTH_COUNT_ALLOCATIONS
    using calyth::test::setParameter;
    const auto countWhile = [] (auto&& run)
    {
        countingOnThisThread = true;
        run();
        countingOnThisThread = false;
    };

    // The counting itself sees a framework buffer being made.
    countWhile ([] { juce::AudioBuffer<float> buffer (2, 64); });
    ASSERT_GE (allocationCount.load(), 1);

    CalythAudioProcessor processor;
    calyth::test::prepare (processor, 44100.0, 512);
    juce::AudioBuffer<float> buffer (2, 2000);
    juce::MidiBuffer midi;
    juce::Random random (5);
    allocationCount = 0;
    for (int block = 0; block < 300; ++block)
    {
        // Between blocks, as the message thread would: regenerate, edit records, move parameters.
        if (block % 5 == 0)
            processor.regeneratePole (block % 4);
        processor.granulizerParameters[block % 4]->getUnchecked (block % 2)->density = block % 65;
        processor.diffuserParameters[block % 2]->feedback = random.nextFloat();
        for (auto* id : { "x_pos", "dry_wet", "in_gain", "pole_c_diff" })
            processor.parameterTree.getParameter (id)->setValueNotifyingHost (random.nextFloat());
        setParameter (processor, "trajectory", (block / 40) % 2 == 0 ? 0.0f : 1.0f);
        setParameter (processor, "stereo_link_c", (block / 25) % 2 == 0 ? 0.0f : 1.0f);

        // Host-sized blocks, now and then one longer than prepared.
        buffer.setSize (2, block % 50 == 49 ? 2000 : 512, false, false, true);
        calyth::test::fillWithSines (buffer, block * 512);
        countWhile ([&] { processor.processBlock (buffer, midi); });
    }
    EXPECT_EQ (allocationCount.load(), 0);
#else
    GTEST_SKIP() << "allocation counting is off under sanitizers";
#endif
}
