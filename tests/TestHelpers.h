// Small helpers shared by the tests.
#pragma once

#include <juce_core/juce_core.h>

namespace calyth::test
{
/** The home folder of this test run (a fresh temporary folder). */
inline juce::File homeFolder() { return juce::File::getSpecialLocation (juce::File::userHomeDirectory); }

/** The tests' source folder, where committed reference files live. */
inline juce::File sourceFolder() { return juce::File (CALYTH_TESTS_DIR); }
}
