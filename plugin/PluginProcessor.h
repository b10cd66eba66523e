// The plug-in processor: owns the parameters, the engines, their settings and the published values.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "kelm/CCMapper.h"
#include "kelm/PresetsManager.h"
#include "plugin/CalythParameters.h"
#include "plugin/EngineSettings.h"
#include "plugin/GrainCloud.h"
#include "plugin/PoleChain.h"
#include "plugin/RelaxedAtomic.h"
#include "plugin/SettingsFile.h"
#include "plugin/SharedString.h"
#include "plugin/SmoothedParameter.h"

class CalythAudioProcessor : public juce::AudioProcessor
{
public:
    CalythAudioProcessor();
    ~CalythAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // Engine settings: drawn at random from `poleRanges` with `worldRandom`.
    void regenerateWorld();
    void regeneratePole (int pole);
    void randomizeGranulizer (int pole, int channel);

    // Engine settings records as children of a stored document, and back.
    juce::ValueTree save_diffuser_parameters (int channel, const juce::String& type);
    juce::ValueTree save_granulizer_parameters (int pole, int channel, const juce::String& type);
    juce::ValueTree save_resonator_parameters (int pole, int channel, const juce::String& type);
    void restore_diffuser_parameters (int channel, const juce::ValueTree& tree);
    void restore_granulizer_parameters (int pole, int channel, const juce::ValueTree& tree);
    void restore_resonator_parameters (int pole, int channel, const juce::ValueTree& tree);

    // Preset documents: the parameter state and the 18 engine children, without name or map.
    juce::ValueTree createPresetDocument();
    /** Writes the preset document as a file; on success the preset name and path follow the file. */
    bool savePresetToFile (const juce::File& file);
    /** Applies the engine children it can use and makes the rest the parameter state. */
    void applyPresetDocument (juce::ValueTree document);
    /** Loads a preset file; returns false (changing nothing) when it does not parse. */
    bool loadPresetFromFile (const juce::File& file);

    static constexpr int numPoles = 4;
    static constexpr int numChannels = 2;

    // Element types and property names of the stored state.
    const juce::String granulizerKey { "Granulizer" }, resonatorKey { "Resonator" }, diffuserKey { "Diffuser" },
        metadataKey { "Metadata" }, channelKey { "channel" }, poleKey { "pole" }, presetNameKey { "preset_name" };

    // Published for the editor.
    std::atomic<float> rmsLevel { 0.0f };
    std::atomic<bool> programChangePending { false };
    std::atomic<int> lastProgramNumber { 0 };

    juce::StringArray midiPresetFiles;

    // Keys of the settings file.
    const juce::String widthKey { "width" }, heightKey { "height" };

    juce::AudioProcessorValueTreeState parameterTree;
    std::unique_ptr<CalythParameters> calythParameters;

    std::unique_ptr<SmoothedParameter> inGainSmoother, outGainSmoother, dryWetSmoother, xPosSmoother, yPosSmoother,
        poleADiffSmoother, poleBDiffSmoother, poleCDiffSmoother, poleDDiffSmoother;

    // The highest rate and the longest block that prepareToPlay takes from a host (eight times 192 kHz).
    static constexpr double maxSampleRate = 1536000.0;
    static constexpr int maxPreparedBlockSize = 1 << 16;

    // Written by prepareToPlay on the host's thread, read by the engine editor panels on the message thread.
    RelaxedAtomic<double> sampleRate { 44100.0 };
    double inverseSampleRate = 1.0 / 44100.0;

    int trajectoryInterval = 256;
    int trajectoryCounter = 0;
    float trajectoryAudioX = 0.0f, trajectoryAudioY = 0.0f;

    // Engines and their settings records, indexed [pole][channel] or [channel].
    juce::OwnedArray<juce::OwnedArray<GrainCloud>> grainClouds;
    juce::OwnedArray<juce::OwnedArray<ResonatorState>> resonators;
    juce::OwnedArray<DiffuserState> diffusers;
    juce::OwnedArray<DcBlocker> dcBlockers;
    juce::OwnedArray<juce::OwnedArray<GrainCloud::Parameters>> granulizerParameters;
    juce::OwnedArray<juce::OwnedArray<ResonatorParameters>> resonatorParameters;
    juce::OwnedArray<DiffuserParameters> diffuserParameters;

    std::atomic<float> trajectoryX { 0.0f }, trajectoryY { 0.0f };
    bool xDirection = true, yDirection = true;
    std::atomic<float> trajectoryXLow { 0.0f }, trajectoryXHigh { 0.0f }, trajectoryYLow { 0.0f }, trajectoryYHigh { 0.0f };

    juce::Random worldRandom;
    ParameterRandomizer trajectoryRandomizer { parameterTree, 1 };

    juce::AudioBuffer<float> dryBuffer;
    // The pad position the first channel's poles are weighted by at each sample of a stretch: x, then y.
    juce::AudioBuffer<float> padPositions;

    // Written by the audio thread (program change without an editor), the state thread and the editor.
    SharedString currentPresetName { "INIT" };
    SharedString currentPresetPath;

    PoleRanges poleRanges;
    kelm::CCMapper ccMapper;

    std::unique_ptr<SettingsFile> settingsFile;

    // Property names of the engine-record children.
    const juce::String diffuserFeedKey { "feed" }, diffuserDampKey { "damp" };
    const juce::String resonatorFreqKey { "freq" }, resonatorFeedKey { "feed" };
    const juce::String densityKey { "density" }, envelopeKey { "envelope" }, sizeKey { "size" }, speedKey { "speed" },
        sizeRndKey { "size_rnd" }, speedRndKey { "speed_rnd" }, ampRndKey { "amp_rnd" }, outGainKey { "out_gain" };

    /** The settings file's options: "Calyth.prefs" in the maker's folder. */
    static juce::PropertiesFile::Options makeSettingsFileOptions();

private:
    // The block's MIDI: program changes first, then controller messages (see processBlock).
    void handleProgramChanges (const juce::MidiBuffer& midi);
    void handleControllerMessages (const juce::MidiBuffer& midi);

    // The audio path: one stretch of at most the prepared buffer length, and one trajectory step.
    void processChunk (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, int numEngineChannels,
                       bool inputCleared, double* sumsOfSquares) noexcept;
    void stepTrajectory (bool trajectoryOn) noexcept;

    void appendEngineChildren (juce::ValueTree& document);
    /** Restores and removes the engine children a reader can use (and "Metadata" when asked). */
    void applyEngineChildren (juce::ValueTree& document, bool readMetadata);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CalythAudioProcessor)
};
