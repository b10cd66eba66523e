// Construction, destruction and the small overrides of the plug-in processor.
#include "plugin/PluginProcessor.h"

CalythAudioProcessor::CalythAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), false)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), false)),
      parameterTree (*this, nullptr)
{
    dryBuffer.setSize (2, 512);

    calythParameters = std::make_unique<CalythParameters> (parameterTree);
    parameterTree.state = juce::ValueTree ("Calyth");

    settingsFile = std::make_unique<juce::PropertiesFile> (makeSettingsFileOptions());
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

void CalythAudioProcessor::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    juce::ignoreUnused (maximumExpectedSamplesPerBlock);
    sampleRate = newSampleRate;
    inverseSampleRate = 1.0 / newSampleRate;
}

void CalythAudioProcessor::releaseResources() {}

void CalythAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ignoreUnused (midi);
    juce::ScopedNoDenormals noDenormals;

    for (auto ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels(); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

double CalythAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool CalythAudioProcessor::acceptsMidi() const { return true; }
bool CalythAudioProcessor::producesMidi() const { return false; }

juce::AudioProcessorEditor* CalythAudioProcessor::createEditor() { return nullptr; }
bool CalythAudioProcessor::hasEditor() const { return false; }

int CalythAudioProcessor::getNumPrograms() { return 1; }
int CalythAudioProcessor::getCurrentProgram() { return 0; }
void CalythAudioProcessor::setCurrentProgram (int) {}
const juce::String CalythAudioProcessor::getProgramName (int) { return {}; }
void CalythAudioProcessor::changeProgramName (int, const juce::String&) {}

void CalythAudioProcessor::getStateInformation (juce::MemoryBlock& destData) { juce::ignoreUnused (destData); }
void CalythAudioProcessor::setStateInformation (const void* data, int sizeInBytes) { juce::ignoreUnused (data, sizeInBytes); }

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CalythAudioProcessor();
}
