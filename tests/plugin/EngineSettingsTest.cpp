// Drawing engine settings: order and count of draws, ranges, pole isolation and the trajectory randomiser.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestHelpers.h"

namespace
{
struct GrainValues
{
    float size, speed, sizeRnd, ampRnd, speedRnd;
};

// The grain draws written out from the ranges: short 20..100 or long 100..599 ms, narrow 0.95..1.025 or
// wide 0.5..2 speed, size randomness up to 0.25, amplitude randomness as drawn, small 0..0.01 or large 0..0.5.
GrainValues replayGrain (juce::Random& r, double rate)
{
    GrainValues v;
    const bool shortGrain = r.nextBool();
    const float ms = shortGrain ? 20.0f + 80.0f * r.nextFloat() : 100.0f + 499.0f * r.nextFloat();
    v.size = (float) ((double) (ms * 0.001f) * rate);
    const bool narrow = r.nextBool();
    v.speed = narrow ? 0.95f + (1.025f - 0.95f) * r.nextFloat() : 0.5f + 1.5f * r.nextFloat();
    v.sizeRnd = 0.25f * r.nextFloat();
    v.ampRnd = r.nextFloat();
    const bool small = r.nextBool();
    v.speedRnd = small ? 0.01f * r.nextFloat() : 0.5f * r.nextFloat();
    return v;
}

struct GestureRecorder : juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int index, float value) override { events.add ("value " + juce::String (index) + " " + juce::String (value)); }
    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "begin " : "end ") + juce::String (index)); }
    juce::StringArray events;
};
} // namespace

TEST (EngineSettings, RegenerateWorldTakesEightyTwoDrawsInOrder)
{
    CalythAudioProcessor processor;
    processor.worldRandom.setSeed (20261206);
    processor.regenerateWorld();

    juce::Random replay (20261206);
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto& resonator = *processor.resonatorParameters[pole]->getUnchecked (ch);
            EXPECT_FLOAT_EQ (resonator.freq, 80.0f + 880.0f * replay.nextFloat());
            EXPECT_FLOAT_EQ (resonator.feedback, 0.9f * replay.nextFloat());

            const auto expected = replayGrain (replay, 44100.0);
            const auto& grain = *processor.granulizerParameters[pole]->getUnchecked (ch);
            EXPECT_EQ (grain.density.load(), 8);
            EXPECT_EQ (grain.envelope.load(), 2);
            EXPECT_FLOAT_EQ (grain.size, expected.size);
            EXPECT_FLOAT_EQ (grain.speed, expected.speed);
            EXPECT_FLOAT_EQ (grain.sizeRnd, expected.sizeRnd);
            EXPECT_FLOAT_EQ (grain.ampRnd, expected.ampRnd);
            EXPECT_FLOAT_EQ (grain.speedRnd, expected.speedRnd);
        }
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_FLOAT_EQ (processor.diffuserParameters[ch]->feedback, 0.1f + 0.8f * replay.nextFloat());
        EXPECT_EQ (processor.diffuserParameters[ch]->damp.load(), 0.7f);
    }

    // Both generators stand at the same place: exactly 82 draws were taken.
    EXPECT_EQ (processor.worldRandom.nextInt(), replay.nextInt());

    // Two processors seeded alike end with identical records.
    CalythAudioProcessor other;
    other.worldRandom.setSeed (20261206);
    other.regenerateWorld();
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
        {
            EXPECT_EQ (other.granulizerParameters[pole]->getUnchecked (ch)->size.load(),
                       processor.granulizerParameters[pole]->getUnchecked (ch)->size.load());
            EXPECT_EQ (other.resonatorParameters[pole]->getUnchecked (ch)->freq.load(),
                       processor.resonatorParameters[pole]->getUnchecked (ch)->freq.load());
        }
}

TEST (EngineSettings, DrawnValuesStayInTheirRangesUnsnapped)
{
    CalythAudioProcessor processor;
    for (auto* records : processor.granulizerParameters)
        for (auto* record : *records)
        {
            record->gain = 0.5f;
            record->freeze = true;
        }

    int wholeFrequencies = 0, draws = 0;
    for (int round = 0; round < 50; ++round)
    {
        processor.regenerateWorld();
        for (int pole = 0; pole < 4; ++pole)
            for (int ch = 0; ch < 2; ++ch)
            {
                const auto& g = *processor.granulizerParameters[pole]->getUnchecked (ch);
                const auto& r = *processor.resonatorParameters[pole]->getUnchecked (ch);
                ASSERT_GE (g.size.load(), 882.0f);
                ASSERT_LE (g.size.load(), 26415.9f);
                ASSERT_GE (g.speed.load(), 0.5f);
                ASSERT_LE (g.speed.load(), 2.0f);
                ASSERT_LE (g.sizeRnd.load(), 0.25f);
                ASSERT_LE (g.speedRnd.load(), 0.5f);
                ASSERT_GE (g.ampRnd.load(), 0.0f);
                ASSERT_LT (g.ampRnd.load(), 1.0f);
                ASSERT_EQ (g.gain.load(), 0.5f);
                ASSERT_TRUE (g.freeze.load());
                ASSERT_GE (r.freq.load(), 80.0f);
                ASSERT_LE (r.freq.load(), 960.0f);
                ASSERT_LE (r.feedback.load(), 0.9f);
                wholeFrequencies += r.freq.load() == std::floor (r.freq.load()) ? 1 : 0;
                ++draws;
            }
        for (auto* d : processor.diffuserParameters)
        {
            ASSERT_GE (d->feedback.load(), 0.1f);
            ASSERT_LE (d->feedback.load(), 0.9f);
            ASSERT_EQ (d->damp.load(), 0.7f);
        }
    }
    EXPECT_LT (wholeFrequencies, draws / 10);

    // At 48 kHz new sizes follow the rate; records drawn earlier keep their sample counts.
    const float before = processor.granulizerParameters[0]->getUnchecked (0)->size;
    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (processor.granulizerParameters[0]->getUnchecked (0)->size.load(), before);
    for (int round = 0; round < 50; ++round)
    {
        processor.regeneratePole (round % 4);
        const float size = processor.granulizerParameters[round % 4]->getUnchecked (round % 2)->size;
        ASSERT_GE (size, 960.0f);
        ASSERT_LE (size, 28752.0f);
    }
}

TEST (EngineSettings, RegeneratePoleTouchesOnlyThatPole)
{
    CalythAudioProcessor processor;
    auto snapshot = [&processor] (int pole, int ch)
    {
        return std::make_pair (processor.granulizerParameters[pole]->getUnchecked (ch)->size.load(),
                               processor.resonatorParameters[pole]->getUnchecked (ch)->freq.load());
    };

    std::pair<float, float> before[4][2];
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
            before[pole][ch] = snapshot (pole, ch);
    const float diffuserFeedback = processor.diffuserParameters[1]->feedback;

    processor.regeneratePole (2);

    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
            if (pole == 2)
                EXPECT_NE (snapshot (pole, ch), before[pole][ch]);
            else
                EXPECT_EQ (snapshot (pole, ch), before[pole][ch]);
    EXPECT_EQ (processor.diffuserParameters[1]->feedback.load(), diffuserFeedback);
}

TEST (EngineSettings, TrajectoryRandomiserGestures)
{
    for (const bool live : { false, true })
    {
        CalythAudioProcessor processor;
        auto& randomizer = processor.trajectoryRandomizer;
        EXPECT_FALSE (randomizer.isAbletonLive); // not running inside Live here
        randomizer.isAbletonLive = live;
        randomizer.random.setSeed (77);

        GestureRecorder recorder;
        const char* ids[] = { "x_traj_amount", "x_traj_range", "y_traj_amount", "y_traj_range" };
        for (auto* id : ids)
            processor.parameterTree.getParameter (id)->addListener (&recorder);

        randomizer.randomizeGroup (0);
        randomizer.randomizeGroup (5); // no such group: nothing happens

        juce::Random replay (77);
        juce::StringArray expected;
        for (int k = 4; k <= 7; ++k)
        {
            if (! live)
                expected.add ("begin " + juce::String (k));
            expected.add ("value " + juce::String (k) + " " + juce::String (replay.nextFloat()));
            if (! live)
                expected.add ("end " + juce::String (k));
        }
        EXPECT_EQ (recorder.events, expected) << recorder.events.joinIntoString (", ");

        for (auto* id : ids)
            processor.parameterTree.getParameter (id)->removeListener (&recorder);
    }
}
