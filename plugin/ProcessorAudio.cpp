// Preparation before playback and the audio callback.
#include "plugin/PluginProcessor.h"

#include "platform/VectorOps.h"

#include <cmath>

namespace
{
float clamp01 (float v) noexcept { return v < 0.0f ? 0.0f : juce::jmin (1.0f, v); }

// cos (sqrt (t)) for t in 0 .. (pi/2)^2: the equal-power mix gain.
float mixGain (float t) noexcept { return (0.03705f * t - 0.4967f) * t + 1.0f; }
} // namespace

void CalythAudioProcessor::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    // A rate that is no positive number keeps the current one.
    const double rate = (newSampleRate > 0.0 && std::isfinite (newSampleRate)) ? newSampleRate : sampleRate;
    const int capacity = juce::jmax (0, maximumExpectedSamplesPerBlock) + 32;

    for (auto* poleResonators : resonators)
        for (auto* resonator : *poleResonators)
            resonator->reset();

    for (auto* clouds : grainClouds)
        for (auto* cloud : *clouds)
        {
            cloud->updateSamplerate (rate);
            cloud->reset();
        }

    for (auto* diffuser : diffusers)
        diffuser->updateSamplerate (rate);

    for (auto* dcBlocker : dcBlockers)
        dcBlocker->updateSamplerate (rate);

    dryBuffer.setSize (numChannels, capacity);

    sampleRate = rate;
    inverseSampleRate = 1.0 / rate;
    trajectoryInterval = juce::jmax (1, (int) (256.0 * rate / 44100.0));
    trajectoryCounter = 0;

    const auto rampLength = (int) std::floor ((double) 0.06f * rate);
    for (auto* smoother : { inGainSmoother.get(), outGainSmoother.get(), dryWetSmoother.get(), xPosSmoother.get(),
                            yPosSmoother.get(), poleADiffSmoother.get(), poleBDiffSmoother.get(),
                            poleCDiffSmoother.get(), poleDDiffSmoother.get() })
        smoother->prepare (rampLength, capacity);

    const auto& raw = calythParameters->rawValues;
    trajectoryX = raw[CalythParameters::xPos]->load();
    trajectoryY = raw[CalythParameters::yPos]->load();
    xDirection = yDirection = true;
}

void CalythAudioProcessor::releaseResources() {}

void CalythAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;

    const int numSamples = buffer.getNumSamples();
    const int numInputs = juce::jmin (getTotalNumInputChannels(), buffer.getNumChannels());
    const int numOutputs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());
    // Taken before anything writes: the first write pointer handed out drops the buffer's clear mark.
    const bool inputCleared = buffer.hasBeenCleared();

    if (! inputCleared)
        for (int ch = numInputs; ch < numOutputs; ++ch)
            platform::clear (buffer.getWritePointer (ch), numSamples);

    handleProgramChanges (midi);
    handleControllerMessages (midi);

    // The engines exist for two channels; any further input channel is silenced.
    const int numEngineChannels = juce::jmin (numInputs, (int) numChannels);
    if (! inputCleared)
        for (int ch = numEngineChannels; ch < numInputs; ++ch)
            platform::clear (buffer.getWritePointer (ch), numSamples);

    // Blocks longer than the prepared buffers are processed in stretches that fit them.
    double sumsOfSquares[numChannels] = {};
    const int capacity = juce::jmax (1, dryBuffer.getNumSamples());
    int start = 0;
    do
    {
        const int length = juce::jmin (capacity, numSamples - start);
        processChunk (buffer, start, length, numEngineChannels, inputCleared, sumsOfSquares);
        start += length;
    } while (start < numSamples);

    float levelSum = 0.0f;
    for (int ch = 0; ch < numEngineChannels; ++ch)
        levelSum += numSamples > 0 ? (float) std::sqrt (sumsOfSquares[ch] / numSamples) : 0.0f;

    rmsLevel = numEngineChannels > 0 ? levelSum / (float) numEngineChannels : 0.0f;
}

void CalythAudioProcessor::processChunk (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                                         int numEngineChannels, bool inputCleared, double* sumsOfSquares) noexcept
{
    const auto& raw = calythParameters->rawValues;
    const int n = numSamples;

    inGainSmoother->process (SmoothedParameter::decibelsToGain (raw[CalythParameters::inGain]->load()), n);
    outGainSmoother->process (SmoothedParameter::decibelsToGain (raw[CalythParameters::outGain]->load()), n);
    dryWetSmoother->process (raw[CalythParameters::dryWet]->load(), n);
    xPosSmoother->process (raw[CalythParameters::xPos]->load(), n);
    yPosSmoother->process (raw[CalythParameters::yPos]->load(), n);
    poleADiffSmoother->process (raw[CalythParameters::poleADiff]->load(), n);
    poleBDiffSmoother->process (raw[CalythParameters::poleBDiff]->load(), n);
    poleCDiffSmoother->process (raw[CalythParameters::poleCDiff]->load(), n);
    poleDDiffSmoother->process (raw[CalythParameters::poleDDiff]->load(), n);

    const bool trajectoryOn = raw[CalythParameters::trajectory]->load() > 0.5f;
    bool linked[numPoles];
    for (int p = 0; p < numPoles; ++p)
        linked[p] = raw[CalythParameters::stereoLinkA + p]->load() > 0.5f;

    const float* xs = xPosSmoother->values();
    const float* ys = yPosSmoother->values();
    const float* sends[numPoles] = { poleADiffSmoother->values(), poleBDiffSmoother->values(),
                                     poleCDiffSmoother->values(), poleDDiffSmoother->values() };
    const float* dryWet = dryWetSmoother->values();

    for (int ch = 0; ch < numEngineChannels; ++ch)
    {
        float* data = buffer.getWritePointer (ch, startSample);
        float* dry = dryBuffer.getWritePointer (ch);

        if (inputCleared)
        {
            platform::clear (dry, n);
        }
        else
        {
            // Nothing that is not a number enters the recordings, the loops or the dry path.
            for (int i = 0; i < n; ++i)
                if (! std::isfinite (data[i]))
                    data[i] = 0.0f;

            std::copy (data, data + n, dry);
        }

        platform::multiply (data, inGainSmoother->values(), data, n);

        auto& diffuser = *diffusers.getUnchecked (ch);
        diffuser.blockUpdate (*diffuserParameters.getUnchecked (ch));

        GrainCloud* clouds[numPoles];
        ResonatorState* poleResonators[numPoles];
        for (int p = 0; p < numPoles; ++p)
        {
            const int source = linked[p] ? 0 : ch;
            clouds[p] = grainClouds.getUnchecked (p)->getUnchecked (ch);
            poleResonators[p] = resonators.getUnchecked (p)->getUnchecked (ch);
            clouds[p]->blockUpdate (*granulizerParameters.getUnchecked (p)->getUnchecked (source));
            poleResonators[p]->blockUpdate (*resonatorParameters.getUnchecked (p)->getUnchecked (source), inverseSampleRate);
        }

        // The clouds hear nothing of the rest of the chain, so each plays a stretch ahead of it.
        constexpr int stretchLength = 64;
        float cloudOut[numPoles][stretchLength];
        static_assert (numPoles == 4, "one resonator per vector lane");
        ResonatorQuad resonatorQuad;
        resonatorQuad.load (poleResonators);
        for (int stretch = 0; stretch < n; stretch += stretchLength)
        {
            const int stretchEnd = juce::jmin (n, stretch + stretchLength);
            for (int p = 0; p < numPoles; ++p)
                clouds[p]->processBlock (data + stretch, cloudOut[p], stretchEnd - stretch);

            for (int i = stretch; i < stretchEnd; ++i)
            {
                if (ch == 0)
                {
                    if (trajectoryCounter == 0)
                        stepTrajectory (trajectoryOn);
                    if (++trajectoryCounter >= trajectoryInterval)
                        trajectoryCounter = 0;
                }

                float x, y;
                if (trajectoryOn)
                {
                    x = trajectoryAudioX;
                    y = trajectoryAudioY;
                }
                else
                {
                    x = clamp01 (xs[i]);
                    y = clamp01 (ys[i]);
                }

                // The four poles' resonators run side by side.
                float out[numPoles];
                for (int p = 0; p < numPoles; ++p)
                    out[p] = std::sin (cloudOut[p][i - stretch]) * 0.9f;
                resonatorQuad.sampleUpdate (out);
                for (int p = 0; p < numPoles; ++p)
                    out[p] = std::sin (out[p]);

                const float weights[numPoles] = { (1.0f - x) * (1.0f - y), x * (1.0f - y), (1.0f - x) * y, x * y };
                float direct = 0.0f, send = 0.0f;
                for (int p = 0; p < numPoles; ++p)
                {
                    const float s = sends[p][i];
                    direct += weights[p] * (1.0f - s) * out[p];
                    send += weights[p] * s * out[p];
                }

                data[i] = direct + diffuser.sampleUpdate (send);
            }
        }
        resonatorQuad.store (poleResonators);

        platform::multiply (data, outGainSmoother->values(), data, n);

        auto& dcBlocker = *dcBlockers.getUnchecked (ch);
        double sumOfSquares = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const float v = dcBlocker.sampleUpdate (data[i]);
            data[i] = v;
            sumOfSquares += v * v;
        }
        sumsOfSquares[ch] += sumOfSquares;

        constexpr double halfPi = juce::MathConstants<double>::halfPi;
        float lastMix = -1.0f, wetGain = 0.0f, dryGain = 0.0f;
        for (int i = 0; i < n; ++i)
        {
            const float m = juce::jlimit (0.0f, 1.0f, dryWet[i]);
            if (m != lastMix)
            {
                const auto dryAngle = (float) ((double) m * halfPi);
                const auto wetAngle = (float) ((1.0 - (double) m) * halfPi);
                dryGain = mixGain (dryAngle * dryAngle);
                wetGain = mixGain (wetAngle * wetAngle);
                lastMix = m;
            }
            data[i] = wetGain * data[i] + dryGain * dry[i];
        }
    }
}

void CalythAudioProcessor::stepTrajectory (bool trajectoryOn) noexcept
{
    const auto& raw = calythParameters->rawValues;
    const float xPos = raw[CalythParameters::xPos]->load();
    const float yPos = raw[CalythParameters::yPos]->load();

    if (! trajectoryOn)
    {
        trajectoryX = xPos;
        trajectoryY = yPos;
        xDirection = yDirection = true;
        return;
    }

    float dx = raw[CalythParameters::xTrajAmount]->load() * 0.01f;
    float dy = raw[CalythParameters::yTrajAmount]->load() * 0.01f;
    if (! xDirection)
        dx = -dx;
    if (! yDirection)
        dy = -dy;

    const float nx = trajectoryX.load() + dx;
    const float ny = trajectoryY.load() + dy;

    const float xRange = raw[CalythParameters::xTrajRange]->load();
    const float yRange = raw[CalythParameters::yTrajRange]->load();
    const float xLow = clamp01 (xPos - xRange), xHigh = clamp01 (xPos + xRange);
    const float yLow = clamp01 (yPos - yRange), yHigh = clamp01 (yPos + yRange);

    if (nx < xLow || nx > xHigh)
        xDirection = ! xDirection;
    if (ny < yLow || ny > yHigh)
        yDirection = ! yDirection;

    const float newX = nx < xLow ? xLow : juce::jmin (xHigh, nx);
    const float newY = ny < yLow ? yLow : juce::jmin (yHigh, ny);

    trajectoryX = newX;
    trajectoryY = newY;
    trajectoryXLow = xLow;
    trajectoryXHigh = xHigh;
    trajectoryYLow = yLow;
    trajectoryYHigh = yHigh;

    trajectoryAudioX = trajectoryX.load();
    trajectoryAudioY = trajectoryY.load();
}
