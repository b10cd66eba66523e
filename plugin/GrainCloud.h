// The granular engine at the head of every pole: a four-second recording played by up to 64 grains.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "platform/GrainKernel.h"
#include "plugin/RelaxedAtomic.h"

class GrainCloud
{
public:
    static constexpr int maxGrains = 64;
    static constexpr int tableSize = 2048;

    /** The grain settings of one pole and channel. */
    struct Parameters
    {
        RelaxedAtomic<int> density { 8 };
        RelaxedAtomic<int> envelope { 0 };
        RelaxedAtomic<float> size { 441.0f };
        RelaxedAtomic<float> speed { 1.0f };
        RelaxedAtomic<float> sizeRnd { 0.0f };
        RelaxedAtomic<float> speedRnd { 0.0f };
        RelaxedAtomic<float> ampRnd { 0.0f };
        RelaxedAtomic<float> gain { 1.0f };
        RelaxedAtomic<bool> freeze { false };
    };

    GrainCloud();

    void blockUpdate (const Parameters& newParameters);
    float sampleUpdate (float input);
    /** sampleUpdate for each of numSamples inputs in turn, the results into output; the same samples, sooner. */
    void processBlock (const float* input, float* output, int numSamples) noexcept;
    void updateSamplerate (double newSampleRate);
    void reset();

    /** Window tables shared by every cloud, filled before any cloud uses them. */
    static const float* const hannTable;
    static const float* const triTable;

    // State, public so that tests and the processor can look at it.
    int bufferLength = 176400;
    juce::AudioBuffer<float> recording;
    int writePosition = 0;
    float readPosition[maxGrains];
    int regionStart[maxGrains];
    int regionLength[maxGrains];
    float speedOffset[maxGrains];
    float amplitude[maxGrains];
    bool regionPending[maxGrains];
    int nextStart[maxGrains];
    int nextLength[maxGrains];
    float inverseLength[maxGrains];
    double sampleRate = 44100.0;
    bool takeAllPending = true;
    Parameters parameters;

    /** Below 0 (the default) every draw of new regions starts from a random seed. Offline renders set
        it to make the draws repeatable: each draw then uses this seed and advances it by one. */
    juce::int64 regionSeed = -1;

private:
    platform::GrainSlots currentSlots() noexcept;
    /** Records and plays numSamples (at most platform::maxKernelSamples) samples of input; played[t] is the
        number of slots played in sample t. */
    void playSamples (const float* input, int numSamples, bool freeze, platform::GrainSlots& slots,
                      platform::GrainKernel play, float (*contributions)[maxGrains], int* played) noexcept;
    static float finishSample (float sum, bool ended, float gain) noexcept;
    void takePendingRegion (int slot) noexcept;

    float* recordingData = nullptr;
    // The widest grain kernel the processor runs, and the one for few grains; every kernel gives the same samples.
    platform::GrainKernel kernel = platform::bestGrainKernel();
    platform::GrainKernel narrowKernel = platform::narrowGrainKernel();
    platform::GrainRowSum wideRowSum = platform::wideGrainRowSum();
    static constexpr int narrowSlotCount = platform::narrowGrainKernelSlots;

    JUCE_DECLARE_NON_COPYABLE (GrainCloud)
};
