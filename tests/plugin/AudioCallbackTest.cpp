// What the reference model leaves out: channel layouts, and blocks longer than prepared or before any preparation.
#include <gtest/gtest.h>

#include "plugin/PluginProcessor.h"

namespace
{
constexpr float halfMix = 0.70770812f; // P(t) at m = 0.5

// One block of the sines through the processor: the sines times a gain on the first `processed` channels, silence on the rest.
void expectScaledSines (CalythAudioProcessor& processor, int numSamples, int numChannels, float gain, int processed)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples), input (numChannels, numSamples);
    juce::MidiBuffer midi;
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, 0.5f * std::sin ((float) i * (0.03f + 0.011f * (float) ch)));
    input.makeCopyOf (buffer);
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
