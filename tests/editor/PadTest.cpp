// The X/Y pad: presses and drags with their gestures, the controller menu's items, the timer, and what paint draws.
#include "AllocationCounting.h"
#include "EditorTestHelpers.h"
#include "kelm/KelmColours.h"
#include "kelm/LookTestHelpers.h"
#include "editor/CalythPad.h"

using namespace calyth::test;
using kelm::test::tenths;
using calyth::test::allocations;
using calyth::test::counting;
using calyth::test::countingAllocations;

namespace
{
// Logs gestures ("+1", "-2") and host notifications ("1=0.5") of the pad's two parameters.
struct ParameterLog : juce::AudioProcessorParameter::Listener
{
    explicit ParameterLog (CalythPad& p) : pad (p)
    {
        pad.xParameter->addListener (this);
        pad.yParameter->addListener (this);
    }
    ~ParameterLog() override
    {
        pad.xParameter->removeListener (this);
        pad.yParameter->removeListener (this);
    }
    void parameterValueChanged (int index, float v) override { events.add (juce::String (index) + "=" + juce::String (v, 6)); }
    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "+" : "-") + juce::String (index)); }
    juce::String take() { return std::exchange (events, {}).joinIntoString (" "); }

    CalythPad& pad;
    juce::StringArray events;
};

juce::String values (float x, float y) { return "1=" + juce::String (x, 6) + " 2=" + juce::String (y, 6); }

const juce::Colour teal = kelm::KelmColours::teal;
} // namespace

TEST (CalythPad, PressesAndDragsSetThePositionBetweenGestures)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setBounds (98, 70, 284, 284);
    pad.isAbletonLive = false; // whatever the test runner looks like
    ParameterLog log (pad);

    // The cursor's centre sits 8 left of and above the pointer; the value runs from pointer 16 to 284.
    pad.mouseDown (mouseAt (pad, { 150, 100 }));
    EXPECT_EQ (pad.cursorPosition, juce::Point<float> (142, 92));
    EXPECT_EQ (log.take(), "+1 +2 " + values (134.0f / 268, 84.0f / 268));
    pad.mouseDrag (mouseAt (pad, { 5, 15 })); // top-left 16 x 16 corner
    pad.mouseDrag (mouseAt (pad, { 283, 400 })); // last column, below the pad
    pad.mouseDrag (mouseAt (pad, { 900, -50 }));
    pad.mouseUp (mouseAt (pad, { 900, -50 }));
    EXPECT_EQ (log.take(), values (0, 0) + " " + values (267.0f / 268, 1) + " " + values (1, 0) + " -1 -2");
    EXPECT_EQ (pad.cursorPosition, juce::Point<float> (276, 8));

    // The timer follows the parameters' snapped values: 135 / 268 = 0.50373 becomes 0.504.
    pad.mouseDown (mouseAt (pad, { 151, 284 }, juce::ModifierKeys::middleButtonModifier));
    pad.timerCallback();
    EXPECT_NEAR (pad.cursorPosition.x, 8 + 268 * 0.504f, 1.0e-3f);
    EXPECT_EQ (pad.cursorPosition.y, 276.0f);
    pad.mouseUp (mouseAt (pad, { 151, 284 }));
    log.take();

    // The trajectory marker follows the engine's point, limited to [r, size].
    processor.trajectoryX = 0.5f;
    processor.trajectoryY = 1.5f;
    pad.timerCallback();
    EXPECT_EQ (pad.trajectoryMarkerPosition, juce::Point<float> (4 + 276 * 0.5f, 284));

    // A right press begins the gestures, shows the menu and leaves the gestures open until the release.
    juce::StringArray shown;
    pad.showControllerMenu = [&] (juce::PopupMenu& m) {
        for (juce::PopupMenu::MenuItemIterator it (m); it.next();)
            shown.add (juce::String (it.getItem().itemID) + (it.getItem().isEnabled && ! it.getItem().isTicked ? " " : " ?") + it.getItem().text);
        return 0;
    };
    pad.mouseDown (mouseAt (pad, { 40, 40 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_EQ (shown.joinIntoString (", "), "1 MAP X TO LAST MOVED CC, 2 MAP Y TO LAST MOVED CC, 3 CLEAR X CC MAPPING, 4 CLEAR Y CC MAPPING");
    EXPECT_EQ (log.take(), "+1 +2");
    pad.mouseUp (mouseAt (pad, { 40, 40 }));
    EXPECT_EQ (log.take(), "-1 -2");

    // A second press without a release in between ends the open gestures before it begins new ones.
    pad.mouseDown (mouseAt (pad, { 16, 16 }));
    pad.mouseDown (mouseAt (pad, { 16, 16 }));
    pad.mouseUp (mouseAt (pad, { 16, 16 }));
    pad.mouseUp (mouseAt (pad, { 16, 16 }));
    EXPECT_EQ (log.take(), "+1 +2 " + values (0, 0) + " -1 -2 +1 +2 " + values (0, 0) + " -1 -2");

    // In Ableton Live no gesture at all, and the host is still told of every value.
    pad.isAbletonLive = true;
    pad.mouseDown (mouseAt (pad, { 284, 16 }));
    pad.mouseDown (mouseAt (pad, { 0, 0 }, juce::ModifierKeys::rightButtonModifier));
    pad.mouseUp (mouseAt (pad, { 284, 16 }));
    EXPECT_EQ (log.take(), values (1, 0));
}

TEST (CalythPad, ControllerMenuItems)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    auto& mapper = processor.ccMapper;
    const auto map = [&] {
        juce::StringArray bindings;
        for (const auto& child : mapper.ccMap)
            bindings.add (child.getType().toString() + ":" + child.getProperty ("cc").toString());
        return bindings.joinIntoString (" ");
    };

    pad.performControllerMenuItem (1); // before any controller arrived
    EXPECT_EQ (map(), "x_pos:-1");
    mapper.lastReceivedCC = 7;
    pad.performControllerMenuItem (2);
    mapper.lastReceivedCC = 21;
    pad.performControllerMenuItem (2);
    EXPECT_EQ (map(), "x_pos:-1 y_pos:21");
    for (int dismissedOrUnknown : { 0, 5, -1 })
        pad.performControllerMenuItem (dismissedOrUnknown);
    EXPECT_EQ (map(), "x_pos:-1 y_pos:21");
    pad.performControllerMenuItem (4);
    EXPECT_EQ (map(), "x_pos:-1");
    pad.performControllerMenuItem (3);
    EXPECT_EQ (map(), "");
}

TEST (CalythPad, PaintsInOrderWithLevelAndTrajectory)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setSize (284, 284);
    setParameter (processor, "x_pos", 0.25f); // cursor at 8 + 268 / 4 = 75
    setParameter (processor, "y_pos", 0.5f); // 142
    processor.trajectoryX = 0.5f; // marker at 4 + 276 x 0.5 = 142
    processor.trajectoryY = 0.0f; // 4
    processor.trajectoryXLow = 0.25f;
    processor.trajectoryXHigh = 0.75f;
    processor.trajectoryYLow = 0.125f;
    processor.trajectoryYHigh = 0.5f;
    pad.timerCallback();

    struct Case { float level; bool trajectory; int ringAlpha; float ringDiameter; int glowAlpha; float particle; };
    // Alphas: fraction x 255.996 truncated (0.3 gives 76, where rounding x 255 would give 77).
    for (auto c : { Case { 0, false, 0, 0, 76, 2 }, Case { 0.25f, true, 147, 64, 159, 284.0f / 28 }, Case { 1, false, 243, 128, 243, 284.0f / 14 } })
    {
        SCOPED_TRACE (c.level);
        processor.rmsLevel = c.level;
        setParameter (processor, "trajectory", c.trajectory ? 1.0f : 0.0f);
        pad.particles[0] = { 1000, -1000 }; // outside the glow square: jumps to its centre
        const auto ops = kelm::test::record (284, 284, [&] (juce::Graphics& g) { pad.paint (g); });

        ASSERT_TRUE (pad.isOpaque() && ops.size() >= 34u);
        EXPECT_EQ (ops[0].fill.colour, juce::Colours::black);
        EXPECT_EQ (ops[1].fill.colour, teal.withAlpha ((juce::uint8) 0x19));
        EXPECT_EQ (tenths (ops[1].path.getBounds()), "0 0 2840 2840");
        size_t i = 2;
        if (c.trajectory)
        {
            EXPECT_EQ (ops[i].fill.colour, teal.withAlpha ((juce::uint8) 0x0C));
            EXPECT_EQ (tenths (ops[i++].path.getBounds()), "710 355 1420 1065");
            // The marker's square (138, 0, 8, 8) moved down into the box.
            EXPECT_EQ (ops[i].fill.colour, teal.withAlpha ((juce::uint8) 0xCC));
            EXPECT_EQ (tenths (ops[i++].path.getBounds()), "1380 355 80 80");
        }
        // The cursor image, stretched into (67, 134, 16, 16), then the ring around the cursor.
        const auto image = kelm::test::record (16, 16, [&] (juce::Graphics& g) { pad.cursorImage->drawWithin (g, { 16, 16 }, {}, 1); });
        juce::Rectangle<float> cursor;
        for (const auto end = i + image.size(); i < end; ++i)
            cursor = cursor.getUnion (ops[i].path.getBounds());
        EXPECT_EQ (tenths (cursor), "670 1340 160 160");
        if (c.ringAlpha > 0)
        {
            EXPECT_EQ (ops[i].fill.colour, teal.withAlpha ((juce::uint8) c.ringAlpha));
            const auto ring = ops[i++].path;
            EXPECT_EQ (tenths (ring.getBounds()), tenths (juce::Rectangle<float> (c.ringDiameter + 2, c.ringDiameter + 2).withCentre ({ 75, 142 })));
            EXPECT_TRUE (ring.contains (75 + c.ringDiameter / 2 - 0.9f, 142) && ! ring.contains (75 + c.ringDiameter / 2 - 1.1f, 142));
        }

        // The glow: 24 grid bars, rows first, then the 8 particles, all in one radial gradient around G.
        ASSERT_EQ (ops.size(), i + 32);
        const juce::Point<float> centre = c.trajectory ? juce::Point<float> (142, 4) : juce::Point<float> (75, 142);
        for (size_t k = i; k < ops.size(); ++k)
        {
            ASSERT_TRUE (ops[k].fill.isGradient());
            const auto& gradient = *ops[k].fill.gradient;
            EXPECT_TRUE (gradient.isRadial && gradient.getNumColours() == 2);
            EXPECT_EQ (std::tuple (gradient.point1, gradient.point2), std::tuple (centre, centre + juce::Point<float> (71, 0)));
            EXPECT_EQ (std::tuple (gradient.getColour (0), gradient.getColour (1)), std::tuple (teal.withAlpha ((juce::uint8) c.glowAlpha), teal.withAlpha ((juce::uint8) 0)));
        }
        EXPECT_EQ (tenths (ops[i + 3].path.getBounds()), tenths ({ 0, 71, 284, 1 }));
        EXPECT_EQ (tenths (ops[i + 12 + 11].path.getBounds()), tenths ({ 284.0f * 11 / 12, 0, 1, 284 }));

        // Each particle: a ring of diameter d and line 1 at its new top-left corner, inside the glow square.
        const auto glowSquare = juce::Rectangle<float> (142, 142).withCentre (centre);
        for (size_t k = 0; k < 8; ++k)
        {
            const auto p = pad.particles[k];
            EXPECT_EQ (tenths (ops[i + 24 + k].path.getBounds()), tenths ({ p.x - 0.5f, p.y - 0.5f, c.particle + 1, c.particle + 1 })) << k;
            EXPECT_TRUE (p.x >= glowSquare.getX() && p.x <= glowSquare.getRight() && p.y >= glowSquare.getY() && p.y <= glowSquare.getBottom()) << k;
        }
        EXPECT_EQ (pad.particles[0], centre);
    }
}

TEST (CalythPad, ParticlesWanderAtMostFivePercentOfTheGlowPerPaint)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setSize (284, 284);
    setParameter (processor, "x_pos", 0);
    setParameter (processor, "y_pos", 0);
    pad.timerCallback(); // cursor (8, 8): glow square (-63, -63, 142, 142)
    paintAt (pad); // from (-10, -10): inside the square, so they move from there
    for (auto p : pad.particles)
        EXPECT_TRUE (std::abs (p.x + 10) <= 7.1f && std::abs (p.y + 10) <= 7.1f) << p.toString();
    for (int paint = 0; paint < 50; ++paint)
    {
        const auto before = pad.particles;
        paintAt (pad);
        for (size_t k = 0; k < 8; ++k)
        {
            // On each axis a step of at most 0.05 x 142, or a jump back to the centre (8, 8).
            const auto p = pad.particles[k], step = p - before[k];
            EXPECT_TRUE ((p.x == 8 || std::abs (step.x) <= 7.1f) && (p.y == 8 || std::abs (step.y) <= 7.1f)) << step.toString();
            EXPECT_TRUE (p.x >= -63 && p.x <= 79 && p.y >= -63 && p.y <= 79) << p.toString();
        }
    }
}

namespace
{
// A graphics context that draws nothing and keeps no state, so that only the painting code's own allocations count.
struct NullContext : juce::LowLevelGraphicsContext
{
    bool isVectorDevice() const override { return false; }
    void setOrigin (juce::Point<int>) override {}
    void addTransform (const juce::AffineTransform&) override {}
    float getPhysicalPixelScaleFactor() override { return 1; }
    bool clipToRectangle (const juce::Rectangle<int>&) override { return true; }
    bool clipToRectangleList (const juce::RectangleList<int>&) override { return true; }
    void excludeClipRectangle (const juce::Rectangle<int>&) override {}
    void clipToPath (const juce::Path&, const juce::AffineTransform&) override {}
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override {}
    bool clipRegionIntersects (const juce::Rectangle<int>&) override { return true; }
    juce::Rectangle<int> getClipBounds() const override { return { 0, 0, 1000, 1000 }; }
    bool isClipEmpty() const override { return false; }
    void saveState() override {}
    void restoreState() override {}
    void beginTransparencyLayer (float) override {}
    void endTransparencyLayer() override {}
    void setFill (const juce::FillType&) override {}
    void setOpacity (float) override {}
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}
    void fillRect (const juce::Rectangle<int>&, bool) override {}
    void fillRect (const juce::Rectangle<float>&) override {}
    void fillRectList (const juce::RectangleList<float>&) override {}
    void fillPath (const juce::Path&, const juce::AffineTransform&) override {}
    void drawImage (const juce::Image&, const juce::AffineTransform&) override {}
    void drawLine (const juce::Line<float>&) override {}
    void setFont (const juce::Font& f) override { font = f; }
    const juce::Font& getFont() override { return font; }
    void drawGlyph (int, const juce::AffineTransform&) override {}
    juce::Font font;
};

int allocationsOf (const std::function<void()>& f)
{
    allocations = 0;
    counting = true;
    f();
    counting = false;
    return allocations.exchange (0);
}
} // namespace

TEST (CalythPad, PaintAllocatesNothing)
{
    if (! countingAllocations)
        GTEST_SKIP() << "sanitizer builds do not count allocations";

    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setSize (284, 284);
    NullContext context;
    juce::Graphics g (context);
    ASSERT_GE (allocationsOf ([&] { g.fillEllipse (1, 2, 3, 4); }), 1) << "the counting misses a path being built";

    setParameter (processor, "trajectory", 1);
    for (float level : { 0.0f, 0.3f, 1.0f })
    {
        processor.rmsLevel = level;
        pad.timerCallback();
        EXPECT_EQ (allocationsOf ([&] { pad.paint (g); }), 0) << level;
    }
}
