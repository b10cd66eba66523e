// libFuzzer entry: every input is handed to the state reader raw and wrapped as a chunk's text.
#include <juce_gui_basics/juce_gui_basics.h>

#include "kelm/DocumentReading.h"
#include "plugin/PluginProcessor.h"

#include <cstdlib>

namespace
{
CalythAudioProcessor& processor()
{
    // Never destroyed: the framework's shutdown at exit runs after its own statics are gone. One allocation that
    // stays reachable, so the leak checker does not count the initialiser.
    struct Instance
    {
        juce::ScopedJuceInitialiser_GUI initialiser;
        CalythAudioProcessor processor;
    };
    static auto* instance = new Instance();
    return instance->processor;
}
} // namespace

// Called by the fuzzer alone (the unit tests' replay has a private home of its own): the processor makes its
// presets folder in a private home folder.
extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    char folder[] = "/tmp/calyth-fuzz-home-XXXXXX";
    if (::mkdtemp (folder) != nullptr)
        ::setenv ("HOME", folder, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = processor();

    if (size > (size_t) std::numeric_limits<int>::max() / 2)
        return 0;

    p.setStateInformation (data, (int) size);

    // Most inputs lack the wrapper; wrapped, they reach the document readers.
    juce::MemoryBlock chunk;
    const auto length = (juce::uint32) size;
    chunk.append ("\x56\x43\x32\x21", 4);
    chunk.append (&length, 4);
    chunk.append (data, size);
    chunk.append ("", 1);
    p.setStateInformation (chunk.getData(), (int) chunk.getSize());

    // What was read must write out as the framework's writer would, and read back.
    juce::MemoryBlock written;
    p.getStateInformation (written);
    const auto text = juce::String::fromUTF8 (static_cast<const char*> (written.getData()) + 8, (int) written.getSize() - 9);
    const auto document = kelm::parseDocumentText (text);

    if (document == nullptr || document->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()) != text)
        std::abort();

    p.setStateInformation (written.getData(), (int) written.getSize());
    return 0;
}
