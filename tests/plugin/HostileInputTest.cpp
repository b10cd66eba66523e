// What a hostile host can hand the processor: values that are no numbers, blocks longer than prepared and files in
// the presets folder that are no presets (broken MIDI goes with the controller map).
#include <gtest/gtest.h>

#include "StateTestHelpers.h"
#include "kelm/DocumentReading.h"

#include <chrono>
#include <future>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace calyth::test;

TEST (HostileHost, ProgramChangeReadsOnlySmallRegularPresetFiles)
{
    const juce::String preset ("<Calyth><Granulizer speed=\"1.5\" pole=\"0\" channel=\"0\"/></Calyth>");
    // Programs 0 to 3: a pipe, a preset one byte beyond the size cap, one with an element too many, one at both caps.
    const auto pipe = writeFile (midiPresetsFolder().getChildFile ("0 pipe.cpst"), {});
    ASSERT_TRUE (pipe.deleteFile() && ::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600) == 0);
    const auto elements = [&preset] (int n) { return preset.replace ("<Gr", juce::String::repeatedString ("<x/>", n - 2) + "<Gr"); };
    const auto bytes = [] (const juce::String& text, juce::int64 n) { return text + juce::String::repeatedString (" ", (int) n - text.length()); };
    writeFile (midiPresetsFolder().getChildFile ("1 large.cpst"), bytes (elements (kelm::maxDocumentFileElements), kelm::maxDocumentFileBytes + 1));
    writeFile (midiPresetsFolder().getChildFile ("2 many.cpst"), elements (kelm::maxDocumentFileElements + 1));
    writeFile (midiPresetsFolder().getChildFile ("3 full.cpst"), bytes (elements (kelm::maxDocumentFileElements), kelm::maxDocumentFileBytes));
    CalythAudioProcessor p;
    ASSERT_EQ (p.midiPresetFiles.size(), 4);
    const float speed = grain (p, 0, 0).speed;

    // A reader that waits on the pipe is freed by opening its other end, so that the test tells it and ends.
    auto loads = std::async (std::launch::async, [&p] {
        for (int program : { 0, 1, 2 })
            runBlock (p, juce::MidiBuffer (juce::MidiMessage::programChange (1, program)));
    });
    const bool blocked = loads.wait_for (std::chrono::seconds (2)) == std::future_status::timeout;
    if (blocked)
        ::close (::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK));
    loads.wait();
    EXPECT_FALSE (blocked);
    EXPECT_TRUE (grain (p, 0, 0).speed.load() == speed && p.currentPresetName.get() == "INIT");

    runBlock (p, juce::MidiBuffer (juce::MidiMessage::programChange (1, 3)));
    EXPECT_TRUE (grain (p, 0, 0).speed.load() == 1.5f && p.currentPresetName.get() == "3 full");
}

TEST (HostileHost, RatesAndParameterValuesThatAreNoNumbers)
{
    // Alike processors prepared at 48 kHz and then at a rate and block size from the host, played in blocks of 1000.
    const auto play = [] (double rate, int blockSize) {
        CalythAudioProcessor p;
        p.enableAllBuses();
        p.worldRandom.setSeed (3);
        p.regenerateWorld();
        for (auto* clouds : p.grainClouds)
            for (auto* cloud : *clouds)
                cloud->regionSeed = 11;
        p.prepareToPlay (48000.0, 256);
        p.prepareToPlay (rate, blockSize);
        setParameter (p, "dry_wet", 1.0f);
        // As the VST client passes a host's setParameter on: the framework's range lets NaN through.
        for (const char* id : { "dry_wet", "pole_a_diff", "out_gain" })
            if (! (rate > 0.0))
                setParameter (p, id, NAN);
        juce::AudioBuffer<float> audio (2, 6000);
        for (int i = 0; i < 12000; ++i)
            audio.setSample (i % 2, i / 2, 0.5f * std::sin (0.01f * (float) i));
        std::vector<float> sound;
        for (int start = 0; start < 6000; start += 1000)
        {
            juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, start, 1000);
            if (start == 5000)
                block.clear(); // marked silent: no stale dry signal may come through
            juce::MidiBuffer midi;
            p.processBlock (block, midi);
            sound.push_back (p.rmsLevel);
        }
        sound.insert (sound.end(), audio.getReadPointer (1), audio.getReadPointer (1) + 6000);
        return std::pair (sound, chunkOf (p));
    };
    // Blocks longer than prepared change neither the sound nor the level, nor does an absurd announced size. A rate
    // that is no positive number or beyond 1.536 MHz keeps the prepared one and a parameter value that is none the
    // last one: sound, level and chunk stay those of 48 kHz.
    const auto expected = play (48000.0, 1000);
    EXPECT_TRUE (play (48000.0, std::numeric_limits<int>::max()) == expected);
    for (double rate : { 48000.0, 0.0, -48000.0, (double) NAN, (double) INFINITY, (double) -INFINITY, 1536000.5, 1.0e12 })
        EXPECT_TRUE (play (rate, 256) == expected) << rate;
    // Low positive rates are taken and still give finite sound.
    for (double rate : { 1.0e-300, 1.0, 100.0 })
        for (float x : play (rate, 256).first)
            ASSERT_TRUE (std::isfinite (x)) << rate;

    // A NaN that the audio thread reads before it is put back keeps the smoother's target.
    SmoothedParameter smoother (0.5f);
    smoother.prepare (4, 8);
    smoother.process (NAN, 2);
    smoother.process (SmoothedParameter::decibelsToGain (NAN), 2);
    smoother.process (1.0f, 2);
    EXPECT_EQ (std::vector<float> (smoother.values(), smoother.values() + 2), (std::vector<float> { 0.625f, 0.75f }));
}
