// The X/Y pad: presses and drags with their gestures, the controller menu, the timer, what paint draws and allocates.
#include "AllocationCounting.h"
#include "EditorTestHelpers.h"
#include "editor/CalythPad.h"
#include "kelm/KelmColours.h"
#include "kelm/LookTestHelpers.h"

using namespace calyth::test;
using kelm::test::tenths;

namespace
{
const juce::Colour teal = kelm::KelmColours::teal;

// Both values as the parameter log shows them.
juce::String values (float x, float y) { return " 1:" + juce::String (x, 4) + " 2:" + juce::String (y, 4); }

// Keeps one state and draws nothing, so that only the painting code's own allocations count.
struct NullContext : kelm::test::RecordingContext
{
    NullContext() : RecordingContext (284, 284) {}
    void saveState() override {}
    void restoreState() override {}
    void setFill (const juce::FillType&) override {}
    void fillRect (const juce::Rectangle<float>&) override {}
    void fillRectList (const juce::RectangleList<float>&) override {}
    void fillPath (const juce::Path&, const juce::AffineTransform&) override {}
};
} // namespace

TEST (CalythPad, PressesDragsGesturesTimerAndMenu)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setBounds (98, 70, 284, 284);
    pad.isAbletonLive = false; // whatever runs the tests
    ParameterEvents log (processor, { 1, 2 });
    log.numbered = true;
    const auto take = [&] { return std::exchange (log.events, {}); };
    const auto down = [&] (int x, int y, int button = juce::ModifierKeys::leftButtonModifier) { pad.mouseDown (mouseAt (pad, { x, y }, button)); };
    const auto up = [&] { pad.mouseUp (mouseAt (pad, {})); };

    // The cursor's centre sits 8 left of and above the pointer; the value runs from pointer 16 to 284: a press
    // at x 150 gives 134 / 268, the top-left 16 x 16 corner 0, the last column 267 / 268, beyond the edge 1.
    down (150, 100);
    EXPECT_EQ (pad.cursorPosition, juce::Point<float> (142, 92));
    for (auto p : { juce::Point<int> (5, 15), { 283, 400 } })
        pad.mouseDrag (mouseAt (pad, p));
    up();
    EXPECT_EQ (take(), " (1 (2" + values (134.0f / 268, 84.0f / 268) + values (0, 0) + values (267.0f / 268, 1) + " )1 )2");

    // The timer shows the snapped values (135 / 268 = 0.50373 becomes 0.504) and the trajectory point within [r, size].
    down (151, 284, juce::ModifierKeys::middleButtonModifier);
    processor.trajectoryY = 1.5f;
    pad.timerCallback();
    EXPECT_NEAR (pad.cursorPosition.x, 8 + 268 * 0.504f, 1.0e-3f);
    EXPECT_EQ (pad.trajectoryMarkerPosition.y, 284.0f);

    // A right press while the gestures are still open ends them first, then shows the menu; its item 2 chosen
    // twice keeps one binding for y with the last controller; item 4 clears it.
    pad.showControllerMenu = [] (juce::PopupMenu&) { return 2; };
    auto& mapper = processor.ccMapper;
    mapper.lastReceivedCC = 7;
    pad.performControllerMenuItem (1);
    pad.performControllerMenuItem (2);
    mapper.lastReceivedCC = 21;
    down (40, 40, juce::ModifierKeys::rightButtonModifier);
    up();
    EXPECT_EQ (take(), " (1 (2" + values (135.0f / 268, 1) + " )1 )2 (1 (2 )1 )2");
    EXPECT_EQ (mapText (mapper), "<Calyth_MIDI_MAP><x_pos cc=\"7\"/><y_pos cc=\"21\"/></Calyth_MIDI_MAP>");
    pad.performControllerMenuItem (4);
    EXPECT_EQ (mapText (mapper), "<Calyth_MIDI_MAP><x_pos cc=\"7\"/></Calyth_MIDI_MAP>");

    // In Ableton Live there is no gesture at all, and the host is still told of every value.
    pad.isAbletonLive = true;
    down (284, 16);
    up();
    EXPECT_EQ (take(), values (1, 0));
}

TEST (CalythPad, PaintsInOrderWithLevelAndTrajectoryAndAllocatesNothing)
{
    const auto allocationsOf = [] (const std::function<void()>& f) {
        allocations = 0;
        counting = true;
        f();
        counting = false;
        return allocations.exchange (0);
    };
    NullContext nowhere;
    juce::Graphics null (nowhere);
    ASSERT_TRUE (! countingAllocations || allocationsOf ([&] { null.fillEllipse (1, 2, 3, 4); }) >= 1) << "the counting misses a path being built";

    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setSize (284, 284);
    setParameter (processor, "x_pos", 0.25f); // cursor at 8 + 268 / 4 = 75
    processor.trajectoryX = 0.5f; // marker at (4 + 276 / 2, 4)
    pad.timerCallback();

    // Alphas are the fraction x 255.996 truncated. At 0.3 that is 76, as the framework's withAlpha (0.3f) gives
    // (76.5 rounds to even); at level 1 the fraction 0.95 gives 243 where withAlpha (0.95f) would give 242.
    struct Case { float level; bool trajectory; int ringAlpha; float ring; int glowAlpha; float particle; };
    for (auto c : { Case { 0, false, 0, 0, 76, 2 }, Case { 0.25f, true, 147, 64, 159, 284.0f / 28 }, Case { 1, false, 243, 128, 243, 284.0f / 14 } })
    {
        SCOPED_TRACE (c.level);
        processor.rmsLevel = c.level;
        setParameter (processor, "trajectory", c.trajectory ? 1.0f : 0.0f);
        EXPECT_TRUE (! countingAllocations || allocationsOf ([&] { pad.paint (null); }) == 0);
        const auto ops = kelm::test::record (284, 284, [&] (juce::Graphics& g) { pad.paint (g); });

        // Background, trajectory box and marker, cursor, ring, then 12 rows, 12 columns and 8 particles in the glow.
        ASSERT_TRUE (pad.isOpaque() && ops.size() > 36);
        const size_t glow = ops.size() - 32, ring = glow - 1;
        EXPECT_EQ (std::pair (ops[0].fill.colour, ops[1].fill.colour), std::pair (juce::Colours::black, teal.withAlpha ((juce::uint8) 0x19)));
        if (c.ringAlpha > 0) // a line 2 thick on the circle of diameter 128 s around the cursor
        {
            EXPECT_EQ (std::pair (ops[ring].fill.colour, tenths (ops[ring].path.getBounds())),
                       std::pair (teal.withAlpha ((juce::uint8) c.ringAlpha), tenths (juce::Rectangle<float> (c.ring + 2, c.ring + 2).withCentre ({ 75, 142 }))));
        }

        // One radial gradient around the marker or the cursor for all bars and particles.
        const auto centre = c.trajectory ? juce::Point<float> (142, 4) : juce::Point<float> (75, 142);
        ASSERT_TRUE (ops[glow].fill.isGradient() && ops[glow].fill.gradient->isRadial && ops.back().fill == ops[glow].fill);
        const auto& gradient = *ops[glow].fill.gradient;
        EXPECT_EQ (std::pair (gradient.point1, gradient.point2), std::pair (centre, centre + juce::Point<float> (71, 0)));
        EXPECT_EQ (std::pair (gradient.getColour (0), gradient.getColour (1)), std::pair (teal.withAlpha ((juce::uint8) c.glowAlpha), teal.withAlpha ((juce::uint8) 0)));
        // Each particle: a ring of diameter d and line 1 at its new top-left corner.
        const auto last = pad.particles[7];
        EXPECT_EQ (tenths (ops.back().path.getBounds()), tenths ({ last.x - 0.5f, last.y - 0.5f, c.particle + 1, c.particle + 1 }));
    }
}
