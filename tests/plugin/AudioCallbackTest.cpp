// The audio callback end to end: pad blend, dry/wet gains, level, stereo link, channels, block sizes, bad values.
#include <gtest/gtest.h>

#include <limits>

#include "EngineTestHelpers.h"

using calyth::test::process;
using calyth::test::setParameter;

namespace
{
constexpr int blockSize = 4096;
const float halfMix = 0.70770812f; // P(t) at m = 0.5

void silenceGrains (CalythAudioProcessor& processor)
{
    for (auto* records : processor.granulizerParameters)
        for (auto* record : *records)
            record->density = 0;
}

// One grain over (almost) the whole recording, starting at 0 at speed 1: sound from the first block on.
void makePoleAudible (CalythAudioProcessor& processor, int pole)
{
    for (int ch = 0; ch < 2; ++ch)
    {
        auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
        g.density = 1;
        g.envelope = 0;
        g.size = 176398.0f;
        g.sizeRnd = g.speedRnd = g.ampRnd = 0.0f;
        g.speed = 1.0f;
        processor.resonatorParameters[pole]->getUnchecked (ch)->freq = 440.0f;
        processor.resonatorParameters[pole]->getUnchecked (ch)->feedback = 0.5f;
    }
}

// Position (x, y) with no diffuser sends; a silent block lets every ramp finish before sound arrives.
void prepareAt (CalythAudioProcessor& processor, float x, float y)
{
    setParameter (processor, "x_pos", x);
    setParameter (processor, "y_pos", y);
    for (auto* id : { "pole_a_diff", "pole_b_diff", "pole_c_diff", "pole_d_diff" })
        setParameter (processor, id, 0.0f);
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, blockSize);
    process (processor, blockSize);
}
} // namespace

TEST (AudioCallback, PadBlendsThePoles)
{
    const float corners[4][2] = { { 0, 0 }, { 1, 0 }, { 0, 1 }, { 1, 1 } };
    for (int pole = 0; pole < 4; ++pole)
        for (int corner = 0; corner < 4; ++corner)
        {
            CalythAudioProcessor processor;
            silenceGrains (processor);
            makePoleAudible (processor, pole);
            prepareAt (processor, corners[corner][0], corners[corner][1]);
            process (processor, blockSize, false);
            if (pole == corner)
                EXPECT_GT (processor.rmsLevel.load(), 1.0e-3f);
            else
                EXPECT_EQ (processor.rmsLevel.load(), 0.0f) << pole << " at corner " << corner;
        }

    // Four identical poles at the centre, a quarter each, sound like one of them alone in its corner.
    CalythAudioProcessor centre, corner;
    for (int pole = 0; pole < 4; ++pole)
        for (auto* p : { &centre, &corner })
            makePoleAudible (*p, pole);
    prepareAt (centre, 0.5f, 0.5f);
    prepareAt (corner, 0.0f, 0.0f);
    const auto a = process (centre, blockSize, false);
    const auto b = process (corner, blockSize, false);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i), 2.0e-6f);
}

TEST (AudioCallback, DryWetGainsAndTheLevelOfTheWetPath)
{
    const float mixes[][2] = { { 0.0f, 1.0f }, { 0.5f, halfMix }, { 1.0f, 4.7683716e-6f } };
    for (const auto& m : mixes)
    {
        // A silent wet path leaves the dry input times its gain, and a level of 0 however loud the input.
        CalythAudioProcessor processor;
        silenceGrains (processor);
        setParameter (processor, "dry_wet", m[0]);
        prepareAt (processor, 0.5f, 0.5f);
        juce::AudioBuffer<float> input (2, blockSize);
        calyth::test::fillWithSines (input, 0);
        const auto output = process (processor, blockSize, false);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_FLOAT_EQ (output.getSample (ch, i), m[1] * input.getSample (ch, i));
        EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
    }

    // Fully dry with sound in the wet path: the level still measures the wet path.
    CalythAudioProcessor processor;
    silenceGrains (processor);
    makePoleAudible (processor, 0);
    setParameter (processor, "dry_wet", 0.0f);
    prepareAt (processor, 0.0f, 0.0f);
    process (processor, blockSize, false);
    EXPECT_GT (processor.rmsLevel.load(), 1.0e-3f);
}

TEST (AudioCallback, StereoLinkTakesTheLeftRecords)
{
    CalythAudioProcessor processor;
    setParameter (processor, "stereo_link_b", 1.0f);
    prepareAt (processor, 0.5f, 0.5f);

    const auto& records = *processor.granulizerParameters[1];
    ASSERT_NE (records[0]->size.load(), records[1]->size.load());
    EXPECT_EQ (processor.grainClouds[1]->getUnchecked (1)->parameters.size.load(), records[0]->size.load());
    EXPECT_EQ (processor.resonators[1]->getUnchecked (1)->freq, processor.resonatorParameters[1]->getUnchecked (0)->freq.load());
    EXPECT_EQ (processor.grainClouds[0]->getUnchecked (1)->parameters.size.load(), processor.granulizerParameters[0]->getUnchecked (1)->size.load());
}

TEST (AudioCallback, ChannelLayoutsAndBlockLengths)
{
    const auto layout = [] (juce::AudioChannelSet in, juce::AudioChannelSet out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };
    const struct { juce::AudioProcessor::BusesLayout layout; int channels, processed; } cases[] = {
        { layout (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo()), 2, 1 },
        { layout (juce::AudioChannelSet::discreteChannels (4), juce::AudioChannelSet::discreteChannels (4)), 4, 2 },
        { layout (juce::AudioChannelSet::disabled(), juce::AudioChannelSet::stereo()), 2, 0 },
    };

    // Channels beyond the inputs, or beyond the engines' two, come out silent; the rest are mixed.
    for (const auto& c : cases)
    {
        CalythAudioProcessor processor;
        silenceGrains (processor);
        ASSERT_TRUE (processor.setBusesLayout (c.layout));
        processor.prepareToPlay (44100.0, 64);
        juce::AudioBuffer<float> buffer (c.channels, 1000), input (c.channels, 1000);
        calyth::test::fillWithSines (input, 0);
        buffer.makeCopyOf (input);
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 0; i < 1000; ++i)
                ASSERT_FLOAT_EQ (buffer.getSample (ch, i), ch < c.processed ? halfMix * input.getSample (ch, i) : 0.0f) << ch;
    }

    // Blocks longer than prepared, or before any preparation, in stretches that fit the buffers.
    for (const int prepared : { 64, 0, -1 })
    {
        CalythAudioProcessor processor;
        processor.enableAllBuses();
        silenceGrains (processor);
        if (prepared >= 0)
            processor.prepareToPlay (44100.0, prepared);
        for (const int length : { 1000, 2000, 0, 1, 97 })
        {
            juce::AudioBuffer<float> input (2, length);
            calyth::test::fillWithSines (input, 0);
            const auto output = process (processor, length, false);
            for (int i = 0; i < length; ++i)
                ASSERT_FLOAT_EQ (output.getSample (1, i), halfMix * input.getSample (1, i)) << prepared << " " << length;
        }
    }
}

TEST (AudioCallback, HostileRecordsAndSamplesGiveFiniteOutput)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    CalythAudioProcessor processor;
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
            g.density = 100000;
            g.size = pole == 1 ? nan : -1.0e9f;
            g.speed = pole == 3 ? inf : 1.0e20f;
            g.ampRnd = g.gain = 1.0e30f;
            processor.resonatorParameters[pole]->getUnchecked (ch)->freq = pole == 1 ? inf : -5.0e6f;
            processor.resonatorParameters[pole]->getUnchecked (ch)->feedback = pole == 2 ? nan : 1.0e6f;
        }
    for (auto* d : processor.diffuserParameters)
    {
        d->feedback = 1.0e6f;
        d->damp = -5.0f;
    }
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    for (int b = 0; b < 60; ++b)
    {
        calyth::test::fillWithSines (buffer, b * 512, 1.0e30f);
        buffer.setSample (0, 3, nan);
        buffer.setSample (1, 100, b % 2 == 0 ? inf : -inf);
        processor.processBlock (buffer, midi);
        ASSERT_TRUE (calyth::test::allFinite (buffer) && std::isfinite (processor.rmsLevel.load())) << b;
    }
}
