// Every input of the fuzzing corpus goes through the fuzz target's entry point, which aborts on a failed round trip.
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

TEST (FuzzCorpus, EveryInputIsReadWrittenAndReadBack)
{
    const auto corpus = juce::File (CALYTH_TESTS_DIR).getSiblingFile ("fuzz").getChildFile ("corpus");
    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (files.isEmpty()) << corpus.getFullPathName();
    for (const auto& file : files)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes));
        SCOPED_TRACE (file.getFileName());
        EXPECT_EQ (LLVMFuzzerTestOneInput (static_cast<const uint8_t*> (bytes.getData()), bytes.getSize()), 0);
    }
}
