// The host parameter table as the host sees it: order, names, ranges, defaults, snapping and texts.
#include <gtest/gtest.h>

#include <cmath>

#include "plugin/PluginProcessor.h"

namespace
{
struct Row
{
    const char* id;
    const char* name;
    const char* label;
    float start, end, interval, skew, defaultValue;
};

// Written out again from the product's table so that a slip in the code's table shows.
const Row expectedRows[] = {
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

juce::RangedAudioParameter& parameter (CalythAudioProcessor& p, const char* id)
{
    auto* param = p.parameterTree.getParameter (id);
    EXPECT_NE (param, nullptr) << id;
    return *param;
}
} // namespace

TEST (HostParameters, TableAsTheHostSeesIt)
{
    CalythAudioProcessor processor;
    const auto& params = processor.getParameters();
    ASSERT_EQ (params.size(), 18);
    ASSERT_EQ (processor.calythParameters->parameterIDs.size(), 18);
    ASSERT_EQ (processor.calythParameters->rawValues.size(), 18);

    for (int k = 0; k < 18; ++k)
    {
        const auto& row = expectedRows[k];
        SCOPED_TRACE (row.id);
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (params[k]);
        ASSERT_NE (ranged, nullptr);

        EXPECT_EQ (ranged->getParameterIndex(), k);
        EXPECT_EQ (ranged->paramID, juce::String (row.id));
        EXPECT_EQ (processor.calythParameters->parameterIDs[k], juce::String (row.id));
        EXPECT_EQ (ranged->getName (100), juce::String (row.name));
        EXPECT_EQ (ranged->getLabel(), juce::String (row.label));

        const auto& range = ranged->getNormalisableRange();
        EXPECT_EQ (range.start, row.start);
        EXPECT_EQ (range.end, row.end);
        EXPECT_EQ (range.interval, row.interval);
        EXPECT_EQ (range.skew, row.skew);
        EXPECT_FALSE (range.symmetricSkew);

        EXPECT_TRUE (ranged->isAutomatable());
        EXPECT_FALSE (ranged->isMetaParameter());
        EXPECT_FALSE (ranged->isDiscrete());
        EXPECT_FALSE (ranged->isBoolean());
        EXPECT_EQ (ranged->getCategory(), juce::AudioProcessorParameter::genericParameter);

        EXPECT_FLOAT_EQ (ranged->convertFrom0to1 (ranged->getDefaultValue()), row.defaultValue);
        EXPECT_FLOAT_EQ (processor.calythParameters->rawValues[k]->load(), row.defaultValue);
        EXPECT_EQ (processor.calythParameters->rawValues[k], processor.parameterTree.getRawParameterValue (row.id));
    }
    EXPECT_EQ (processor.calythParameters->parameterIDs[8], juce::String ("out_gain"));
    EXPECT_EQ (processor.calythParameters->rawValues[8]->load(), 0.0f);
}

TEST (HostParameters, NormalisedPositionsOfDefaults)
{
    CalythAudioProcessor processor;
    // Skew s maps position p to start + (end - start) p^(1/s): the default's position is ((v - start)/(end - start))^s.
    EXPECT_NEAR (parameter (processor, "in_gain").getDefaultValue(), std::pow (70.0 / 76.0, 1.5), 1e-6);
    EXPECT_NEAR (parameter (processor, "out_gain").getDefaultValue(), std::pow (70.0 / 82.0, 1.5), 1e-6);
    EXPECT_NEAR (parameter (processor, "x_traj_amount").getDefaultValue(), std::sqrt ((0.1 - 0.001) / 0.999), 1e-6);
    EXPECT_NEAR (parameter (processor, "x_traj_amount").getDefaultValue(), 0.315, 1e-3);
}

TEST (HostParameters, SwitchesSnapToZeroOrOne)
{
    CalythAudioProcessor processor;
    for (auto* id : { "trajectory", "stereo_link_a", "stereo_link_b", "stereo_link_c", "stereo_link_d" })
    {
        SCOPED_TRACE (id);
        auto& p = parameter (processor, id);
        auto* raw = processor.parameterTree.getRawParameterValue (id);
        p.setValueNotifyingHost (0.4f);
        EXPECT_EQ (raw->load(), 0.0f);
        p.setValueNotifyingHost (0.5f);
        EXPECT_EQ (raw->load(), 1.0f);
        p.setValueNotifyingHost (0.6f);
        EXPECT_EQ (raw->load(), 1.0f);
    }
}

TEST (HostParameters, Texts)
{
    CalythAudioProcessor processor;
    auto& dryWet = parameter (processor, "dry_wet");
    EXPECT_EQ (dryWet.getText (dryWet.getValue(), 0), juce::String ("0.500"));
    EXPECT_EQ (dryWet.getText (dryWet.getValue(), 3), juce::String ("0.5"));

    EXPECT_EQ (parameter (processor, "trajectory").getText (1.0f, 0), juce::String ("1"));

    // The gains show their own text whatever length the host asks for.
    auto& outGain = parameter (processor, "out_gain");
    EXPECT_EQ (outGain.getText (outGain.getDefaultValue(), 0), juce::String ("+0.00 dB"));
    EXPECT_EQ (outGain.getText (outGain.getDefaultValue(), 3), juce::String ("+0.00 dB"));
    EXPECT_EQ (parameter (processor, "in_gain").getText (0.0f, 0), juce::String ("-INF dB"));
}

TEST (HostParameters, DecibelText)
{
    const std::pair<float, const char*> cases[] = { { -80.0f, "-INF dB" },    { -70.0f, "-INF dB" },  { -69.999f, "-70.00 dB" },
                                                    { -3.456f, "-3.46 dB" },  { -0.004f, "-0.00 dB" }, { 0.0f, "+0.00 dB" },
                                                    { 6.0f, "+6.00 dB" },     { 12.0f, "+12.00 dB" } };
    for (const auto& [value, text] : cases)
        EXPECT_EQ (kelm::getDecibelsParameterText (value), juce::String (text)) << value;
}

