// Small helpers shared by the tests.
#pragma once

#include <juce_core/juce_core.h>

#include <csignal>

#include <sys/resource.h>

namespace calyth::test
{
/** The home folder of this test run (a fresh temporary folder). */
inline juce::File homeFolder() { return juce::File::getSpecialLocation (juce::File::userHomeDirectory); }

/** The tests' source folder, where committed reference files live. */
inline juce::File sourceFolder() { return juce::File (CALYTH_TESTS_DIR); }

/** While it lives no file grows past the given size, as on a full disk: a write beyond is cut short or fails. */
struct FileSizeLimit
{
    explicit FileSizeLimit (rlim_t bytes) { ::getrlimit (RLIMIT_FSIZE, &old); const rlimit limit { bytes, old.rlim_max }; ::setrlimit (RLIMIT_FSIZE, &limit); }
    ~FileSizeLimit() { ::setrlimit (RLIMIT_FSIZE, &old); std::signal (SIGXFSZ, oldHandler); }
    rlimit old {};
    void (*oldHandler) (int) = std::signal (SIGXFSZ, SIG_IGN); // instead of ending the process
};
}
