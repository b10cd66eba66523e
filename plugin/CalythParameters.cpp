// Registers the host parameters in the processor's parameter tree and keeps fast pointers to them.
#include "plugin/CalythParameters.h"

namespace kelm
{
juce::String getDecibelsParameterText (float valueInDecibels)
{
    if (valueInDecibels <= -70.0f)
        return "-INF dB";

    juce::String text (valueInDecibels >= 0.0f ? "+" : "");
    return text + juce::String (valueInDecibels, 2) + " dB";
}
}

// clang-format off
const CalythParameters::Definition CalythParameters::definitions[CalythParameters::numParameters] = {
    // identifier       name                   label  start   end  interval skew  default decibels
    { "in_gain",        "Input Gain",          "dB",  -70.0f,  6.0f, 0.001f, 1.5f, 0.0f, true  },
    { "x_pos",          "X Position",          "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "y_pos",          "Y Position",          "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "trajectory",     "Trajectory",          "",      0.0f,  1.0f, 1.0f,   1.0f, 0.0f, false },
    { "x_traj_amount",  "X Trajectory Rate",   "",    0.001f,  1.0f, 0.001f, 0.5f, 0.1f, false },
    { "x_traj_range",   "X Trajectory Range",  "",      0.1f,  1.0f, 0.001f, 1.0f, 1.0f, false },
    { "y_traj_amount",  "Y Trajectory Rate",   "",    0.001f,  1.0f, 0.001f, 0.5f, 0.1f, false },
    { "y_traj_range",   "Y Trajectory Range",  "",      0.1f,  1.0f, 0.001f, 1.0f, 1.0f, false },
    { "out_gain",       "Out Gain",            "dB",  -70.0f, 12.0f, 0.001f, 1.5f, 0.0f, true  },
    { "dry_wet",        "Dry/Wet",             "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "pole_a_diff",    "Pole A Diff",         "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "pole_b_diff",    "Pole B Diff",         "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "pole_c_diff",    "Pole C Diff",         "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "pole_d_diff",    "Pole D Diff",         "",      0.0f,  1.0f, 0.001f, 1.0f, 0.5f, false },
    { "stereo_link_a",  "Pole A Stereo Link",  "",      0.0f,  1.0f, 1.0f,   1.0f, 0.0f, false },
    { "stereo_link_b",  "Pole B Stereo Link",  "",      0.0f,  1.0f, 1.0f,   1.0f, 0.0f, false },
    { "stereo_link_c",  "Pole C Stereo Link",  "",      0.0f,  1.0f, 1.0f,   1.0f, 0.0f, false },
    { "stereo_link_d",  "Pole D Stereo Link",  "",      0.0f,  1.0f, 1.0f,   1.0f, 0.0f, false },
};
// clang-format on

CalythParameters::CalythParameters (juce::AudioProcessorValueTreeState& tree)
{
    using Parameter = juce::AudioProcessorValueTreeState::Parameter;

    for (const auto& def : definitions)
    {
        auto attributes = juce::AudioProcessorValueTreeStateParameterAttributes().withLabel (def.label);

        // The gains ignore the host's length limit; every other parameter keeps the framework's text.
        if (def.decibelText)
            attributes = attributes.withStringFromValueFunction ([] (float value, int) { return kelm::getDecibelsParameterText (value); });

        tree.createAndAddParameter (std::make_unique<Parameter> (juce::ParameterID { def.identifier, 1 },
                                                                 def.name,
                                                                 juce::NormalisableRange<float> (def.start, def.end, def.interval, def.skew),
                                                                 def.defaultValue,
                                                                 attributes));
        parameterIDs.add (def.identifier);
        rawValues.add (tree.getRawParameterValue (def.identifier));

        auto* parameter = tree.getParameter (def.identifier);
        lastFiniteValues[parameters.size()] = parameter->getValue();
        parameters.add (parameter);
        parameter->addListener (this);
    }
}

CalythParameters::~CalythParameters()
{
    for (auto* parameter : parameters)
        parameter->removeListener (this);
}

void CalythParameters::parameterValueChanged (int parameterIndex, float)
{
    for (int k = 0; k < parameters.size(); ++k)
    {
        auto* parameter = parameters.getUnchecked (k);

        if (parameter->getParameterIndex() != parameterIndex)
            continue;

        const float value = parameter->getValue();

        if (std::isfinite (value))
            lastFiniteValues[k] = value;
        else
            parameter->setValue (lastFiniteValues[k]);
    }
}
