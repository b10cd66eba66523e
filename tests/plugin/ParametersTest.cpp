// The host parameter table as the host sees it (order, names, ranges, defaults, flags and texts), and the gestures of the
// trajectory randomiser (the engine settings' draws are held to the reference model).
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

namespace
{
// Written out again from the product's table so that a slip in the code's table shows.
const struct { const char *id, *name, *label; float start, end, interval, skew, defaultValue; } rows[] = {
    { "in_gain", "Input Gain", "dB", -70.0f, 6.0f, 0.001f, 1.5f, 0.0f },
    { "x_pos", "X Position", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "y_pos", "Y Position", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "trajectory", "Trajectory", "", 0.0f, 1.0f, 1.0f, 1.0f, 0.0f },
    { "x_traj_amount", "X Trajectory Rate", "", 0.001f, 1.0f, 0.001f, 0.5f, 0.1f },
    { "x_traj_range", "X Trajectory Range", "", 0.1f, 1.0f, 0.001f, 1.0f, 1.0f },
    { "y_traj_amount", "Y Trajectory Rate", "", 0.001f, 1.0f, 0.001f, 0.5f, 0.1f },
    { "y_traj_range", "Y Trajectory Range", "", 0.1f, 1.0f, 0.001f, 1.0f, 1.0f },
    { "out_gain", "Out Gain", "dB", -70.0f, 12.0f, 0.001f, 1.5f, 0.0f },
    { "dry_wet", "Dry/Wet", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "pole_a_diff", "Pole A Diff", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "pole_b_diff", "Pole B Diff", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "pole_c_diff", "Pole C Diff", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "pole_d_diff", "Pole D Diff", "", 0.0f, 1.0f, 0.001f, 1.0f, 0.5f },
    { "stereo_link_a", "Pole A Stereo Link", "", 0.0f, 1.0f, 1.0f, 1.0f, 0.0f },
    { "stereo_link_b", "Pole B Stereo Link", "", 0.0f, 1.0f, 1.0f, 1.0f, 0.0f },
    { "stereo_link_c", "Pole C Stereo Link", "", 0.0f, 1.0f, 1.0f, 1.0f, 0.0f },
    { "stereo_link_d", "Pole D Stereo Link", "", 0.0f, 1.0f, 1.0f, 1.0f, 0.0f },
};
} // namespace

TEST (HostParameters, TableTextsAndTheTrajectoryRandomiserGestures)
{
    CalythAudioProcessor processor;
    const auto& params = processor.getParameters();
    const auto& ids = processor.calythParameters->parameterIDs;
    const auto& raw = processor.calythParameters->rawValues;
    ASSERT_TRUE (params.size() == 18 && ids.size() == 18 && raw.size() == 18);

    for (int k = 0; k < 18; ++k)
    {
        const auto& row = rows[k];
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (params[k]);
        ASSERT_NE (p, nullptr) << k;
        const auto& range = p->getNormalisableRange();
        EXPECT_EQ (std::tuple (p->getParameterIndex(), p->paramID, ids[k], p->getName (100), p->getLabel()),
                   std::tuple (k, juce::String (row.id), juce::String (row.id), juce::String (row.name), juce::String (row.label)));
        EXPECT_EQ (std::tuple (range.start, range.end, range.interval, range.skew, range.symmetricSkew), std::tuple (row.start, row.end, row.interval, row.skew, false))
            << row.id;
        EXPECT_TRUE (p->isAutomatable() && ! p->isMetaParameter() && ! p->isDiscrete() && ! p->isBoolean()
                     && p->getCategory() == juce::AudioProcessorParameter::genericParameter) << row.id;
        EXPECT_FLOAT_EQ (p->convertFrom0to1 (p->getDefaultValue()), row.defaultValue) << row.id;
        EXPECT_FLOAT_EQ (raw[k]->load(), row.defaultValue) << row.id; // which value each is, the audio path shows
    }

    const auto text = [&processor] (const char* id, float normalised, int length) { return processor.parameterTree.getParameter (id)->getText (normalised, length); };
    // The gains show their own text whatever length the host asks for; the others the framework's.
    const auto zeroDecibels = processor.parameterTree.getParameter ("out_gain")->getDefaultValue();
    EXPECT_EQ (text ("dry_wet", 0.5f, 0) + " " + text ("dry_wet", 0.5f, 3) + " " + text ("trajectory", 1.0f, 0) + " " + text ("out_gain", zeroDecibels, 3)
                   + " " + text ("in_gain", 0.0f, 0), "0.500 0.5 1 +0.00 dB -INF dB");
    for (const auto& [value, expected] : { std::pair { -70.0f, "-INF dB" }, { -69.999f, "-70.00 dB" }, { -3.456f, "-3.46 dB" }, { -0.004f, "-0.00 dB" }, { 12.0f, "+12.00 dB" } })
        EXPECT_EQ (kelm::getDecibelsParameterText (value), juce::String (expected)) << value;

    // The trajectory randomiser's gestures.
    for (const bool live : { false, true })
    {
        CalythAudioProcessor processor;
        auto& randomizer = processor.trajectoryRandomizer;
        randomizer.isAbletonLive = live;
        randomizer.random.setSeed (77);
        calyth::test::ParameterEvents log (processor, { 4, 5, 6, 7 });
        randomizer.randomizeGroup (0);
        randomizer.randomizeGroup (5); // no such group: nothing happens

        // Outside Live each parameter gets begin, value, end before the next one; inside Live values only.
        juce::Random replay (77);
        juce::String expected;
        for (int k = 4; k <= 7; ++k)
        {
            const auto value = " " + juce::String (k) + ":" + juce::String (replay.nextFloat(), 4);
            expected << (live ? value : " (" + value + " )");
        }
        EXPECT_EQ (log.events, expected);
    }
}
