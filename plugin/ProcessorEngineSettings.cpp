// Drawing the engine settings at random.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::regenerateWorld()
{
    for (int pole = 0; pole < numPoles; ++pole)
        regeneratePole (pole);

    for (int channel = 0; channel < numChannels; ++channel)
        diffuserParameters.getUnchecked (channel)->feedback = poleRanges.diffuserFeedRange.convertFrom0to1 (worldRandom.nextFloat());
}

void CalythAudioProcessor::regeneratePole (int pole)
{
    auto& records = *resonatorParameters.getUnchecked (pole);

    for (int channel = 0; channel < numChannels; ++channel)
    {
        auto& resonator = *records.getUnchecked (channel);
        resonator.freq = poleRanges.freqRange.convertFrom0to1 (worldRandom.nextFloat());
        resonator.feedback = poleRanges.feedbackRange.convertFrom0to1 (worldRandom.nextFloat());
        randomizeGranulizer (pole, channel);
    }
}

void CalythAudioProcessor::randomizeGranulizer (int pole, int channel)
{
    auto& record = *granulizerParameters.getUnchecked (pole)->getUnchecked (channel);
    const auto& ranges = poleRanges;

    record.density = 8;
    record.envelope = 2;

    const bool shortGrain = worldRandom.nextBool();
    const float milliseconds = (shortGrain ? ranges.shortSizeRange : ranges.longSizeRange).convertFrom0to1 (worldRandom.nextFloat());
    record.size = (float) ((double) (milliseconds * 0.001f) * sampleRate.load());

    const bool narrowSpeed = worldRandom.nextBool();
    record.speed = (narrowSpeed ? ranges.narrowSpeedRange : ranges.wideSpeedRange).convertFrom0to1 (worldRandom.nextFloat());

    record.sizeRnd = ranges.sizeRndRange.convertFrom0to1 (worldRandom.nextFloat());
    record.ampRnd = worldRandom.nextFloat();

    const bool smallSpeedRnd = worldRandom.nextBool();
    record.speedRnd = (smallSpeedRnd ? ranges.smallSpeedRndRange : ranges.largeSpeedRndRange).convertFrom0to1 (worldRandom.nextFloat());
}
