// Construction, destruction and the small overrides of the plug-in processor.
#include "plugin/PluginProcessor.h"

#include "editor/PluginEditor.h"

CalythAudioProcessor::CalythAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), false)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), false)),
      parameterTree (*this, nullptr)
{
    for (int channel = 0; channel < numChannels; ++channel)
    {
        auto* diffuserRecord = diffuserParameters.add (new DiffuserParameters());
        diffuserRecord->feedback = 0.1f;
        diffuserRecord->damp = 0.7f;
        diffusers.add (new DiffuserState());
        dcBlockers.add (new DcBlocker());
    }

    for (int pole = 0; pole < numPoles; ++pole)
    {
        auto* grainRecords = granulizerParameters.add (new juce::OwnedArray<GrainCloud::Parameters>());
        auto* resonatorRecords = resonatorParameters.add (new juce::OwnedArray<ResonatorParameters>());
        auto* clouds = grainClouds.add (new juce::OwnedArray<GrainCloud>());
        auto* resonatorStates = resonators.add (new juce::OwnedArray<ResonatorState>());

        for (int channel = 0; channel < numChannels; ++channel)
        {
            grainRecords->add (new GrainCloud::Parameters());
            resonatorRecords->add (new ResonatorParameters());
            clouds->add (new GrainCloud());
            resonatorStates->add (new ResonatorState());
        }
    }

    dryBuffer.setSize (2, 512);
    padPositions.setSize (2, 512);

    calythParameters = std::make_unique<CalythParameters> (parameterTree);
    parameterTree.state = juce::ValueTree ("Calyth");

    // Each smoother starts at its parameter's current value, in its own unit (linear gain for the gains).
    const auto& raw = calythParameters->rawValues;
    const auto gainOf = SmoothedParameter::decibelsToGain;
    inGainSmoother = std::make_unique<SmoothedParameter> (gainOf (raw[CalythParameters::inGain]->load()));
    outGainSmoother = std::make_unique<SmoothedParameter> (gainOf (raw[CalythParameters::outGain]->load()));
    dryWetSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::dryWet]->load());
    xPosSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::xPos]->load());
    yPosSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::yPos]->load());
    poleADiffSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::poleADiff]->load());
    poleBDiffSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::poleBDiff]->load());
    poleCDiffSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::poleCDiff]->load());
    poleDDiffSmoother = std::make_unique<SmoothedParameter> (raw[CalythParameters::poleDDiff]->load());

    for (int k = CalythParameters::xTrajAmount; k <= CalythParameters::yTrajRange; ++k)
        trajectoryRandomizer.groups[0]->add (calythParameters->parameterIDs[k]);

    kelm::PresetsManager::createPresetsFolders();
    midiPresetFiles = kelm::PresetsManager::listMidiPresetFiles();

    ccMapper.attachParameters (parameterTree);

    settingsFile = std::make_unique<SettingsFile> (makeSettingsFileOptions());

    regenerateWorld();
}

CalythAudioProcessor::~CalythAudioProcessor() = default;

juce::PropertiesFile::Options CalythAudioProcessor::makeSettingsFileOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Calyth";
    options.filenameSuffix = ".prefs";
    options.folderName = "Kelmor_Vantage";
    options.osxLibrarySubFolder = "Application Support";
    return options;
}

const juce::String CalythAudioProcessor::getName() const { return "Calyth"; }

double CalythAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool CalythAudioProcessor::acceptsMidi() const { return true; }
bool CalythAudioProcessor::producesMidi() const { return false; }

juce::AudioProcessorEditor* CalythAudioProcessor::createEditor() { return new CalythAudioProcessorEditor (*this); }
bool CalythAudioProcessor::hasEditor() const { return true; }

int CalythAudioProcessor::getNumPrograms() { return 1; }
int CalythAudioProcessor::getCurrentProgram() { return 0; }
void CalythAudioProcessor::setCurrentProgram (int) {}
const juce::String CalythAudioProcessor::getProgramName (int) { return {}; }
void CalythAudioProcessor::changeProgramName (int, const juce::String&) {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CalythAudioProcessor();
}
