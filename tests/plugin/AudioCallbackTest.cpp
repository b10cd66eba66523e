// What the reference model leaves out: channel layouts, and blocks longer than prepared or before any preparation.
#include <gtest/gtest.h>

#include "plugin/PluginProcessor.h"

TEST (AudioCallback, ChannelLayoutsAndBlockLengths)
{
    // Channels beyond the inputs, or beyond the engines' two, come out silent; the rest are mixed with the silent wet
    // path at P (t) for m = 0.5. Blocks longer than prepared, or before any preparation, go in stretches that fit the buffers.
    constexpr float halfMix = 0.70770812f;
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
        {
            juce::AudioBuffer<float> buffer (c.out.size(), length), input (c.out.size(), length);
            juce::MidiBuffer midi;
            for (int ch = 0; ch < c.out.size(); ++ch)
                for (int i = 0; i < length; ++i)
                    buffer.setSample (ch, i, 0.5f * std::sin ((float) i * (0.03f + 0.011f * (float) ch)));
            input.makeCopyOf (buffer);
            processor.processBlock (buffer, midi);
            for (int ch = 0; ch < c.out.size(); ++ch)
                for (int i = 0; i < length; ++i)
                    ASSERT_FLOAT_EQ (buffer.getSample (ch, i), ch < c.processed ? halfMix * input.getSample (ch, i) : 0.0f) << ch << " " << i;
        }
    }
}
