// The 18 automatable host parameters: one table, registered in number order.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace kelm
{
/** Text of the two gain parameters: "-INF dB" at or below -70, else a signed value with two decimals. */
juce::String getDecibelsParameterText (float valueInDecibels);
}

class CalythParameters : private juce::AudioProcessorParameter::Listener
{
public:
    /** Parameter numbers: the index of each parameter in `parameterIDs` and `rawValues`. */
    enum Index
    {
        inGain = 0,
        xPos,
        yPos,
        trajectory,
        xTrajAmount,
        xTrajRange,
        yTrajAmount,
        yTrajRange,
        outGain,
        dryWet,
        poleADiff,
        poleBDiff,
        poleCDiff,
        poleDDiff,
        stereoLinkA,
        stereoLinkB,
        stereoLinkC,
        stereoLinkD,
        numParameters
    };

    /** One row of the parameter table. */
    struct Definition
    {
        const char* identifier;
        const char* name;
        const char* label;
        float start, end, interval, skew;
        float defaultValue;
        bool decibelText;
    };

    static const Definition definitions[numParameters];

    explicit CalythParameters (juce::AudioProcessorValueTreeState& tree);
    ~CalythParameters() override;

    juce::StringArray parameterIDs;
    /** The parameter tree's own value of each parameter, in the parameter's range (dB for the gains). */
    juce::Array<std::atomic<float>*> rawValues;

private:
    /** A host can hand a parameter NaN, which the framework's range lets through: the parameter then
        goes back to its last finite value, so that nothing downstream ever reads it. */
    void parameterValueChanged (int parameterIndex, float newValue) override;
    void parameterGestureChanged (int, bool) override {}

    juce::Array<juce::RangedAudioParameter*> parameters;
    std::atomic<float> lastFiniteValues[numParameters];

    JUCE_DECLARE_NON_COPYABLE (CalythParameters)
};
