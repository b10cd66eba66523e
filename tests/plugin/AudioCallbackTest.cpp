// The audio callback end to end: pad blend, dry/wet gains, level, stereo link, channels and block sizes.
#include <gtest/gtest.h>

#include <limits>

#include "EngineTestHelpers.h"

using calyth::test::fillWithSines;
using calyth::test::setParameter;

namespace
{
constexpr int blockSize = 4096;

// A pole whose single grain plays the recording right behind the write position: sound from the first block on.
void makePoleAudible (CalythAudioProcessor& processor, int pole)
{
    for (int ch = 0; ch < 2; ++ch)
    {
        auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
        g.density = 1;
        g.envelope = 0;
        g.size = 176398.0f; // start range 1: every region starts at 0
        g.sizeRnd = 0.0f;
        g.speed = 1.0f;
        g.speedRnd = 0.0f;
        g.ampRnd = 0.0f;
        auto& r = *processor.resonatorParameters[pole]->getUnchecked (ch);
        r.freq = 440.0f;
        r.feedback = 0.5f;
    }
}

// Prepared, and run through one silent block so that every smoother stands at its parameter's value.
void prepareAndSettle (CalythAudioProcessor& processor)
{
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, blockSize);
    juce::AudioBuffer<float> silence (2, blockSize);
    silence.clear();
    juce::MidiBuffer midi;
    processor.processBlock (silence, midi);
}

void setPosition (CalythAudioProcessor& processor, float x, float y)
{
    setParameter (processor, "x_pos", x);
    setParameter (processor, "y_pos", y);
    for (auto* id : { "pole_a_diff", "pole_b_diff", "pole_c_diff", "pole_d_diff" })
        setParameter (processor, id, 0.0f);
}

juce::AudioBuffer<float> run (CalythAudioProcessor& processor, int blocks)
{
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    for (int b = 0; b < blocks; ++b)
    {
        fillWithSines (buffer, b * blockSize);
        processor.processBlock (buffer, midi);
    }
    return buffer;
}
} // namespace

TEST (AudioCallback, PadCornersPlayOnePoleEach)
{
    const float corners[4][2] = { { 0.0f, 0.0f }, { 1.0f, 0.0f }, { 0.0f, 1.0f }, { 1.0f, 1.0f } };

    for (int pole = 0; pole < 4; ++pole)
        for (int corner = 0; corner < 4; ++corner)
        {
            CalythAudioProcessor processor;
            calyth::test::silenceGrains (processor);
            makePoleAudible (processor, pole);
            setPosition (processor, corners[corner][0], corners[corner][1]);
            prepareAndSettle (processor);
            run (processor, 2);

            if (pole == corner)
                EXPECT_GT (processor.rmsLevel.load(), 1.0e-3f) << pole;
            else
                EXPECT_EQ (processor.rmsLevel.load(), 0.0f) << pole << " at corner " << corner;
        }
}

TEST (AudioCallback, CentreWeightsEveryPoleAQuarter)
{
    // Four identical poles at the centre sound like one of them alone in its corner.
    CalythAudioProcessor centre, corner;
    for (auto* processor : { &centre, &corner })
        for (int pole = 0; pole < 4; ++pole)
            makePoleAudible (*processor, pole);
    setPosition (centre, 0.5f, 0.5f);
    setPosition (corner, 0.0f, 0.0f);
    prepareAndSettle (centre);
    prepareAndSettle (corner);

    const auto a = run (centre, 2);
    const auto b = run (corner, 2);
    EXPECT_GT (centre.rmsLevel.load(), 1.0e-3f);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i), 2.0e-6f) << ch << " " << i;
}

TEST (AudioCallback, DryWetGainsAndTheLevelOfTheWetPath)
{
    const struct
    {
        float mix, dryGain;
    } mixes[] = { { 0.0f, 1.0f }, { 0.5f, 0.70770812f }, { 1.0f, 4.7683716e-6f } };

    for (const auto& m : mixes)
    {
        CalythAudioProcessor processor;
        calyth::test::silenceGrains (processor);
        setParameter (processor, "dry_wet", m.mix);
        prepareAndSettle (processor);

        juce::AudioBuffer<float> buffer (2, blockSize);
        fillWithSines (buffer, 0, 0.9f);
        juce::AudioBuffer<float> input (buffer);
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);

        // A silent wet path leaves the dry signal times its gain, and a level of 0 however loud the dry input.
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_FLOAT_EQ (buffer.getSample (ch, i), m.dryGain * input.getSample (ch, i));
        EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
    }

    // With sound in the wet path the level rises.
    CalythAudioProcessor processor;
    calyth::test::silenceGrains (processor);
    makePoleAudible (processor, 0);
    setPosition (processor, 0.0f, 0.0f);
    setParameter (processor, "dry_wet", 0.0f);
    prepareAndSettle (processor);
    run (processor, 1);
    EXPECT_GT (processor.rmsLevel.load(), 1.0e-3f);
}

TEST (AudioCallback, StereoLinkTakesTheLeftRecords)
{
    CalythAudioProcessor processor;
    setParameter (processor, "stereo_link_b", 1.0f);
    prepareAndSettle (processor);

    const auto& left = *processor.granulizerParameters[1]->getUnchecked (0);
    const auto& right = *processor.granulizerParameters[1]->getUnchecked (1);
    ASSERT_NE (left.size.load(), right.size.load());

    EXPECT_EQ (processor.grainClouds[1]->getUnchecked (1)->parameters.size.load(), left.size.load());
    EXPECT_EQ (processor.resonators[1]->getUnchecked (1)->freq, processor.resonatorParameters[1]->getUnchecked (0)->freq.load());
    EXPECT_EQ (processor.grainClouds[0]->getUnchecked (1)->parameters.size.load(),
               processor.granulizerParameters[0]->getUnchecked (1)->size.load());
    EXPECT_EQ (processor.resonators[0]->getUnchecked (1)->freq, processor.resonatorParameters[0]->getUnchecked (1)->freq.load());
}

TEST (AudioCallback, PreparingAgainClearsTheSignalState)
{
    CalythAudioProcessor processor;
    makePoleAudible (processor, 0);
    setPosition (processor, 0.0f, 0.0f);
    prepareAndSettle (processor);
    run (processor, 2);
    ASSERT_NE (processor.resonators[0]->getUnchecked (0)->lastOut, 0.0f);

    processor.prepareToPlay (44100.0, blockSize);
    for (auto* clouds : processor.grainClouds)
        for (auto* cloud : *clouds)
        {
            EXPECT_EQ (cloud->bufferLength, 176400);
            EXPECT_EQ (cloud->writePosition, 0);
            EXPECT_EQ (cloud->recording.getMagnitude (0, 0, cloud->bufferLength), 0.0f);
        }
    for (auto* poleResonators : processor.resonators)
        for (auto* resonator : *poleResonators)
            EXPECT_EQ (resonator->lastOut, 0.0f);
    for (auto* diffuser : processor.diffusers)
    {
        EXPECT_EQ (diffuser->lines[0].delay, 1146);
        EXPECT_EQ (diffuser->lines[1].delay, 1411);
        EXPECT_EQ (diffuser->lines[2].delay, 1808);
        EXPECT_EQ (diffuser->lastOut, 0.0f);
    }
    for (auto* blocker : processor.dcBlockers)
        EXPECT_EQ (blocker->y1, 0.0f);
}

TEST (AudioCallback, ChannelLayouts)
{
    juce::MidiBuffer midi;

    // Mono in, stereo out: the second output is silent.
    {
        CalythAudioProcessor processor;
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::mono());
        layout.outputBuses.add (juce::AudioChannelSet::stereo());
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (44100.0, 256);

        juce::AudioBuffer<float> buffer (2, 256);
        fillWithSines (buffer, 0);
        processor.processBlock (buffer, midi);
        EXPECT_EQ (buffer.getMagnitude (1, 0, 256), 0.0f);
        EXPECT_GT (buffer.getMagnitude (0, 0, 256), 0.0f);
        EXPECT_TRUE (calyth::test::allFinite (buffer));
    }

    // Four channels: the engines take the first two, the others are silenced.
    {
        CalythAudioProcessor processor;
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::discreteChannels (4));
        layout.outputBuses.add (juce::AudioChannelSet::discreteChannels (4));
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (44100.0, 256);

        juce::AudioBuffer<float> buffer (4, 256);
        for (int b = 0; b < 20; ++b)
        {
            fillWithSines (buffer, b * 256);
            processor.processBlock (buffer, midi);
            ASSERT_EQ (buffer.getMagnitude (2, 0, 256), 0.0f);
            ASSERT_EQ (buffer.getMagnitude (3, 0, 256), 0.0f);
            ASSERT_GT (buffer.getMagnitude (0, 0, 256), 0.0f);
            ASSERT_TRUE (calyth::test::allFinite (buffer));
        }
    }

    // No input at all: silence.
    {
        CalythAudioProcessor processor;
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::disabled());
        layout.outputBuses.add (juce::AudioChannelSet::stereo());
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (44100.0, 256);
        juce::AudioBuffer<float> buffer (2, 256);
        fillWithSines (buffer, 0);
        processor.processBlock (buffer, midi);
        EXPECT_EQ (buffer.getMagnitude (0, 256), 0.0f);
        EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
    }
}

TEST (AudioCallback, BlocksLongerThanPreparedAndBeforePreparation)
{
    juce::MidiBuffer midi;
    const float halfMix = 0.70770812f;

    for (const int prepared : { 64, 0, -1 })
    {
        CalythAudioProcessor processor;
        processor.enableAllBuses();
        calyth::test::silenceGrains (processor);
        if (prepared >= 0)
            processor.prepareToPlay (44100.0, prepared);

        for (const int length : { 1000, 2000, 0, 1, 97 })
        {
            juce::AudioBuffer<float> buffer (2, length);
            fillWithSines (buffer, 0);
            juce::AudioBuffer<float> input (buffer);
            processor.processBlock (buffer, midi);

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < length; ++i)
                    ASSERT_FLOAT_EQ (buffer.getSample (ch, i), halfMix * input.getSample (ch, i)) << prepared << " " << length;
            EXPECT_EQ (processor.rmsLevel.load(), 0.0f);
        }
    }
}

TEST (AudioCallback, HostileRecordsAndSamplesGiveFiniteOutput)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    CalythAudioProcessor processor;
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
            g.density = pole == 0 ? 100000 : 64;
            g.size = pole == 1 ? nan : (pole == 2 ? -1.0e9f : 1.0e9f);
            g.speed = pole == 3 ? inf : 1.0e20f;
            g.sizeRnd = 3.0f;
            g.ampRnd = pole == 0 ? nan : 1.0e30f;
            g.gain = 1.0e30f;
            auto& r = *processor.resonatorParameters[pole]->getUnchecked (ch);
            r.freq = pole == 1 ? inf : -5.0e6f;
            r.feedback = pole == 2 ? nan : 1.0e6f;
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
        fillWithSines (buffer, b * 512, 1.0e30f);
        if (b % 7 == 0)
        {
            buffer.setSample (0, 3, nan);
            buffer.setSample (1, 100, inf);
            buffer.setSample (1, 101, -inf);
        }
        processor.processBlock (buffer, midi);
        ASSERT_TRUE (calyth::test::allFinite (buffer)) << b;
        ASSERT_TRUE (std::isfinite (processor.rmsLevel.load())) << b;
    }
}
