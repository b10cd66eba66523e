// The toolkit's dark look-and-feel.
#include "kelm/KVLook.h"

#include <CalythBinaryData.h>

#include <cmath>

namespace kelm
{
namespace
{
const juce::Colour darkGrey { 0xFF272727 };
const juce::Colour grey { 0xFF303030 };
const juce::Colour lightGrey { 0xFFBDBDBD };
const juce::Colour blue { 0xFF1C91AB };

std::unique_ptr<juce::Drawable> svgFromMemory (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}

bool isBarStyle (juce::Slider::SliderStyle style)
{
    return style == juce::Slider::LinearBar || style == juce::Slider::LinearBarVertical;
}

juce::uint8 scaledAlpha (juce::Colour c, float factor)
{
    return (juce::uint8) juce::jmin (255, juce::roundToInt ((float) c.getAlpha() * factor));
}
} // namespace

KVLook::KVLook()
{
    embeddedTypeface = juce::Typeface::createSystemTypefaceFor (CalythBinaryData::RobotoMedium_ttf,
                                                                (size_t) CalythBinaryData::RobotoMedium_ttfSize);

    setColour (juce::PopupMenu::textColourId, lightGrey);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, lightGrey);
    setColour (juce::PopupMenu::highlightedTextColourId, darkGrey);
    setColour (juce::TooltipWindow::backgroundColourId, lightGrey);
    setColour (juce::TooltipWindow::textColourId, darkGrey);
    setColour (juce::TooltipWindow::outlineColourId, juce::Colours::black);
    setColour (juce::ComboBox::backgroundColourId, darkGrey);
    setColour (juce::ComboBox::textColourId, lightGrey);
    setColour (juce::ComboBox::outlineColourId, grey);
    setColour (juce::ComboBox::arrowColourId, lightGrey);
    setColour (juce::ListBox::backgroundColourId, darkGrey);
    setColour (juce::DirectoryContentsDisplayComponent::textColourId, lightGrey);
    setColour (juce::DirectoryContentsDisplayComponent::highlightColourId, blue);
    setColour (juce::TreeView::backgroundColourId, darkGrey);
    setColour (juce::TreeView::linesColourId, lightGrey);
    // Icon buttons show their image only, with nothing behind it.
    setColour (juce::DrawableButton::backgroundOnColourId, juce::Colour (0x00FFFFFF));
    setColour (juce::DrawableButton::backgroundColourId, juce::Colour (0x00FFFFFF));

    knobBack = svgFromMemory (CalythBinaryData::knob_back_svg, CalythBinaryData::knob_back_svgSize);
    knobFront = svgFromMemory (CalythBinaryData::knob_front_svg, CalythBinaryData::knob_front_svgSize);
}

// Members go in reverse order: the cap, the disc, then the typeface reference.
KVLook::~KVLook() = default;

//==============================================================================
KVLook::SliderLabelComp::~SliderLabelComp() = default;

void KVLook::SliderLabelComp::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) {}

void KVLook::SliderLabelComp::paint (juce::Graphics& g)
{
    g.setColour (darkGrey.withMultipliedBrightness (0.3f));
    g.fillRect (getLocalBounds());
    juce::Label::paint (g);
}

//==============================================================================
void KVLook::drawScrollbar (juce::Graphics& g, juce::ScrollBar&, int x, int y, int width, int height,
                            bool isScrollbarVertical, int thumbStartPosition, int thumbSize, bool, bool)
{
    g.fillAll (darkGrey);

    const float slotIndent = juce::jmin (width, height) > 15 ? 1.0f : 0.0f;
    const float thumbIndent = slotIndent + 1.0f;
    const float fx = (float) x, fy = (float) y, fw = (float) width, fh = (float) height;

    juce::Path slot, thumb;
    const float slotThickness = (isScrollbarVertical ? fw : fh) - 2.0f * slotIndent;
    slot.addRoundedRectangle (fx + slotIndent, fy + slotIndent, fw - 2.0f * slotIndent, fh - 2.0f * slotIndent,
                              slotThickness * 0.5f);

    if (thumbSize > 0)
    {
        const float thickness = (isScrollbarVertical ? fw : fh) - 2.0f * thumbIndent;
        const float start = (float) thumbStartPosition + thumbIndent;
        const float length = (float) thumbSize - 2.0f * thumbIndent;

        if (isScrollbarVertical)
            thumb.addRoundedRectangle (fx + thumbIndent, start, thickness, length, thickness * 0.5f);
        else
            thumb.addRoundedRectangle (start, fy + thumbIndent, length, thickness, thickness * 0.5f);
    }

    g.setColour (lightGrey);
    g.fillPath (slot);

    if (! thumb.isEmpty())
    {
        g.setColour (darkGrey);
        g.fillPath (thumb);
        g.setColour (juce::Colour (0x4C000000));
        g.strokePath (thumb, juce::PathStrokeType (0.4f));
    }
}

int KVLook::getDefaultScrollbarWidth() { return 8; }

int KVLook::getScrollbarButtonSize (juce::ScrollBar&) { return 0; }

juce::Typeface::Ptr KVLook::getTypefaceForFont (const juce::Font& font)
{
    if (embeddedTypeface != nullptr)
        return embeddedTypeface;

    return juce::LookAndFeel_V2::getTypefaceForFont (font);
}

//==============================================================================
void KVLook::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool, bool shouldDrawButtonAsDown)
{
    const auto bounds = button.getLocalBounds();

    if (! button.getToggleState() && ! shouldDrawButtonAsDown)
    {
        g.setColour (grey);
        g.fillRect (bounds);
        g.setColour (backgroundColour);
        g.fillRect (bounds.reduced (1));
    }
    else
    {
        g.setColour (juce::Colours::black);
        g.fillRect (bounds);
        g.setColour (grey);
        g.fillRect (bounds.reduced (1));
        g.setColour (backgroundColour.withMultipliedBrightness (0.8f));
        g.fillRect (bounds.reduced (2));
    }
}

void KVLook::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool shouldDrawButtonAsDown)
{
    const juce::Font font (getTextButtonFont (button, button.getHeight()));
    g.setFont (font);

    const bool on = button.getToggleState() || shouldDrawButtonAsDown;
    g.setColour (button.findColour (on ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    const int yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const int cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const int fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const int leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const int rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const int textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(), leftIndent, yIndent, textWidth, button.getHeight() - yIndent * 2,
                          juce::Justification::centred, 2);
}

void KVLook::drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area, juce::Colour,
                                       bool isOpen, bool)
{
    const int boxSize = juce::roundToInt (juce::jmin (16.0f, area.getWidth(), area.getHeight()) * 0.7f) | 1;
    const int x = ((int) area.getWidth() - boxSize) / 2 + (int) area.getX();
    const int y = ((int) area.getHeight() - boxSize) / 2 + (int) area.getY();
    const juce::Rectangle<float> box ((float) x, (float) y, (float) boxSize, (float) boxSize);

    g.setColour (lightGrey);
    g.fillRect (box);
    g.setColour (darkGrey);
    g.drawRect (box);

    const float size = (float) boxSize * 0.5f + 1.0f;
    const float centre = (float) (boxSize / 2);
    g.fillRect ((float) x + ((float) boxSize - size) * 0.5f, (float) y + centre, size, 1.0f);

    if (! isOpen)
        g.fillRect ((float) x + centre, (float) y + ((float) boxSize - size) * 0.5f, 1.0f, size);
}

//==============================================================================
void KVLook::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (darkGrey);
    g.setColour (grey);
    g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, (float) width, (float) height), 2.0f);
}

juce::Font KVLook::getPopupMenuFont() { return juce::Font (14.0f * *fontScalePtr, juce::Font::plain); }

void KVLook::drawPopupMenuUpDownArrow (juce::Graphics& g, int width, int height, bool isScrollUpArrow)
{
    const float h = (float) height;
    g.setGradientFill (juce::ColourGradient (darkGrey, 0.0f, h * 0.5f, darkGrey.withAlpha ((juce::uint8) 0), 0.0f,
                                             isScrollUpArrow ? h : 0.0f, false));
    g.fillRect (1, 1, width - 2, height - 2);

    const float hw = (float) width * 0.5f;
    const float arrowW = h * 0.3f;
    const float y1 = h * (isScrollUpArrow ? 0.6f : 0.3f);
    const float y2 = h * (isScrollUpArrow ? 0.3f : 0.6f);

    juce::Path arrow;
    arrow.addTriangle (hw - arrowW, y1, hw + arrowW, y1, hw, y2);
    g.setColour (lightGrey);
    g.fillPath (arrow);
}

void KVLook::getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                        int& idealWidth, int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = 50;
        idealHeight = standardMenuItemHeight > 0 ? standardMenuItemHeight / 2 : 10;
        return;
    }

    juce::Font font (getPopupMenuFont());

    if (standardMenuItemHeight > 0)
    {
        const float limit = (float) standardMenuItemHeight / 1.3f;

        if (font.getHeight() > limit)
            font.setHeight (limit * *fontScalePtr);

        idealHeight = standardMenuItemHeight;
    }
    else
    {
        idealHeight = juce::roundToInt (font.getHeight() * 1.3f);
    }

    idealWidth = (int) std::ceil (font.getStringWidthFloat (text)) + 2 * idealHeight;
}

//==============================================================================
void KVLook::drawComboBox (juce::Graphics& g, int width, int height, bool, int buttonX, int buttonY,
                           int buttonW, int buttonH, juce::ComboBox& box)
{
    const float w = (float) width, h = (float) height;
    g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRect (0, 0, width, height);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0x02FFFFFF), w * 0.25f, 0.0f,
                                             juce::Colour (0x00FFFFFF), w * 0.75f, h, false));
    g.fillRect (0, 0, width, height);

    g.setColour (juce::Colours::black);
    g.drawRect (box.getLocalBounds());
    g.fillRect (0, height - 2, box.getWidth(), 2);

    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (box.getLocalBounds().reduced (2));

    if (box.isEnabled())
    {
        const float bx = (float) buttonX, by = (float) buttonY, bw = (float) buttonW, bh = (float) buttonH;
        juce::Path arrow;
        arrow.addTriangle (bx + bw * 0.5f, by + bh * 0.7f, bx + bw * 0.7f, by + bh * 0.4f, bx + bw * 0.3f, by + bh * 0.4f);
        g.setColour (box.findColour (juce::ComboBox::arrowColourId));
        g.fillPath (arrow);
    }
}

juce::Font KVLook::getComboBoxFont (juce::ComboBox& box)
{
    return juce::Font ((float) box.getHeight() * 0.7f * *fontScalePtr, juce::Font::plain);
}

//==============================================================================
void KVLook::drawLabel (juce::Graphics& g, juce::Label& label)
{
    g.fillAll (label.findColour (juce::Label::backgroundColourId));

    if (! label.isBeingEdited())
    {
        const float alpha = label.isEnabled() ? 1.0f : 0.5f;
        const juce::Font font (getLabelFont (label));

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        g.setFont (font);

        const auto textArea = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());
        g.drawFittedText (label.getText(), textArea, label.getJustificationType(),
                          juce::jmax (1, (int) ((float) textArea.getHeight() / font.getHeight())),
                          label.getMinimumHorizontalScale());

        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRect (label.getLocalBounds());
}

//==============================================================================
void KVLook::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                               juce::Slider& slider)
{
    g.fillAll (slider.findColour (juce::Slider::backgroundColourId));

    if (isBarStyle (style))
    {
        const bool enabled = slider.isEnabled();
        const auto colour = slider.findColour (juce::Slider::thumbColourId)
                                .withMultipliedSaturation (enabled ? 1.0f : 0.5f)
                                .withMultipliedSaturation (0.9f);
        const bool vertical = style == juce::Slider::LinearBarVertical;

        drawShinyButtonShape (g, (float) x, vertical ? sliderPos : (float) y, vertical ? (float) width : sliderPos - (float) x,
                              vertical ? (float) height - sliderPos : (float) height, 0.0f, colour,
                              enabled ? 0.9f : 0.3f, true, true, true, true);
        return;
    }

    drawLinearSliderBackground (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);

    if (style >= juce::Slider::LinearBar)
        drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void KVLook::drawShinyButtonShape (juce::Graphics& g, float x, float y, float w, float h, float,
                                   const juce::Colour& baseColour, float, bool, bool, bool, bool)
{
    if (! (w > 1.1f && h > 1.1f))
        return;

    g.setColour (baseColour);
    g.fillRect (x, y, w, h);
}

void KVLook::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                         float, float, juce::Slider::SliderStyle style, juce::Slider& slider)
{
    const bool horizontal = style == juce::Slider::LinearHorizontal;

    if (! horizontal && style != juce::Slider::LinearVertical)
        return;

    const juce::Rectangle<int> track (x, y, width, height);
    fillLinearTrack (g, track, slider);

    // A position that is no number draws no value part.
    const int pos = std::isfinite (sliderPos) ? juce::jlimit (-1000000, 1000000, (int) sliderPos) : (horizontal ? x : y + height);

    g.setColour (slider.findColour (juce::Slider::thumbColourId));

    if (horizontal)
        g.fillRect (x + 2, y + 2, juce::jmax (0, pos - x - 4), juce::jmax (0, height - 4));
    else
        g.fillRect (x + 2, pos + 2, juce::jmax (0, width - 4), juce::jmax (0, y + height - 2 - (pos + 2)));

    finishLinearTrack (g, track, horizontal);
}

void KVLook::fillLinearTrack (juce::Graphics& g, juce::Rectangle<int> track, juce::Slider& slider)
{
    g.setColour (slider.findColour (juce::Slider::trackColourId).withBrightness (0.1f));
    g.fillRect (track);
}

void KVLook::finishLinearTrack (juce::Graphics& g, juce::Rectangle<int> track, bool horizontal)
{
    const auto start = track.getPosition().toFloat();
    const auto end = horizontal ? track.getBottomLeft().toFloat() : track.getTopRight().toFloat();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0x00FFFFFF), start, juce::Colour (0x19FFFFFF), end, false));
    g.fillRect (track);

    g.setColour (grey);
    g.drawRect (track.toFloat(), 2.0f);
}

void KVLook::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                    float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                                    juce::Slider& slider)
{
    const float radius = (float) (getSliderThumbRadius (slider) - 2);
    const auto colour = slider.findColour (juce::Slider::thumbColourId);
    const float outline = slider.isEnabled() ? 0.8f : 0.3f;
    const float fx = (float) x, fy = (float) y, fw = (float) width, fh = (float) height;

    if (style == juce::Slider::ThreeValueVertical)
        drawGlassSphere (g, fx + fw * 0.5f - radius, sliderPos - radius, radius * 2.0f, colour, outline);
    else if (style == juce::Slider::ThreeValueHorizontal)
        drawGlassSphere (g, sliderPos - radius, fy + fh * 0.5f - radius, radius * 2.0f, colour, outline);

    if (style == juce::Slider::TwoValueVertical || style == juce::Slider::ThreeValueVertical)
    {
        drawGlassPointer (g, juce::jmax (0.0f, fx + fw * 0.5f - radius * 2.0f), minSliderPos - radius, radius * 2.0f,
                          colour, outline, 1);
        drawGlassPointer (g, juce::jmin (fx + fw - radius * 2.0f, fx + fw * 0.5f),
                          maxSliderPos - juce::jmin (radius, fw * 0.4f), radius * 2.0f, colour, outline, 3);
    }
    else if (style == juce::Slider::TwoValueHorizontal || style == juce::Slider::ThreeValueHorizontal)
    {
        g.setColour (juce::Colour (0xFFAEAEAE));
        g.fillRect (0.0f, 0.0f, fw + (float) (int) radius, fh);
        g.setColour (juce::Colours::black);
        g.fillRect (0.5f * radius, 0.5f * radius, fw, fh - radius);
        g.setColour (colour);
        g.fillRect (minSliderPos - 0.75f * radius, 0.5f * radius, maxSliderPos - minSliderPos - 0.125f * radius,
                    fh - radius);
    }
}

void KVLook::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                               float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider)
{
    const float proportion = std::isfinite (sliderPosProportional) ? sliderPosProportional : 0.0f;
    const float angle = rotaryStartAngle + proportion * (rotaryEndAngle - rotaryStartAngle);
    drawKnob (g, x, y, width, height, angle, rotaryStartAngle, angle, slider);
}

void KVLook::drawKnob (juce::Graphics& g, int x, int y, int width, int height, float valueAngle, float wedgeFrom,
                       float wedgeTo, juce::Slider& slider)
{
    const float r = (float) juce::jmin (width / 2, height / 2) - 2.0f;

    // Too small to show anything, or angles that are no numbers.
    if (r <= 0.0f || ! std::isfinite (valueAngle) || ! std::isfinite (wedgeFrom) || ! std::isfinite (wedgeTo))
        return;

    const float cx = (float) x + (float) width * 0.5f;
    const float cy = (float) y + (float) height * 0.5f;
    const juce::Rectangle<float> knob (cx - r, cy - r, 2.0f * r, 2.0f * r);

    const auto fill = slider.findColour (juce::Slider::rotarySliderFillColourId)
                          .withAlpha ((juce::uint8) (slider.isEnabled() ? 0xFF : 0x7F));

    if (knobBack != nullptr)
        knobBack->drawWithin (g, knob, juce::RectanglePlacement::fillDestination, 1.0f);

    const float wedgeInset = 0.1f * r;
    juce::Path wedge;
    wedge.addPieSegment (knob.getX() + wedgeInset, knob.getY() + wedgeInset, juce::jmax (0.0f, knob.getWidth() - 2.0f * wedgeInset),
                         juce::jmax (0.0f, knob.getWidth() - 2.0f * wedgeInset), wedgeFrom, wedgeTo, 0.0f);
    g.setColour (fill.withAlpha (scaledAlpha (fill, 0.8f)));
    g.fillPath (wedge);

    const float capInset = 0.25f * r;
    const float capSide = juce::jmax (0.0f, knob.getWidth() - 2.0f * capInset);
    if (knobFront != nullptr)
        knobFront->drawWithin (g, { knob.getX() + capInset, knob.getY() + capInset, capSide, capSide },
                               juce::RectanglePlacement::fillDestination, 1.0f);

    juce::Path pointer;
    pointer.addLineSegment ({ 0.0f, -0.2f * r, 0.0f, -0.45f * r }, 0.05f * knob.getWidth());
    g.setColour (fill);
    g.fillPath (pointer, juce::AffineTransform::rotation (valueAngle).translated (cx, cy));
}

juce::Label* KVLook::createSliderTextBox (juce::Slider& slider)
{
    auto* label = new SliderLabelComp();
    const bool bar = isBarStyle (slider.getSliderStyle());

    label->setJustificationType (juce::Justification::centred);
    label->setFont (juce::Font (10.0f));
    label->setKeyboardType (juce::TextInputTarget::decimalKeyboard);

    label->setColour (juce::Label::textColourId, slider.findColour (juce::Slider::textBoxTextColourId));
    label->setColour (juce::Label::backgroundColourId,
                      bar ? juce::Colours::transparentBlack : slider.findColour (juce::Slider::textBoxBackgroundColourId));
    label->setColour (juce::Label::outlineColourId, slider.findColour (juce::Slider::textBoxOutlineColourId));
    label->setColour (juce::TextEditor::textColourId, slider.findColour (juce::Slider::textBoxTextColourId));
    label->setColour (juce::TextEditor::backgroundColourId,
                      slider.findColour (juce::Slider::textBoxBackgroundColourId).withAlpha ((juce::uint8) (bar ? 0xB3 : 0xFF)));
    label->setColour (juce::TextEditor::outlineColourId, slider.findColour (juce::Slider::textBoxOutlineColourId));
    label->setColour (juce::TextEditor::highlightColourId, slider.findColour (juce::Slider::textBoxHighlightColourId));
    return label;
}

//==============================================================================
void KVLook::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    const auto area = button.getActiveArea();
    shape.applyTransform (juce::AffineTransform::translation ((float) area.getX(), (float) area.getY()));

    juce::DropShadow (juce::Colour (0x7F000000), 2, { 0, 1 }).drawForPath (g, shape);
    fillTabButtonShape (button, g, shape, isMouseOver, isMouseDown);
    drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void KVLook::drawTabButtonText (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    // The framework's tab text is the wanted one.
    juce::LookAndFeel_V2::drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void KVLook::drawTabbedButtonBarBackground (juce::TabbedButtonBar&, juce::Graphics&) {}

void KVLook::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int w, int h)
{
    const float shadowSize = 0.2f;
    juce::Rectangle<int> shadowRect, line;
    juce::ColourGradient gradient (juce::Colour (bar.isEnabled() ? 0x3F000000u : 0x26000000u), 0.0f, 0.0f,
                                   juce::Colours::transparentBlack, 0.0f, 0.0f, false);

    switch (bar.getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtLeft:
            gradient.point1.x = (float) w;
            gradient.point2.x = (float) w * (1.0f - shadowSize);
            shadowRect.setBounds ((int) gradient.point2.x, 0, w - (int) gradient.point2.x, h);
            line.setBounds (w - 1, 0, 1, h);
            break;

        case juce::TabbedButtonBar::TabsAtRight:
            gradient.point2.x = (float) w * shadowSize;
            shadowRect.setBounds (0, 0, (int) gradient.point2.x, h);
            line.setBounds (0, 0, 1, h);
            break;

        case juce::TabbedButtonBar::TabsAtTop:
            gradient.point1.y = (float) h;
            gradient.point2.y = (float) h * (1.0f - shadowSize);
            shadowRect.setBounds (0, (int) gradient.point2.y, w, h - (int) gradient.point2.y);
            line.setBounds (0, h - 1, w, 1);
            break;

        case juce::TabbedButtonBar::TabsAtBottom:
        default:
            gradient.point2.y = (float) h * shadowSize;
            shadowRect.setBounds (0, 0, w, (int) gradient.point2.y);
            line.setBounds (0, 0, w, 1);
            break;
    }

    g.setGradientFill (gradient);
    g.fillRect (shadowRect.expanded (2, 2));
    g.setColour (juce::Colour (0x80000000));
    g.fillRect (line);
}

void KVLook::createTabButtonShape (juce::TabBarButton& button, juce::Path& p, bool isMouseOver, bool isMouseDown)
{
    // The framework's outline is the wanted one.
    juce::LookAndFeel_V2::createTabButtonShape (button, p, isMouseOver, isMouseDown);
}

void KVLook::fillTabButtonShape (juce::TabBarButton& button, juce::Graphics& g, const juce::Path& path, bool, bool)
{
    const auto background = button.getTabBackgroundColour();
    const bool front = button.isFrontTab();

    g.setColour (front ? background : background.withMultipliedBrightness (0.7f));
    g.fillPath (path);

    const auto bounds = path.getBounds();
    g.setColour (button.findColour (front ? juce::TabbedButtonBar::frontOutlineColourId
                                          : juce::TabbedButtonBar::tabOutlineColourId,
                                    false)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.drawLine (bounds.getX(), bounds.getBottom(), bounds.getRight(), bounds.getBottom());
}
} // namespace kelm
