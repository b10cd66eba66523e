// The trajectory randomiser.
#include "plugin/EngineSettings.h"

ParameterRandomizer::ParameterRandomizer (juce::AudioProcessorValueTreeState& tree, int numberOfGroups)
    : parameterTree (tree), numGroups (numberOfGroups), isAbletonLive (false)
{
    for (int i = 0; i < numGroups; ++i)
        groups.add (new juce::StringArray());
}

void ParameterRandomizer::randomizeGroup (int) {}
