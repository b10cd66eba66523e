// A graphics context that records what is drawn, in device coordinates, instead of rendering it.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace kelm::test
{
struct DrawOp
{
    enum class Kind
    {
        rect,
        path,
        image,
        line,
        glyph
    };

    Kind kind;
    juce::Rectangle<float> bounds; // transformed to device space
    juce::Path path;               // transformed to device space (paths and rectangles)
    juce::FillType fill;
    float opacity = 1.0f;

    juce::Colour colour() const { return fill.colour.withMultipliedAlpha (opacity); }
    bool isColour (juce::Colour c) const { return fill.isColour() && colour() == c; }
};

class RecordingContext : public juce::LowLevelGraphicsContext
{
public:
    explicit RecordingContext (juce::Rectangle<int> area) { state.clip = area; }

    std::vector<DrawOp> ops;

    /** Records of one kind, optionally only those filled with one plain colour. */
    std::vector<DrawOp> select (DrawOp::Kind kind) const
    {
        std::vector<DrawOp> result;
        for (const auto& op : ops)
            if (op.kind == kind)
                result.push_back (op);
        return result;
    }

    std::vector<DrawOp> withColour (juce::Colour c) const
    {
        std::vector<DrawOp> result;
        for (const auto& op : ops)
            if (op.isColour (c))
                result.push_back (op);
        return result;
    }

    bool isVectorDevice() const override { return false; }
    void setOrigin (juce::Point<int> o) override { addTransform (juce::AffineTransform::translation (o)); }
    void addTransform (const juce::AffineTransform& t) override { state.transform = t.followedBy (state.transform); }
    float getPhysicalPixelScaleFactor() override { return 1.0f; }

    bool clipToRectangle (const juce::Rectangle<int>& r) override
    {
        state.clip = state.clip.getIntersection (toDevice (r.toFloat()).getSmallestIntegerContainer());
        return ! state.clip.isEmpty();
    }
    bool clipToRectangleList (const juce::RectangleList<int>& list) override { return clipToRectangle (list.getBounds()); }
    void excludeClipRectangle (const juce::Rectangle<int>&) override {}
    void clipToPath (const juce::Path& p, const juce::AffineTransform& t) override
    {
        auto device = p;
        device.applyTransform (t.followedBy (state.transform));
        state.clip = state.clip.getIntersection (device.getBounds().getSmallestIntegerContainer());
    }
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override {}
    bool clipRegionIntersects (const juce::Rectangle<int>& r) override
    {
        return state.clip.intersects (toDevice (r.toFloat()).getSmallestIntegerContainer());
    }
    juce::Rectangle<int> getClipBounds() const override
    {
        return state.clip.toFloat().transformedBy (state.transform.inverted()).getSmallestIntegerContainer();
    }
    bool isClipEmpty() const override { return state.clip.isEmpty(); }

    void saveState() override { stack.push_back (state); }
    void restoreState() override
    {
        if (! stack.empty())
        {
            state = stack.back();
            stack.pop_back();
        }
    }
    void beginTransparencyLayer (float) override { saveState(); }
    void endTransparencyLayer() override { restoreState(); }

    void setFill (const juce::FillType& f) override { state.fill = f; }
    void setOpacity (float o) override { state.opacity = o; }
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}

    void fillRect (const juce::Rectangle<int>& r, bool) override { fillRect (r.toFloat()); }
    void fillRect (const juce::Rectangle<float>& r) override
    {
        juce::Path p;
        p.addRectangle (r);
        record (DrawOp::Kind::rect, p, {});
    }
    void fillRectList (const juce::RectangleList<float>& list) override
    {
        for (const auto& r : list)
            fillRect (r);
    }
    void fillPath (const juce::Path& p, const juce::AffineTransform& t) override { record (DrawOp::Kind::path, p, t); }
    void drawImage (const juce::Image& image, const juce::AffineTransform& t) override
    {
        juce::Path p;
        p.addRectangle (image.getBounds().toFloat());
        record (DrawOp::Kind::image, p, t);
    }
    void drawLine (const juce::Line<float>& l) override
    {
        juce::Path p;
        p.startNewSubPath (l.getStart());
        p.lineTo (l.getEnd());
        record (DrawOp::Kind::line, p, {});
    }
    void setFont (const juce::Font& f) override { state.font = f; }
    const juce::Font& getFont() override { return state.font; }
    void drawGlyph (int, const juce::AffineTransform& t) override
    {
        juce::Path p;
        p.addRectangle (0.0f, -state.font.getAscent(), 1.0f, state.font.getHeight());
        record (DrawOp::Kind::glyph, p, t);
    }

private:
    struct State
    {
        juce::AffineTransform transform;
        juce::FillType fill;
        float opacity = 1.0f;
        juce::Rectangle<int> clip;
        juce::Font font;
    };

    juce::Rectangle<float> toDevice (juce::Rectangle<float> r) const { return r.transformedBy (state.transform); }

    void record (DrawOp::Kind kind, const juce::Path& p, const juce::AffineTransform& t)
    {
        DrawOp op { kind, {}, p, state.fill, state.opacity };
        op.path.applyTransform (t.followedBy (state.transform));
        op.bounds = op.path.getBounds();
        ops.push_back (std::move (op));
    }

    State state;
    std::vector<State> stack;
};
} // namespace kelm::test
