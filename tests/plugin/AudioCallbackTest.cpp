// The processor's audio path end to end: ramps, trajectory, pad blend, dry/wet gains, level, stereo link, channels
// and block sizes; then blocks of bad samples that allocate nothing while another thread changes every setting.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "AllocationCounting.h"
#include "plugin/PluginProcessor.h"

namespace
{
constexpr int blockSize = 4096;
constexpr float halfMix = 0.70770812f; // P(t) at m = 0.5
using calyth::test::allocations;
using calyth::test::counting;
using calyth::test::countingAllocations;

// Sets a parameter to a value in its own range, as the host would.
void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

void fillWithSines (juce::AudioBuffer<float>& buffer, int offset, float level = 0.5f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * std::sin ((float) (offset + i) * (0.03f + 0.011f * (float) ch)));
}

// One block of the sines (or silence) through the processor.
juce::AudioBuffer<float> process (CalythAudioProcessor& processor, int numSamples, bool silent = true, int numChannels = 2)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    juce::MidiBuffer midi;
    if (silent)
        buffer.clear(); // marked as cleared, as hosts pass silence
    else
        fillWithSines (buffer, 0);
    processor.processBlock (buffer, midi);
    return buffer;
}

// Poles in the mask play one grain over (almost) the whole recording from 0 at speed 1; the others no grains.
void setAudiblePoles (CalythAudioProcessor& processor, int mask)
{
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            *processor.granulizerParameters[pole]->getUnchecked (ch) = { (mask >> pole) & 1, 0, 176398.0f };
            *processor.resonatorParameters[pole]->getUnchecked (ch) = { 440.0f, 0.5f };
        }
}

// Pad position and mix with no diffuser sends; a silent block lets every ramp finish before sound arrives.
void prepareAt (CalythAudioProcessor& processor, float x, float y, float mix)
{
    for (const auto& [id, value] : { std::pair { "x_pos", x }, { "y_pos", y }, { "dry_wet", mix }, { "pole_a_diff", 0.0f },
                                     { "pole_b_diff", 0.0f }, { "pole_c_diff", 0.0f }, { "pole_d_diff", 0.0f } })
        setParameter (processor, id, value);
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, blockSize);
    process (processor, blockSize);
}

// The output should be the test sines times a gain, with the channels from `processed` on silent.
void expectScaledSines (const juce::AudioBuffer<float>& output, float gain, int processed = 2)
{
    juce::AudioBuffer<float> input (output.getNumChannels(), output.getNumSamples());
    fillWithSines (input, 0);
    for (int ch = 0; ch < output.getNumChannels(); ++ch)
        for (int i = 0; i < output.getNumSamples(); ++i)
            ASSERT_FLOAT_EQ (output.getSample (ch, i), ch < processed ? gain * input.getSample (ch, i) : 0.0f) << ch << " " << i;
}
} // namespace

TEST (Smoothing, RampLengthsTrajectoryIntervalsAndBounces)
{
    const struct { double rate; int ramp, interval; } rates[] = { { 44100.0, 2645, 256 }, { 48000.0, 2879, 278 }, { 96000.0, 5759, 557 } };
    for (const auto& r : rates)
    {
        CalythAudioProcessor processor;
        processor.enableAllBuses();
        processor.prepareToPlay (r.rate, 6000);
        EXPECT_EQ (processor.trajectoryInterval, r.interval);
        process (processor, 100);
        EXPECT_TRUE (processor.inGainSmoother->values()[0] == 1.0f && processor.outGainSmoother->values()[0] == 1.0f);

        // x_pos from 0.5 to 1: a linear ramp that lands on the target with its last sample.
        setParameter (processor, "x_pos", 1.0f);
        process (processor, r.ramp - 1);
        EXPECT_NEAR (processor.xPosSmoother->values()[999], 0.5f + 1000.0f * 0.5f / (float) r.ramp, 1e-4f);
        EXPECT_TRUE (processor.xPosSmoother->smoothedValue.isSmoothing());
        process (processor, 1);
        EXPECT_EQ (processor.xPosSmoother->values()[0], 1.0f);
    }

    // The trajectory steps once per interval and bounces within 0.2 either side of x_pos (0.5).
    CalythAudioProcessor processor;
    setParameter (processor, "trajectory", 1.0f);
    setParameter (processor, "x_traj_amount", 1.0f); // 0.01 per step
    setParameter (processor, "x_traj_range", 0.2f);
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 256);
    float previous = processor.trajectoryX.load(), lastStep = 1.0f;
    EXPECT_EQ (previous, 0.5f);
    int turns = 0;
    for (int block = 0; block < 200; ++block) // one step per block of 256 samples
    {
        process (processor, 256);
        const float x = processor.trajectoryX.load();
        ASSERT_TRUE (x >= 0.3f && x <= 0.7f && std::abs (x - previous) <= 0.0101f && processor.trajectoryAudioX == x) << x;
        turns += (x - previous) * lastStep < 0.0f ? 1 : 0;
        lastStep = x != previous ? x - previous : lastStep;
        previous = x;
    }
    EXPECT_EQ (turns, 5); // 20 steps up, then 40 per crossing of the box
    EXPECT_TRUE (processor.trajectoryXLow.load() == 0.5f - 0.2f && processor.trajectoryXHigh.load() == 0.5f + 0.2f);
    EXPECT_EQ (processor.trajectoryYHigh.load(), 1.0f);
}

TEST (AudioCallback, PadBlendsThePolesAndTheLevelMeasuresTheWetPath)
{
    // Fully dry, so that only a level measured before the mix can tell the poles apart.
    for (int pole = 0; pole < 4; ++pole)
        for (int corner = 0; corner < 4; ++corner) // a, b, c, d at (0, 0), (1, 0), (0, 1), (1, 1)
        {
            CalythAudioProcessor processor;
            setAudiblePoles (processor, 1 << pole);
            prepareAt (processor, (float) (corner % 2), (float) (corner / 2), 0.0f);
            process (processor, blockSize, false);
            const float level = processor.rmsLevel.load();
            EXPECT_TRUE (pole == corner ? level > 1.0e-3f : level == 0.0f) << pole << " at corner " << corner;
        }

    // Four identical poles at the centre, a quarter each, sound like one of them alone in its corner.
    CalythAudioProcessor centre, corner;
    setAudiblePoles (centre, 15);
    setAudiblePoles (corner, 15);
    prepareAt (centre, 0.5f, 0.5f, 1.0f);
    prepareAt (corner, 0.0f, 0.0f, 1.0f);
    const auto a = process (centre, blockSize, false), b = process (corner, blockSize, false);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i), 2.0e-6f);
}

TEST (AudioCallback, DryWetGainsAndStereoLink)
{
    // A silent wet path leaves the dry input times its gain, and a level of 0 however loud the input.
    for (const auto& [mix, gain] : { std::pair { 0.0f, 1.0f }, { 0.5f, halfMix }, { 1.0f, 4.7683716e-6f } })
    {
        CalythAudioProcessor processor;
        setAudiblePoles (processor, 0);
        prepareAt (processor, 0.5f, 0.5f, mix);
        expectScaledSines (process (processor, blockSize, false), gain);
        EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
    }

    // A linked pole's right channel plays the left channel's records; an unlinked pole keeps its own.
    CalythAudioProcessor processor;
    setParameter (processor, "stereo_link_b", 1.0f);
    prepareAt (processor, 0.5f, 0.5f, 0.5f);
    const auto& records = *processor.granulizerParameters[1];
    ASSERT_NE (records[0]->size.load(), records[1]->size.load());
    EXPECT_EQ (processor.grainClouds[1]->getUnchecked (1)->parameters.size.load(), records[0]->size.load());
    EXPECT_EQ (processor.resonators[1]->getUnchecked (1)->freq, processor.resonatorParameters[1]->getUnchecked (0)->freq.load());
    EXPECT_EQ (processor.grainClouds[0]->getUnchecked (1)->parameters.size.load(), processor.granulizerParameters[0]->getUnchecked (1)->size.load());
}

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
        CalythAudioProcessor processor;
        setAudiblePoles (processor, 0);
        ASSERT_TRUE (processor.setBusesLayout ({ { c.in }, { c.out } }));
        if (c.prepared >= 0)
            processor.prepareToPlay (44100.0, c.prepared);
        for (const int length : { 1000, 2000, 0, 1, 97 })
            expectScaledSines (process (processor, length, false, c.out.size()), halfMix, c.processed);
    }
}

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
