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
    // A rate that is no positive number, or beyond any audio interface's, keeps the current one: the recordings
    // and delay lines grow with the rate, and at absurd rates their lengths would no longer fit an int.
    const bool usableRate = newSampleRate > 0.0 && newSampleRate <= maxSampleRate;
    const double rate = usableRate ? newSampleRate : sampleRate.load();
    // Longer blocks are processed in stretches of the prepared length, so an absurd announced size costs nothing.
    const int capacity = juce::jlimit (0, maxPreparedBlockSize, maximumExpectedSamplesPerBlock) + 32;

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
    padPositions.setSize (2, capacity);

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

    float* data[numChannels] = {};
    GrainCloud* clouds[numChannels][numPoles] = {};
    ResonatorState* poleResonators[numChannels][numPoles] = {};
    for (int ch = 0; ch < numEngineChannels; ++ch)
    {
        data[ch] = buffer.getWritePointer (ch, startSample);
        float* dry = dryBuffer.getWritePointer (ch);

        if (inputCleared)
        {
            platform::clear (dry, n);
        }
        else
        {
            // Nothing that is not a number enters the recordings, the loops or the dry path.
            for (int i = 0; i < n; ++i)
                if (! std::isfinite (data[ch][i]))
                    data[ch][i] = 0.0f;

            std::copy (data[ch], data[ch] + n, dry);
        }

        platform::multiply (data[ch], inGainSmoother->values(), data[ch], n);
        diffusers.getUnchecked (ch)->blockUpdate (*diffuserParameters.getUnchecked (ch));

        for (int p = 0; p < numPoles; ++p)
        {
            const int source = linked[p] ? 0 : ch;
            clouds[ch][p] = grainClouds.getUnchecked (p)->getUnchecked (ch);
            poleResonators[ch][p] = resonators.getUnchecked (p)->getUnchecked (ch);
            clouds[ch][p]->blockUpdate (*granulizerParameters.getUnchecked (p)->getUnchecked (source));
            poleResonators[ch][p]->blockUpdate (*resonatorParameters.getUnchecked (p)->getUnchecked (source), inverseSampleRate);
        }
    }

    // The trajectory moves with the first channel's samples; later channels see where it ends up.
    float* padX = padPositions.getWritePointer (0);
    float* padY = padPositions.getWritePointer (1);
    if (numEngineChannels > 0)
        for (int i = 0; i < n; ++i)
        {
            if (trajectoryCounter == 0)
                stepTrajectory (trajectoryOn);
            if (++trajectoryCounter >= trajectoryInterval)
                trajectoryCounter = 0;
            padX[i] = trajectoryOn ? trajectoryAudioX : clamp01 (xs[i]);
            padY[i] = trajectoryOn ? trajectoryAudioY : clamp01 (ys[i]);
        }

    // The channels run through their chains side by side, each with its own state and order of operations.
    static_assert (numPoles == 4, "one resonator per vector lane");
    ResonatorQuad resonatorQuads[numChannels];
    for (int ch = 0; ch < numEngineChannels; ++ch)
        resonatorQuads[ch].load (poleResonators[ch]);
    DiffuserRun diffuserRuns[numChannels] = { DiffuserRun (*diffusers.getUnchecked (0)), DiffuserRun (*diffusers.getUnchecked (1)) };

    // The clouds hear nothing of the rest of the chain, so each plays a stretch ahead of it.
    constexpr int stretchLength = 64;
    float cloudOut[numChannels][numPoles][stretchLength];
    for (int stretch = 0; stretch < n; stretch += stretchLength)
    {
        const int stretchEnd = juce::jmin (n, stretch + stretchLength);
        for (int ch = 0; ch < numEngineChannels; ++ch)
            for (int p = 0; p < numPoles; ++p)
                clouds[ch][p]->processBlock (data[ch] + stretch, cloudOut[ch][p], stretchEnd - stretch);

        for (int i = stretch; i < stretchEnd; ++i)
        {
            float out[numChannels][numPoles];
            for (int ch = 0; ch < numEngineChannels; ++ch)
                for (int p = 0; p < numPoles; ++p)
                    out[ch][p] = std::sin (cloudOut[ch][p][i - stretch]) * 0.9f;

            if (numEngineChannels == numChannels)
                ResonatorQuad::sampleUpdate (resonatorQuads[0], out[0], resonatorQuads[1], out[1]);
            else if (numEngineChannels == 1)
                resonatorQuads[0].sampleUpdate (out[0]);

            for (int ch = 0; ch < numEngineChannels; ++ch)
            {
                for (int p = 0; p < numPoles; ++p)
                    out[ch][p] = std::sin (out[ch][p]);

                const float x = ch == 0 ? padX[i] : (trajectoryOn ? trajectoryAudioX : clamp01 (xs[i]));
                const float y = ch == 0 ? padY[i] : (trajectoryOn ? trajectoryAudioY : clamp01 (ys[i]));
                const float weights[numPoles] = { (1.0f - x) * (1.0f - y), x * (1.0f - y), (1.0f - x) * y, x * y };
                float direct = 0.0f, send = 0.0f;
                for (int p = 0; p < numPoles; ++p)
                {
                    const float s = sends[p][i];
                    direct += weights[p] * (1.0f - s) * out[ch][p];
                    send += weights[p] * s * out[ch][p];
                }

                data[ch][i] = direct + diffuserRuns[ch].sampleUpdate (send);
            }
        }
    }

    for (int ch = 0; ch < numEngineChannels; ++ch)
    {
        resonatorQuads[ch].store (poleResonators[ch]);
        diffuserRuns[ch].store();
        float* samples = data[ch];
        const float* dry = dryBuffer.getReadPointer (ch);
        platform::multiply (samples, outGainSmoother->values(), samples, n);

        auto& dcBlocker = *dcBlockers.getUnchecked (ch);
        double sumOfSquares = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const float v = dcBlocker.sampleUpdate (samples[i]);
            samples[i] = v;
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
            samples[i] = wetGain * samples[i] + dryGain * dry[i];
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
