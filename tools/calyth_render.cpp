// Offline renderer: runs a WAV file (or a built-in test signal) through the plug-in's processor.
#include <juce_audio_formats/juce_audio_formats.h>

#include "plugin/PluginProcessor.h"

#include <cstdlib>
#include <iostream>

namespace
{
void printUsage()
{
    std::cout << "usage: calyth_render [options] --out OUT.wav\n"
                 "  --in IN.wav          input file (stereo or mono); without it a built-in test signal is rendered\n"
                 "  --out OUT.wav        output file (stereo, 32-bit float, the input's rate)\n"
                 "  --set ID=VALUE       set a host parameter, VALUE in its own unit (dB for gains); repeatable\n"
                 "  --seed N             draw the engine settings from seed N and fix the grain draws\n"
                 "  --density N          every grain cloud plays N grains (after the draw)\n"
                 "  --envelope N         every grain cloud uses window N: 0 none, 1 triangle, 2 Hann (after the draw)\n"
                 "  --block N            block size (default 512)\n"
                 "  --rate HZ            sample rate of the built-in signal (default 44100)\n"
                 "  --seconds S          length of the built-in signal (default 6)\n"
                 "  --tail S             seconds of silence appended after the input (default 0)\n";
}

/** Plucked tones with a little noise: something for the grains to chew on. */
juce::AudioBuffer<float> makeTestSignal (double rate, double seconds)
{
    const int length = (int) (rate * seconds);
    juce::AudioBuffer<float> buffer (2, length);
    buffer.clear();
    juce::Random noise (1234);
    const double notes[] = { 220.0, 277.18, 329.63, 440.0, 369.99, 293.66 };
    const int noteLength = (int) (rate * 0.5);

    for (int start = 0, n = 0; start < length; start += noteLength, ++n)
    {
        const double freq = notes[n % 6];
        for (int i = 0; i < noteLength && start + i < length; ++i)
        {
            const double t = i / rate;
            const float envelope = (float) std::exp (-t * 5.0);
            const float tone = (float) (std::sin (juce::MathConstants<double>::twoPi * freq * t)
                                        + 0.3 * std::sin (juce::MathConstants<double>::twoPi * 2.0 * freq * t));
            const float hiss = 0.05f * (noise.nextFloat() * 2.0f - 1.0f);
            buffer.setSample (0, start + i, 0.4f * envelope * tone + hiss);
            buffer.setSample (1, start + i, 0.4f * envelope * tone - hiss);
        }
    }
    return buffer;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    juce::String inPath, outPath;
    juce::StringPairArray settings;
    juce::StringArray settingOrder;
    juce::int64 seed = -1;
    int blockSize = 512, density = -1, envelope = -1;
    double rate = 44100.0, seconds = 6.0, tail = 0.0;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") { printUsage(); return 0; }
        if (! hasValue) { printUsage(); return 2; }
        const juce::String value (argv[++i]);

        if (arg == "--in") inPath = value;
        else if (arg == "--out") outPath = value;
        else if (arg == "--set")
        {
            if (! value.containsChar ('=')) { std::cerr << "--set needs ID=VALUE\n"; return 2; }
            settingOrder.add (value.upToFirstOccurrenceOf ("=", false, false));
            settings.set (settingOrder.strings.getLast(), value.fromFirstOccurrenceOf ("=", false, false));
        }
        else if (arg == "--seed") seed = value.getLargeIntValue();
        else if (arg == "--block") blockSize = value.getIntValue();
        else if (arg == "--density") density = value.getIntValue();
        else if (arg == "--envelope") envelope = value.getIntValue();
        else if (arg == "--rate") rate = value.getDoubleValue();
        else if (arg == "--seconds") seconds = value.getDoubleValue();
        else if (arg == "--tail") tail = value.getDoubleValue();
        else { printUsage(); return 2; }
    }

    if (outPath.isEmpty() || blockSize < 1 || blockSize > 1 << 16 || rate < 8000.0 || rate > 768000.0
        || seconds <= 0.0 || seconds > 3600.0 || tail < 0.0 || tail > 3600.0)
    {
        printUsage();
        return 2;
    }

    juce::AudioBuffer<float> input;
    if (inPath.isNotEmpty())
    {
        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (juce::File::getCurrentWorkingDirectory().getChildFile (inPath)));
        if (reader == nullptr || reader->lengthInSamples <= 0 || reader->lengthInSamples > (1 << 30))
        {
            std::cerr << "cannot read " << inPath << "\n";
            return 1;
        }
        rate = reader->sampleRate;
        const int length = (int) reader->lengthInSamples;
        input.setSize (2, length);
        reader->read (&input, 0, length, 0, true, true);
        if (reader->numChannels == 1)
            input.copyFrom (1, 0, input, 0, 0, length);
    }
    else
    {
        input = makeTestSignal (rate, seconds);
    }

    const int tailSamples = (int) (tail * rate);
    const int total = input.getNumSamples() + tailSamples;
    juce::AudioBuffer<float> audio (2, total);
    audio.clear();
    for (int ch = 0; ch < 2; ++ch)
        audio.copyFrom (ch, 0, input, ch, 0, input.getNumSamples());

    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.setRateAndBufferSizeDetails (rate, blockSize);

    if (seed >= 0)
    {
        processor.worldRandom.setSeed (seed);
        processor.regenerateWorld();
        for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
            for (int channel = 0; channel < CalythAudioProcessor::numChannels; ++channel)
                (*processor.grainClouds[pole])[channel]->regionSeed = seed * 8 + pole * 2 + channel;
    }

    for (auto* records : processor.granulizerParameters)
        for (auto* record : *records)
        {
            if (density >= 0)
                record->density = density;
            if (envelope >= 0)
                record->envelope = envelope;
        }

    for (const auto& id : settingOrder)
    {
        auto* parameter = processor.parameterTree.getParameter (id);
        if (parameter == nullptr)
        {
            std::cerr << "unknown parameter " << id << "\n";
            return 2;
        }
        // The whole text must be a number within the parameter's range; the framework's parser reads "abc" as 0.
        const auto text = settings[id].trim();
        char* end = nullptr;
        const double value = std::strtod (text.toRawUTF8(), &end);
        const auto& range = parameter->getNormalisableRange();
        if (text.isEmpty() || *end != 0 || ! (value >= range.start && value <= range.end))
        {
            std::cerr << "--set " << id << ": \"" << settings[id] << "\" is not a number from " << range.start
                      << " to " << range.end << "\n";
            return 2;
        }
        parameter->setValueNotifyingHost (parameter->convertTo0to1 ((float) value));
    }

    processor.prepareToPlay (rate, blockSize);
    juce::MidiBuffer midi;
    for (int start = 0; start < total; start += blockSize)
    {
        const int n = juce::jmin (blockSize, total - start);
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, start, n);
        processor.processBlock (block, midi);
    }
    processor.releaseResources();

    const juce::File outFile = juce::File::getCurrentWorkingDirectory().getChildFile (outPath);
    outFile.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (outFile), rate, 2, 32, {}, 0));
    if (writer == nullptr || ! writer->writeFromAudioSampleBuffer (audio, 0, total))
    {
        std::cerr << "cannot write " << outPath << "\n";
        return 1;
    }
    std::cout << "rendered " << total << " samples at " << rate << " Hz to " << outFile.getFullPathName() << "\n";
    return 0;
}
