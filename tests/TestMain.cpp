// Test entry point: a private home folder and an initialised JUCE message system for every test.
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

// Test order must not matter: whatever a test leaves in the home folder goes before the next one.
struct EmptyHomeAfterEachTest : ::testing::EmptyTestEventListener
{
    void OnTestEnd (const ::testing::TestInfo&) override { home.deleteRecursively(), home.createDirectory(); }
    const juce::File home { juce::File::getSpecialLocation (juce::File::userHomeDirectory) };
};

int main (int argc, char** argv)
{
    // Tests never touch the real home folder: presets and settings go to a fresh folder per run.
    char homeTemplate[] = "/tmp/calyth-test-home-XXXXXX";
    if (const char* home = ::mkdtemp (homeTemplate))
        ::setenv ("HOME", home, 1);

    // Makes JUCE install its X error handlers, so a test may put a window on a display.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    juce::ScopedJuceInitialiser_GUI juce;

    ::testing::InitGoogleTest (&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append (new EmptyHomeAfterEachTest);
    const int result = RUN_ALL_TESTS();
    juce::File (homeTemplate).deleteRecursively();
    return result;
}
