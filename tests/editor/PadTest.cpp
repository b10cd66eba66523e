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

// Logs the gestures ("+1", "-2") and host notifications ("1=0.5") of the pad's two parameters.
struct ParameterLog : juce::AudioProcessorParameter::Listener
{
    explicit ParameterLog (CalythPad& p) : pad (p) { pad.xParameter->addListener (this), pad.yParameter->addListener (this); }
    ~ParameterLog() override { pad.xParameter->removeListener (this), pad.yParameter->removeListener (this); }
    void parameterValueChanged (int index, float v) override { events.add (juce::String (index) + "=" + juce::String (v, 6)); }
    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "+" : "-") + juce::String (index)); }
    juce::String take() { return std::exchange (events, {}).joinIntoString (" "); }
    CalythPad& pad;
    juce::StringArray events;
};

juce::String values (float x, float y) { return "1=" + juce::String (x, 6) + " 2=" + juce::String (y, 6); }
} // namespace

TEST (CalythPad, PressesDragsGesturesTimerAndMenu)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setBounds (98, 70, 284, 284);
    pad.isAbletonLive = false; // whatever runs the tests
    ParameterLog log (pad);
    const auto down = [&] (int x, int y, int button = juce::ModifierKeys::leftButtonModifier) { pad.mouseDown (mouseAt (pad, { x, y }, button)); };
    const auto drag = [&] (int x, int y) { pad.mouseDrag (mouseAt (pad, { x, y })); };
    const auto up = [&] { pad.mouseUp (mouseAt (pad, {})); };

    // The cursor's centre sits 8 left of and above the pointer; the value runs from pointer 16 to 284:
    // the top-left 16 x 16 corner gives 0, the last column 267 / 268, beyond the edge 1.
    down (150, 100);
    EXPECT_EQ (pad.cursorPosition, juce::Point<float> (142, 92));
    drag (5, 15), drag (283, 400), drag (900, -50), up();
    EXPECT_EQ (pad.cursorPosition, juce::Point<float> (276, 8));
    EXPECT_EQ (log.take(), "+1 +2 " + values (134.0f / 268, 84.0f / 268) + " " + values (0, 0) + " " + values (267.0f / 268, 1) + " " + values (1, 0) + " -1 -2");

    // The timer shows the snapped values (135 / 268 = 0.50373 becomes 0.504) and the trajectory point within [r, size].
    down (151, 284, juce::ModifierKeys::middleButtonModifier);
    processor.trajectoryX = 0.5f;
    processor.trajectoryY = 1.5f;
    pad.timerCallback();
    EXPECT_NEAR (pad.cursorPosition.x, 8 + 268 * 0.504f, 1.0e-3f);
    EXPECT_EQ (pad.trajectoryMarkerPosition, juce::Point<float> (4 + 276 * 0.5f, 284));
    up();
    EXPECT_EQ (log.take(), "+1 +2 " + values (135.0f / 268, 1) + " -1 -2");

    // A right press shows the menu and leaves the gestures open until the release; a press while they are
    // still open ends them first.
    juce::StringArray shown;
    pad.showControllerMenu = [&] (juce::PopupMenu& m) {
        for (juce::PopupMenu::MenuItemIterator it (m); it.next();)
            shown.add (juce::String (it.getItem().itemID) + (it.getItem().isEnabled && ! it.getItem().isTicked ? " " : " ?") + it.getItem().text);
        return 0;
    };
    down (40, 40, juce::ModifierKeys::rightButtonModifier);
    EXPECT_EQ (shown.joinIntoString (", "), "1 MAP X TO LAST MOVED CC, 2 MAP Y TO LAST MOVED CC, 3 CLEAR X CC MAPPING, 4 CLEAR Y CC MAPPING");
    EXPECT_EQ (log.take(), "+1 +2");
    down (16, 16), up(), up();
    EXPECT_EQ (log.take(), "-1 -2 +1 +2 " + values (0, 0) + " -1 -2");

    // In Ableton Live there is no gesture at all, and the host is still told of every value.
    pad.isAbletonLive = true;
    down (284, 16), down (0, 0, juce::ModifierKeys::rightButtonModifier), up();
    EXPECT_EQ (log.take(), values (1, 0));

    // A pad too small for the cursor's travel sets nothing rather than dividing by zero.
    pad.setSize (16, 40);
    drag (10, 10);
    EXPECT_EQ (log.take(), "");

    // The menu's items act on the controller map; 0 (dismissed) and unknown ids do nothing.
    auto& mapper = processor.ccMapper;
    const auto map = [&] {
        juce::String bindings;
        for (const auto& child : mapper.ccMap)
            bindings << child.getType().toString() << ":" << child.getProperty ("cc").toString() << " ";
        return bindings;
    };
    pad.performControllerMenuItem (1); // before any controller arrived
    mapper.lastReceivedCC = 7;
    pad.performControllerMenuItem (2);
    mapper.lastReceivedCC = 21;
    for (int id : { 2, 0, 5, -1 })
        pad.performControllerMenuItem (id);
    EXPECT_EQ (map(), "x_pos:-1 y_pos:21 ");
    pad.performControllerMenuItem (4);
    EXPECT_EQ (map(), "x_pos:-1 ");
    pad.performControllerMenuItem (3);
    EXPECT_EQ (map(), "");
}

TEST (CalythPad, PaintsInOrderWithLevelAndTrajectory)
{
    CalythAudioProcessor processor;
    CalythPad pad (processor);
    pad.setSize (284, 284);
    setParameter (processor, "x_pos", 0.25f); // cursor at 8 + 268 / 4 = 75
    processor.trajectoryX = 0.5f; // marker at (4 + 276 / 2, 4)
    processor.trajectoryXLow = 0.25f;
    processor.trajectoryXHigh = 0.75f;
    processor.trajectoryYLow = 0.125f;
    processor.trajectoryYHigh = 0.5f;
    pad.timerCallback();
    const auto cursorOps = kelm::test::record (16, 16, [&] (juce::Graphics& g) { pad.cursorImage->drawWithin (g, { 16, 16 }, {}, 1); }).size();

    // Alphas are the fraction x 255.996 truncated: 0.3 gives 76 (rounding x 255 would give 77).
    struct Case { float level; bool trajectory; int ringAlpha; float ring; int glowAlpha; float particle; };
    for (auto c : { Case { 0, false, 0, 0, 76, 2 }, Case { 0.25f, true, 147, 64, 159, 284.0f / 28 }, Case { 1, false, 243, 128, 243, 284.0f / 14 } })
    {
        SCOPED_TRACE (c.level);
        processor.rmsLevel = c.level;
        setParameter (processor, "trajectory", c.trajectory ? 1.0f : 0.0f);
        pad.particles[0] = { 1000, -1000 }; // outside the glow square: jumps to its centre
        const auto before = pad.particles;
        const auto ops = kelm::test::record (284, 284, [&] (juce::Graphics& g) { pad.paint (g); });

        ASSERT_TRUE (pad.isOpaque() && ops.size() == (c.trajectory ? 36 : 34) + cursorOps + (c.ringAlpha > 0));
        EXPECT_EQ (std::pair (ops[0].fill.colour, ops[1].fill.colour), std::pair (juce::Colours::black, teal.withAlpha ((juce::uint8) 0x19)));
        size_t i = 2;
        if (c.trajectory) // the box, then the marker's square (138, 0, 8, 8) moved down into the box
        {
            EXPECT_EQ (std::pair (ops[i].fill.colour, tenths (ops[i].path.getBounds())), std::pair (teal.withAlpha ((juce::uint8) 0x0C), juce::String ("710 355 1420 1065")));
            EXPECT_EQ (std::pair (ops[i + 1].fill.colour, tenths (ops[i + 1].path.getBounds())), std::pair (teal.withAlpha ((juce::uint8) 0xCC), juce::String ("1380 355 80 80")));
            i += 2;
        }
        juce::Rectangle<float> cursor; // the image stretched into (67, 134, 16, 16)
        for (const auto end = i + cursorOps; i < end; ++i)
            cursor = cursor.getUnion (ops[i].path.getBounds());
        EXPECT_EQ (tenths (cursor), "670 1340 160 160");
        if (c.ringAlpha > 0) // a line 2 thick on the circle of diameter 128 s around the cursor
        {
            const auto& ring = ops[i++];
            EXPECT_EQ (ring.fill.colour, teal.withAlpha ((juce::uint8) c.ringAlpha));
            EXPECT_EQ (tenths (ring.path.getBounds()), tenths (juce::Rectangle<float> (c.ring + 2, c.ring + 2).withCentre ({ 75, 142 })));
            EXPECT_TRUE (ring.path.contains (75 + c.ring / 2 - 0.9f, 142) && ! ring.path.contains (75 + c.ring / 2 - 1.1f, 142));
        }

        // 12 rows, 12 columns and 8 particles in one radial gradient around the marker or the cursor.
        const auto centre = c.trajectory ? juce::Point<float> (142, 4) : juce::Point<float> (75, 142);
        ASSERT_TRUE (ops[i].fill.isGradient() && ops[i].fill.gradient->isRadial);
        const auto& gradient = *ops[i].fill.gradient;
        EXPECT_EQ (std::tuple (gradient.point1, gradient.point2, gradient.getNumColours()), std::tuple (centre, centre + juce::Point<float> (71, 0), 2));
        EXPECT_EQ (std::pair (gradient.getColour (0), gradient.getColour (1)), std::pair (teal.withAlpha ((juce::uint8) c.glowAlpha), teal.withAlpha ((juce::uint8) 0)));
        for (size_t k = i; k < ops.size(); ++k)
            EXPECT_TRUE (ops[k].fill == ops[i].fill);
        EXPECT_EQ (tenths (ops[i + 3].path.getBounds()), tenths ({ 0, 71, 284, 1 }));
        EXPECT_EQ (tenths (ops[i + 23].path.getBounds()), tenths ({ 284.0f * 11 / 12, 0, 1, 284 }));

        // Each particle: a ring of diameter d and line 1 at its new top-left corner, at most 5 % of the glow
        // square (7.1) from where it was on each axis, or back at the centre on that axis.
        const auto square = juce::Rectangle<float> (142, 142).withCentre (centre);
        for (size_t k = 0; k < 8; ++k)
        {
            const auto p = pad.particles[k], step = p - before[k];
            EXPECT_EQ (tenths (ops[i + 24 + k].path.getBounds()), tenths ({ p.x - 0.5f, p.y - 0.5f, c.particle + 1, c.particle + 1 }));
            EXPECT_TRUE ((p.x == centre.x || std::abs (step.x) <= 7.1f) && (p.y == centre.y || std::abs (step.y) <= 7.1f)) << step.toString();
            EXPECT_TRUE (p.x >= square.getX() && p.x <= square.getRight() && p.y >= square.getY() && p.y <= square.getBottom()) << k;
        }
        EXPECT_EQ (pad.particles[0], centre);
    }
}

namespace
{
// Draws nothing and keeps no state, so that only the painting code's own allocations count.
struct NullContext : juce::LowLevelGraphicsContext
{
    using Rect = juce::Rectangle<int>;
    using Transform = juce::AffineTransform;
    bool isVectorDevice() const override { return false; }
    float getPhysicalPixelScaleFactor() override { return 1; }
    void setOrigin (juce::Point<int>) override {}
    void addTransform (const Transform&) override {}
    bool clipToRectangle (const Rect&) override { return true; }
    bool clipToRectangleList (const juce::RectangleList<int>&) override { return true; }
    void excludeClipRectangle (const Rect&) override {}
    void clipToPath (const juce::Path&, const Transform&) override {}
    void clipToImageAlpha (const juce::Image&, const Transform&) override {}
    bool clipRegionIntersects (const Rect&) override { return true; }
    Rect getClipBounds() const override { return { 0, 0, 1000, 1000 }; }
    bool isClipEmpty() const override { return false; }
    void saveState() override {}
    void restoreState() override {}
    void beginTransparencyLayer (float) override {}
    void endTransparencyLayer() override {}
    void setFill (const juce::FillType&) override {}
    void setOpacity (float) override {}
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}
    void fillRect (const Rect&, bool) override {}
    void fillRect (const juce::Rectangle<float>&) override {}
    void fillRectList (const juce::RectangleList<float>&) override {}
    void fillPath (const juce::Path&, const Transform&) override {}
    void drawImage (const juce::Image&, const Transform&) override {}
    void drawLine (const juce::Line<float>&) override {}
    void setFont (const juce::Font& f) override { font = f; }
    const juce::Font& getFont() override { return font; }
    void drawGlyph (int, const Transform&) override {}
    juce::Font font;
};
} // namespace

TEST (CalythPad, PaintAllocatesNothing)
{
    if (! countingAllocations)
        GTEST_SKIP() << "sanitizer builds do not count allocations";
    const auto allocationsOf = [] (const std::function<void()>& f) {
        allocations = 0;
        counting = true;
        f();
        counting = false;
        return allocations.exchange (0);
    };

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
