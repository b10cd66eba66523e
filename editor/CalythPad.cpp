// The X/Y pad.
#include "editor/CalythPad.h"

#include "kelm/KelmColours.h"
#include "plugin/PluginProcessor.h"

#include <CalythBinaryData.h>

#include <cmath>

namespace
{
// Below the lower limit gives the lower limit, else the smaller of the value and the upper limit.
float limit (float lower, float upper, float v) { return v < lower ? lower : juce::jmin (v, upper); }

// A fraction as an alpha byte: 0 at or below 0, 255 at or above 1, else the fraction x 255.996 truncated.
juce::uint8 alphaByte (float fraction)
{
    if (! (fraction > 0.0f))
        return 0;
    return fraction >= 1.0f ? (juce::uint8) 255 : (juce::uint8) (fraction * 255.996f);
}

juce::Colour teal (juce::uint8 alpha) { return kelm::KelmColours::teal.withAlpha (alpha); }

// The outline of an ellipse with a line of the thickness centred on it, as one even-odd path.
void setToOutline (juce::Path& path, juce::Rectangle<float> ellipse, float thickness)
{
    path.clear();
    path.setUsingNonZeroWinding (false);
    path.addEllipse (ellipse.expanded (0.5f * thickness));
    if (ellipse.getWidth() > thickness && ellipse.getHeight() > thickness)
        path.addEllipse (ellipse.reduced (0.5f * thickness));
}
} // namespace

CalythPad::CalythPad (CalythAudioProcessor& processorToUse)
    : xParameter (processorToUse.parameterTree.getParameter (processorToUse.calythParameters->parameterIDs[1])),
      yParameter (processorToUse.parameterTree.getParameter (processorToUse.calythParameters->parameterIDs[2])),
      processor (&processorToUse),
      isAbletonLive (juce::PluginHostType().isAbletonLive()),
      cursorImage (juce::Drawable::createFromImageData (CalythBinaryData::PadCursor_svg,
                                                        (size_t) CalythBinaryData::PadCursor_svgSize)),
      glowFill (juce::ColourGradient (teal (0), 0.0f, 0.0f, teal (0), 1.0f, 0.0f, true))
{
    particles.fill ({ -10.0f, -10.0f });
    // Paint covers every pixel, so the window need not repaint what lies beneath 20 times a second.
    setOpaque (true);
    // Room for the largest shape painted (two ellipses), so painting never grows the path.
    shape.preallocateSpace (128);

    showControllerMenu = [] (juce::PopupMenu& menu)
    {
        return menu.showMenu (juce::PopupMenu::Options().withMaximumNumColumns (1).withStandardItemHeight (20));
    };

    startTimer (50);
}

CalythPad::~CalythPad()
{
    cursorImage.reset();
}

juce::PopupMenu CalythPad::createControllerMenu()
{
    juce::PopupMenu menu;
    menu.addItem (1, "MAP X TO LAST MOVED CC");
    menu.addItem (2, "MAP Y TO LAST MOVED CC");
    menu.addItem (3, "CLEAR X CC MAPPING");
    menu.addItem (4, "CLEAR Y CC MAPPING");
    return menu;
}

void CalythPad::performControllerMenuItem (int itemID)
{
    const auto& ids = processor->calythParameters->parameterIDs;
    auto& mapper = processor->ccMapper;

    switch (itemID)
    {
        case 1: mapper.mapLastCCToParameter (ids[1]); break;
        case 2: mapper.mapLastCCToParameter (ids[2]); break;
        case 3: mapper.clearCCMapping (ids[1]); break;
        case 4: mapper.clearCCMapping (ids[2]); break;
        default: break;
    }
}

void CalythPad::mouseDown (const juce::MouseEvent& e)
{
    if (! isAbletonLive)
    {
        // A press that arrives while gestures are still open (a release that never came) ends them first,
        // so that every gesture the host sees begun is also ended.
        if (gesturesOpen)
        {
            xParameter->endChangeGesture();
            yParameter->endChangeGesture();
        }
        xParameter->beginChangeGesture();
        yParameter->beginChangeGesture();
        gesturesOpen = true;
    }

    if (e.mods.isRightButtonDown())
    {
        auto menu = createControllerMenu();
        if (showControllerMenu != nullptr)
            performControllerMenuItem (showControllerMenu (menu));
        return;
    }

    mouseDrag (e);
}

void CalythPad::mouseDrag (const juce::MouseEvent& e)
{
    const float m = margin;
    const float w = (float) getWidth(), h = (float) getHeight();
    const auto pointer = e.getPosition().toFloat();

    cursorPosition = { limit (m, w - m, pointer.x - m), limit (m, h - m, pointer.y - m) };

    // A pad too small for the cursor's travel has no value range: it sets nothing.
    if (w - 2.0f * m <= 0.0f || h - 2.0f * m <= 0.0f)
        return;

    const float vx = juce::jlimit (0.0f, 1.0f, (cursorPosition.x - m) / (w - 2.0f * m));
    xParameter->setValue (vx);
    xParameter->sendValueChangedMessageToListeners (vx);

    const float vy = juce::jlimit (0.0f, 1.0f, (cursorPosition.y - m) / (h - 2.0f * m));
    yParameter->setValue (vy);
    yParameter->sendValueChangedMessageToListeners (vy);
}

void CalythPad::mouseUp (const juce::MouseEvent&)
{
    if (! isAbletonLive && gesturesOpen)
    {
        xParameter->endChangeGesture();
        yParameter->endChangeGesture();
        gesturesOpen = false;
    }
}

void CalythPad::resized()
{
    const float w = (float) getWidth(), h = (float) getHeight();
    padSize = { w, h };
    glowSize = { 0.5f * w, 0.5f * h };
    particleScale = 0.5f * w / 7.0f;

    for (int i = 0; i < 12; ++i)
    {
        gridRows[(size_t) i] = { 0.0f, (float) i * h / 12.0f, w, 1.0f };
        gridColumns[(size_t) i] = { (float) i * w / 12.0f, 0.0f, 1.0f, h };
    }
}

void CalythPad::timerCallback()
{
    const float m = margin;
    const float w = (float) getWidth(), h = (float) getHeight();
    cursorPosition = { limit (m, w, m + (w - 2.0f * m) * xParameter->getValue()),
                       limit (m, h, m + (h - 2.0f * m) * yParameter->getValue()) };

    const float r = trajectoryMarkerRadius;
    trajectoryMarkerPosition = { limit (r, w, r + (w - 2.0f * r) * processor->trajectoryX.load()),
                                 limit (r, h, r + (h - 2.0f * r) * processor->trajectoryY.load()) };
    repaint();
}

void CalythPad::paint (juce::Graphics& g)
{
    const float level = processor->rmsLevel.load();
    const float s = std::sqrt (std::isfinite (level) ? juce::jlimit (0.0f, 1.0f, level) : 0.0f);

    g.fillAll (juce::Colours::black);
    g.fillAll (teal (0x19));

    const bool trajectoryOn = processor->calythParameters->rawValues[3]->load() > 0.5f;
    if (trajectoryOn)
    {
        const float x0 = processor->trajectoryXLow.load() * padSize.x;
        const float y0 = processor->trajectoryYLow.load() * padSize.y;
        const juce::Rectangle<float> box (x0, y0, processor->trajectoryXHigh.load() * padSize.x - x0,
                                          processor->trajectoryYHigh.load() * padSize.y - y0);
        g.setColour (teal (0x0C));
        g.fillRect (box);

        // The marker's square, shrunk to the box where larger, then moved inside it.
        const float side = 2.0f * trajectoryMarkerRadius;
        const float mw = juce::jmax (0.0f, juce::jmin (side, box.getWidth()));
        const float mh = juce::jmax (0.0f, juce::jmin (side, box.getHeight()));
        const float mx = juce::jmax (box.getX(), juce::jmin (trajectoryMarkerPosition.x - 0.5f * side, box.getRight() - mw));
        const float my = juce::jmax (box.getY(), juce::jmin (trajectoryMarkerPosition.y - 0.5f * side, box.getBottom() - mh));
        shape.clear();
        shape.setUsingNonZeroWinding (true);
        shape.addEllipse (mx, my, mw, mh);
        g.setColour (teal (0xCC));
        g.fillPath (shape);
    }

    if (cursorImage != nullptr)
        cursorImage->drawWithin (g, juce::Rectangle<float> (2.0f * margin, 2.0f * margin).withCentre (cursorPosition),
                                 juce::RectanglePlacement::stretchToFit, 1.0f);

    // At silence the ring has no size, so nothing is drawn.
    const float ringDiameter = 8.0f * 16.0f * s;
    if (ringDiameter > 0.0f)
    {
        setToOutline (shape, juce::Rectangle<float> (ringDiameter, ringDiameter).withCentre (cursorPosition), 2.0f);
        g.setColour (teal (alphaByte (0.2f + 0.75f * s)));
        g.fillPath (shape);
    }

    const auto glowCentre = trajectoryOn ? trajectoryMarkerPosition : cursorPosition;
    const auto glowSquare = juce::Rectangle<float> (glowSize.x, glowSize.y).withCentre (glowCentre);
    auto& gradient = *glowFill.gradient;
    gradient.point1 = glowCentre;
    gradient.point2 = glowCentre.translated (0.5f * glowSize.x, 0.0f);
    gradient.setColour (0, teal (alphaByte (0.3f + 0.65f * s)));
    g.setFillType (glowFill);
    for (const auto& bar : gridRows)
        g.fillRect (bar);
    for (const auto& bar : gridColumns)
        g.fillRect (bar);

    const float d = juce::jmax (2.0f, s * particleScale);
    for (auto& particle : particles)
    {
        const float a = particleRandom.nextFloat();
        const float b = particleRandom.nextFloat();
        float x = particle.x + (0.1f * a - 0.05f) * glowSize.x;
        float y = particle.y + (0.1f * b - 0.05f) * glowSize.y;
        if (x < glowSquare.getX() || x > glowSquare.getRight())
            x = glowCentre.x;
        if (y < glowSquare.getY() || y > glowSquare.getBottom())
            y = glowCentre.y;
        particle = { x, y };
        setToOutline (shape, { x, y, d, d }, 1.0f);
        g.fillPath (shape);
    }
}
