// The processor against the reference model: every output sample, the level and the trajectory point, bit for bit,
// while parameters move, settings are redrawn and edited, and blocks come in every size the host may use.
#include <gtest/gtest.h>

#include <cstring>

#include "ReferenceModel.h"
#include "plugin/PluginProcessor.h"

namespace
{
void setParameter (CalythAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameterTree.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }

// Every envelope (3 is none) once the drawn one has played, grain counts 0 to 64, a grain gain other than 1 and damping
// below 1, made alike to both sides' records (same field names); all else plays as drawn, so a differing draw shows.
template <typename Grain, typename Diffuser>
void editByHand (Grain&& grain, Diffuser&& diffuser, int round)
{
    grain (3, 0).density = round == 1 ? 64 : 6 * round; // none at first, while the recording goes on
    for (int pole = 0; pole < 4 && round > 0; ++pole)
        for (int ch = 0; ch < 2; ++ch)
            grain (pole, ch).envelope = (pole + ch + round) % 4;
    grain (2, 1).gain = 0.6f;
    grain (3, 1).freeze = round == 2;
    grain (0, 0).sizeRnd = 0.2f + 0.01f * (float) round;
    diffuser (0).damp = 0.35f;
    diffuser (1).damp = 0.8f - 0.1f * (float) round;
}
} // namespace

TEST (AudioPath, ProcessorAndReferenceModelAgreeBitForBit)
{
    // Rate, prepared block size, a second preparation (same rate, then another) part way, and the ramp length,
    // trajectory interval and diffuser delays the text gives for the rate, which hold the model to it; stereo, or mono.
    const struct { double rate; int prepared; double secondRate; int ramp, interval, delays[3], channels; } runs[] = {
        { 44100.0, 512, 44100.0, 2645, 256, { 1146, 1411, 1808 }, 2 }, { 48000.0, 480, 96000.0, 2879, 278, { 1248, 1536, 1968 }, 2 },
        { 96000.0, 1024, 44100.0, 5759, 557, { 2495, 3072, 3936 }, 1 } };
    for (const auto& run : runs)
    {
        CalythAudioProcessor processor;
        model::Processor model;
        const auto layout = juce::AudioChannelSet::canonicalChannelSet (run.channels);
        ASSERT_TRUE (processor.setBusesLayout ({ { layout }, { layout } }));
        const auto raw = [&processor] (const char* id) { return processor.parameterTree.getRawParameterValue (id)->load(); };
        for (int pole = 0; pole < 4; ++pole)
            for (int ch = 0; ch < 2; ++ch)
                processor.grainClouds[pole]->getUnchecked (ch)->regionSeed = model.clouds[pole][ch].seed = 1000 * (2 * pole + ch) + 7;

        // A seed of 0 goes on with the sequence, so that a draw too many or too few shows.
        const auto regenerate = [&] (juce::int64 seed, int pole, int round)
        {
            if (seed != 0)
                processor.worldRandom.setSeed (seed), model.worldRandom.setSeed (seed);
            pole < 0 ? processor.regenerateWorld() : processor.regeneratePole (pole);
            pole < 0 ? model.regenerateWorld() : model.regeneratePole (pole);
            editByHand ([&] (int pole, int ch) -> auto& { return model.grain[pole][ch]; }, [&] (int ch) -> auto& { return model.diffuser[ch]; }, round);
            editByHand ([&] (int pole, int ch) -> auto& { return *processor.granulizerParameters[pole]->getUnchecked (ch); },
                        [&] (int ch) -> auto& { return *processor.diffuserParameters[ch]; }, round);
        };
        regenerate ((juce::int64) run.rate, -1, 0);

        for (const auto& [id, value] : { std::pair { "x_traj_amount", 0.3f }, { "x_traj_range", 0.25f }, { "y_traj_amount", 0.7f },
                                         { "y_traj_range", 0.6f }, { "stereo_link_b", 1.0f }, { "in_gain", -4.0f } })
            setParameter (processor, id, value);
        processor.prepareToPlay (run.rate, run.prepared);
        model.prepareToPlay (run.rate, raw);
        ASSERT_EQ (std::tuple (model.smoothers[0].rampLength, model.trajectoryInterval, model.diffusers[1].lines[0].delay, model.diffusers[1].lines[1].delay,
                               model.diffusers[1].lines[2].delay), std::tuple (run.ramp, run.interval, run.delays[0], run.delays[1], run.delays[2]));

        const char* sendIds[] = { "pole_a_diff", "pole_b_diff", "pole_c_diff", "pole_d_diff" };
        juce::Random noise (11);
        const int sizes[] = { run.prepared, 1, 37, run.prepared + 32, 0, 255, run.prepared - 1 };
        int time = 0;
        for (int block = 0; block < 420; ++block)
        {
            const float b = (float) block;
            setParameter (processor, "x_pos", 0.5f + 0.55f * std::sin (b * 0.1f));
            setParameter (processor, "y_pos", 0.5f + 0.55f * std::cos (b * 0.07f));
            setParameter (processor, "dry_wet", std::abs (std::fmod (b * 0.03f, 2.0f) - 1.0f));
            setParameter (processor, "in_gain", block < 5 ? -4.0f : -20.0f + 25.0f * (0.5f + 0.5f * std::sin (b * 0.05f)));
            setParameter (processor, "out_gain", -9.0f + 20.0f * (0.5f + 0.5f * std::cos (b * 0.04f)));
            for (int pole = 0; pole < 4; ++pole)
                setParameter (processor, sendIds[pole], 0.5f + 0.5f * std::sin (b * 0.03f + (float) pole * 1.7f));
            setParameter (processor, "trajectory", (block >= 60 && block < 160) || (block >= 250 && block < 330) ? 1.0f : 0.0f);
            setParameter (processor, "stereo_link_d", (float) ((block / 40) % 2));
            if (block == 140)
                setParameter (processor, "x_traj_range", 0.6f);
            if (block == 120)
                regenerate (5 + block, -1, 1);
            if (block == 200)
                regenerate (0, 2, 2);
            if (block == 300)
            {
                processor.prepareToPlay (run.secondRate, run.prepared);
                model.prepareToPlay (run.secondRate, raw);
            }

            const int n = sizes[block % 7];
            juce::AudioBuffer<float> buffer (run.channels, n), expected (run.channels, n);
            for (int i = 0; i < n; ++i, ++time)
                for (int ch = 0; ch < run.channels; ++ch)
                    buffer.setSample (ch, i, 0.4f * std::sin ((float) time * (0.031f + 0.007f * (float) ch)) + 0.2f * (noise.nextFloat() - 0.5f));
            expected.makeCopyOf (buffer);
            juce::MidiBuffer midi;
            processor.processBlock (buffer, midi);
            model.processBlock (expected.getArrayOfWritePointers(), run.channels, n, raw);

            for (int ch = 0; ch < run.channels; ++ch)
                for (int i = 0; i < n; ++i)
                    ASSERT_TRUE (sameBits (buffer.getSample (ch, i), expected.getSample (ch, i)))
                        << run.rate << " Hz, block " << block << ", channel " << ch << ", sample " << i << ": "
                        << buffer.getSample (ch, i) << " instead of " << expected.getSample (ch, i);
            const float published[] = { processor.rmsLevel, processor.trajectoryX, processor.trajectoryY, processor.trajectoryXLow,
                                        processor.trajectoryXHigh, processor.trajectoryYLow, processor.trajectoryYHigh };
            const float modelled[] = { model.rmsLevel, model.trajectoryX, model.trajectoryY, model.xLow, model.xHigh, model.yLow, model.yHigh };
            for (int k = 0; k < 7; ++k)
                ASSERT_TRUE (sameBits (published[k], modelled[k])) << block << ", value " << k << ": " << published[k] << " instead of " << modelled[k];
        }
    }
}
