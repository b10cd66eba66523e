// Linear per-sample smoothing.
#include "plugin/SmoothedParameter.h"

#include <cmath>

// The framework's linear smoother has the wanted semantics: an unchanged target leaves a running ramp
// alone, a ramp length of 0 jumps, and a new target restarts the full ramp from the current value.
SmoothedParameter::SmoothedParameter (float initialValue) : blockValues (1, 512)
{
    smoothedValue.setCurrentAndTargetValue (initialValue);
    blockValues.clear();
}

void SmoothedParameter::process (float target, int numSamples) noexcept
{
    if (std::isfinite (target))
        smoothedValue.setTargetValue (target);

    const int n = juce::jlimit (0, blockValues.getNumSamples(), numSamples);
    auto* out = blockValues.getWritePointer (0);

    if (! smoothedValue.isSmoothing())
    {
        juce::FloatVectorOperations::fill (out, smoothedValue.getTargetValue(), n);
        return;
    }

    for (int i = 0; i < n; ++i)
        out[i] = smoothedValue.getNextValue();
}

void SmoothedParameter::prepare (int rampLengthInSamples, int capacity)
{
    smoothedValue.reset (rampLengthInSamples);
    blockValues.setSize (1, juce::jmax (1, capacity));
    blockValues.clear();
}
