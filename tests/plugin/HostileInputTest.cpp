// What a hostile host can hand the processor: values that are no numbers and files in the presets folder that are
// no presets.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"
#include "kelm/DocumentReading.h"

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace calyth::test;

TEST (HostileHost, NonFiniteParameterValuesKeepTheLastFiniteOne)
{
    CalythAudioProcessor p;
    p.prepareToPlay (44100.0, 256);
    setParameter (p, "dry_wet", 0.25f);
    ASSERT_TRUE (runBlock (p));
    // As the VST client passes a host's setParameter on: the framework's range lets NaN through.
    for (const char* id : { "dry_wet", "pole_a_diff", "out_gain" })
    {
        const float before = parameterValue (p, id);
        setParameter (p, id, NAN);
        EXPECT_EQ (parameterValue (p, id), before) << id;
    }
    EXPECT_TRUE (runBlock (p));

    // A NaN that the audio thread reads before it is put back keeps the smoother's target.
    SmoothedParameter smoother (0.5f);
    smoother.prepare (4, 8);
    smoother.process (NAN, 2);
    smoother.process (SmoothedParameter::decibelsToGain (NAN), 2);
    smoother.process (1.0f, 2);
    EXPECT_EQ (std::vector<float> (smoother.values(), smoother.values() + 2), (std::vector<float> { 0.625f, 0.75f }));
}

TEST (HostileHost, ProgramChangeReadsOnlySmallRegularPresetFiles)
{
    ScopedFiles files;
    const juce::String preset ("<Calyth><Granulizer speed=\"1.5\" pole=\"0\" channel=\"0\"/></Calyth>");
    // Programs 0 to 3: a pipe, a preset padded beyond the size cap, one with too many elements, a plain one.
    const auto pipe = files.write (midiPresetsFolder().getChildFile ("0 pipe.cpst"), {});
    ASSERT_TRUE (pipe.deleteFile() && ::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600) == 0);
    files.write (midiPresetsFolder().getChildFile ("1 large.cpst"), preset + juce::String::repeatedString (" ", (int) kelm::maxDocumentFileBytes));
    files.write (midiPresetsFolder().getChildFile ("2 many.cpst"), preset.replace ("<Gr", juce::String::repeatedString ("<x/>", kelm::maxDocumentFileElements) + "<Gr"));
    files.write (midiPresetsFolder().getChildFile ("3 plain.cpst"), preset);
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
    EXPECT_TRUE (grain (p, 0, 0).speed.load() == 1.5f && p.currentPresetName.get() == "3 plain");
}
