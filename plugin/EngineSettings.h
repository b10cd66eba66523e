// Engine settings records that are not host parameters, their value ranges and the trajectory randomiser.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "plugin/RelaxedAtomic.h"

struct ResonatorParameters
{
    RelaxedAtomic<float> freq { 220.0f };
    RelaxedAtomic<float> feedback { 0.9f };
};

struct DiffuserParameters
{
    RelaxedAtomic<float> feedback { 0.0f };
    RelaxedAtomic<float> damp { 1.0f };
};

/** The value ranges from which the engine settings are drawn and through which the engine editor converts knob positions. */
struct PoleRanges
{
    juce::NormalisableRange<float> freqRange { 80.0f, 960.0f, 1.0f };
    juce::NormalisableRange<float> feedbackRange { 0.0f, 0.9f, 0.001f };
    juce::NormalisableRange<float> shortSizeRange { 20.0f, 100.0f, 1.0f };
    juce::NormalisableRange<float> longSizeRange { 100.0f, 599.0f, 1.0f };
    juce::NormalisableRange<float> sizeRange { 20.0f, 599.0f, 0.0f };
    juce::NormalisableRange<float> narrowSpeedRange { 0.95f, 1.025f, 0.001f };
    juce::NormalisableRange<float> wideSpeedRange { 0.5f, 2.0f, 0.001f };
    juce::NormalisableRange<float> sizeRndRange { 0.0f, 0.25f, 0.001f };
    juce::NormalisableRange<float> smallSpeedRndRange { 0.0f, 0.01f, 0.0001f };
    juce::NormalisableRange<float> largeSpeedRndRange { 0.0f, 0.5f, 0.001f };
    juce::NormalisableRange<float> diffuserFeedRange { 0.1f, 0.9f, 0.001f };
};

/** Gives every parameter of a group a new random value, as the host's automation sees it. */
class ParameterRandomizer
{
public:
    ParameterRandomizer (juce::AudioProcessorValueTreeState& tree, int numberOfGroups);

    void randomizeGroup (int groupIndex);

    juce::AudioProcessorValueTreeState& parameterTree;
    juce::OwnedArray<juce::StringArray> groups;
    juce::Random random;
    int numGroups;
    bool isAbletonLive;

    JUCE_DECLARE_NON_COPYABLE (ParameterRandomizer)
};
