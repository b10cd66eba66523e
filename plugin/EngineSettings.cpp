// The trajectory randomiser.
#include "plugin/EngineSettings.h"

ParameterRandomizer::ParameterRandomizer (juce::AudioProcessorValueTreeState& tree, int numberOfGroups)
    : parameterTree (tree), numGroups (numberOfGroups), isAbletonLive (juce::PluginHostType().isAbletonLive())
{
    for (int i = 0; i < numGroups; ++i)
        groups.add (new juce::StringArray());
}

void ParameterRandomizer::randomizeGroup (int groupIndex)
{
    const auto* group = groups[groupIndex];
    if (group == nullptr)
        return;

    const auto& ids = *group;
    const int n = ids.size();

    for (int i = 0; i < n; ++i)
    {
        auto* parameter = parameterTree.getParameter (ids[i]);
        if (parameter == nullptr)
            continue;

        // Inside Ableton Live the values go without change gestures.
        if (! isAbletonLive)
            parameter->beginChangeGesture();

        parameter->setValueNotifyingHost (random.nextFloat());

        if (! isAbletonLive)
            parameter->endChangeGesture();
    }
}
