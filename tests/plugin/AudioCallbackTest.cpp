// The audio callback end to end: pad blend, dry/wet gains, level, stereo link, channels, block sizes, bad values.
#include <gtest/gtest.h>

#include <limits>

#include "EngineTestHelpers.h"

using namespace calyth::test;

namespace
{
constexpr int blockSize = 4096;
constexpr float halfMix = 0.70770812f; // P(t) at m = 0.5

// Poles in the mask get one grain over (almost) the whole recording from 0 at speed 1, sounding from the first
// block on; the others get no grains.
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
    setParameter (processor, "x_pos", x);
    setParameter (processor, "y_pos", y);
    setParameter (processor, "dry_wet", mix);
    for (auto* id : { "pole_a_diff", "pole_b_diff", "pole_c_diff", "pole_d_diff" })
        setParameter (processor, id, 0.0f);
    prepare (processor, 44100.0, blockSize);
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

TEST (AudioCallback, DryWetGains)
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
}

TEST (AudioCallback, StereoLinkTakesTheLeftRecords)
{
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
    // Channels beyond the inputs, or beyond the engines' two, come out silent; the rest are mixed.
    using Set = juce::AudioChannelSet;
    const struct { Set in, out; int processed; } cases[] = {
        { Set::mono(), Set::stereo(), 1 }, { Set::discreteChannels (4), Set::discreteChannels (4), 2 }, { Set::disabled(), Set::stereo(), 0 }
    };
    for (const auto& c : cases)
    {
        CalythAudioProcessor processor;
        setAudiblePoles (processor, 0);
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (44100.0, 64);
        juce::AudioBuffer<float> buffer (c.out.size(), 1000);
        juce::MidiBuffer midi;
        fillWithSines (buffer, 0);
        processor.processBlock (buffer, midi);
        expectScaledSines (buffer, halfMix, c.processed);
    }

    // Blocks longer than prepared, or before any preparation, in stretches that fit the buffers.
    for (const int prepared : { 64, 0, -1 })
    {
        CalythAudioProcessor processor;
        setAudiblePoles (processor, 0);
        processor.enableAllBuses();
        if (prepared >= 0)
            processor.prepareToPlay (44100.0, prepared);
        for (const int length : { 1000, 2000, 0, 1, 97 })
            expectScaledSines (process (processor, length, false), halfMix);
    }
}

TEST (AudioCallback, HostileRecordsAndSamplesGiveFiniteOutput)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    CalythAudioProcessor processor;
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            *processor.granulizerParameters[pole]->getUnchecked (ch) = { 100000, 0, pole == 1 ? nan : -1.0e9f, pole == 3 ? inf : 1.0e20f,
                                                                          0.0f, 0.0f, 1.0e30f, 1.0e30f };
            *processor.resonatorParameters[pole]->getUnchecked (ch) = { pole == 1 ? inf : -5.0e6f, pole == 2 ? nan : 1.0e6f };
        }
    for (auto* diffuser : processor.diffuserParameters)
        *diffuser = { 1.0e6f, -5.0f };
    prepare (processor, 44100.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    for (int b = 0; b < 60; ++b)
    {
        fillWithSines (buffer, b * 512, 1.0e30f);
        buffer.setSample (0, 3, nan);
        buffer.setSample (1, 100, b % 2 == 0 ? inf : -inf);
        processor.processBlock (buffer, midi);
        ASSERT_TRUE (allFinite (buffer) && std::isfinite (processor.rmsLevel.load())) << b;
    }
}
