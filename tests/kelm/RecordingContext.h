// A graphics context that records every fill, in device coordinates, instead of rendering it.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace kelm::test
{
struct DrawOp
{
    bool glyph;
    juce::Path path; // device space; rectangles and images as their outline
    juce::FillType fill;
    bool isColour (juce::Colour c) const { return fill.isColour() && fill.colour == c; }
};

class RecordingContext : public juce::LowLevelGraphicsContext
{
public:
    explicit RecordingContext (juce::Rectangle<int> area) { state.clip = area; }

    std::vector<DrawOp> ops;

    /** Index of the first fill in the colour, or -1. */
    int indexOf (juce::Colour c) const
    {
        for (size_t i = 0; i < ops.size(); ++i)
            if (ops[i].isColour (c))
                return (int) i;
        return -1;
    }
    std::vector<juce::Rectangle<float>> boundsOf (juce::Colour c) const
    {
        std::vector<juce::Rectangle<float>> result;
        for (const auto& op : ops)
            if (op.isColour (c))
                result.push_back (op.path.getBounds());
        return result;
    }

    bool isVectorDevice() const override { return false; }
    void setOrigin (juce::Point<int> o) override { addTransform (juce::AffineTransform::translation (o)); }
    void addTransform (const juce::AffineTransform& t) override { state.transform = t.followedBy (state.transform); }
    float getPhysicalPixelScaleFactor() override { return 1.0f; }
    bool clipToRectangle (const juce::Rectangle<int>& r) override
    {
        state.clip = state.clip.getIntersection (r.toFloat().transformedBy (state.transform).getSmallestIntegerContainer());
        return ! state.clip.isEmpty();
    }
    bool clipToRectangleList (const juce::RectangleList<int>& list) override { return clipToRectangle (list.getBounds()); }
    void excludeClipRectangle (const juce::Rectangle<int>&) override {}
    void clipToPath (const juce::Path&, const juce::AffineTransform&) override {}
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override {}
    bool clipRegionIntersects (const juce::Rectangle<int>& r) override { return getClipBounds().intersects (r); }
    juce::Rectangle<int> getClipBounds() const override
    {
        return state.clip.toFloat().transformedBy (state.transform.inverted()).getSmallestIntegerContainer();
    }
    bool isClipEmpty() const override { return state.clip.isEmpty(); }
    void saveState() override { stack.push_back (state); }
    void restoreState() override { state = stack.back(); stack.pop_back(); }
    void beginTransparencyLayer (float) override { saveState(); }
    void endTransparencyLayer() override { restoreState(); }
    void setFill (const juce::FillType& f) override { state.fill = f; }
    void setOpacity (float o) override { state.opacity = o; }
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}
    void fillRect (const juce::Rectangle<int>& r, bool) override { fillRect (r.toFloat()); }
    void fillRect (const juce::Rectangle<float>& r) override { record (false, rectangle (r), {}); }
    void fillRectList (const juce::RectangleList<float>& list) override
    {
        for (const auto& r : list)
            fillRect (r);
    }
    void fillPath (const juce::Path& p, const juce::AffineTransform& t) override { record (false, p, t); }
    void drawImage (const juce::Image& i, const juce::AffineTransform& t) override { record (false, rectangle (i.getBounds().toFloat()), t); }
    void drawLine (const juce::Line<float>& l) override { record (false, rectangle ({ l.getStart(), l.getEnd() }), {}); }
    void setFont (const juce::Font& f) override { state.font = f; }
    const juce::Font& getFont() override { return state.font; }
    void drawGlyph (int, const juce::AffineTransform& t) override { record (true, rectangle ({ 0, 0, 1, 1 }), t); }

private:
    struct State
    {
        juce::AffineTransform transform;
        juce::FillType fill;
        float opacity = 1.0f;
        juce::Rectangle<int> clip;
        juce::Font font;
    };

    static juce::Path rectangle (juce::Rectangle<float> r)
    {
        juce::Path p;
        p.addRectangle (r);
        return p;
    }

    void record (bool glyph, juce::Path p, const juce::AffineTransform& t)
    {
        p.applyTransform (t.followedBy (state.transform));
        auto fill = state.fill;
        if (fill.isColour())
            fill.colour = fill.colour.withMultipliedAlpha (state.opacity);
        ops.push_back ({ glyph, std::move (p), fill });
    }

    State state;
    std::vector<State> stack;
};
} // namespace kelm::test
