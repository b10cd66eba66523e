// The engine editor panel and its pole icon.
#include "editor/PoleEditor.h"

#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"
#include "plugin/PluginProcessor.h"

#include <cmath>

namespace
{
using kelm::KelmColours;

const char* const grainCaptionTexts[] = { "SIZE", "SPEED", "SIZE RND", "SPEED RND", "AMP RND" };
const char* const resonatorCaptionTexts[] = { "FREQ", "FEED" };
enum Grain { sizeKnob, speedKnob, sizeRndKnob, speedRndKnob, ampRndKnob };
enum Resonator { freqKnob, feedKnob };

juce::Slider* makeKnob (const char* letter)
{
    auto* knob = kelm::UIControlFactory::createRegularKnob (KelmColours::teal);
    if (letter != nullptr)
        knob->getProperties().set (PoleEditorLookAndFeel::knob_txt_property, letter);
    return knob;
}

juce::Label* makeCaption (const juce::String& text)
{
    auto* caption = new juce::Label();
    caption->setColour (juce::Label::textColourId, KelmColours::teal);
    caption->setFont (juce::Font (12.0f, juce::Font::plain));
    caption->setJustificationType (juce::Justification::centred);
    caption->setText (text, juce::dontSendNotification);
    return caption;
}

// A knob position from a value: the range's clamped proportion; a value that is no number puts the knob at 0.
float positionOf (const juce::NormalisableRange<float>& range, float value)
{
    return std::isfinite (value) ? range.convertTo0to1 (value) : 0.0f;
}

juce::String twoDecimals (float value) { return juce::String (value, 2); }

// The integer part of a value, truncated towards zero.
juce::String wholeNumber (float value)
{
    if (std::isfinite (value) && std::abs (value) < 2.0e9f)
        return juce::String ((int) value);
    return juce::String (value);
}

void setKnob (juce::Slider& knob, float position, const juce::String& tooltip)
{
    knob.setValue (position, juce::dontSendNotification);
    knob.setTooltip (tooltip);
}
} // namespace

//==============================================================================
PoleIcon::PoleIcon (int poleIndexToShow) : poleIndex (poleIndexToShow) {}
PoleIcon::~PoleIcon() = default;

void PoleIcon::paint (juce::Graphics& g)
{
    const int hw = getWidth() / 2, hh = getHeight() / 2;
    const juce::Rectangle<int> quadrants[] = { { 0, 0, hw, hh }, { hw, 0, hw, hh }, { 0, hh, hw, hh }, { hw, hh, hw, hh } };

    if (poleIndex >= 0 && poleIndex < 4)
    {
        g.setColour (KelmColours::teal.withAlpha ((juce::uint8) 0xB3));
        g.fillRect (quadrants[poleIndex]);
    }

    g.setColour (KelmColours::teal);
    for (const auto& quadrant : quadrants)
        g.drawRect (quadrant, 1);
}

//==============================================================================
PoleEditor::PoleEditor (CalythAudioProcessor& processorToEdit, int poleToEdit)
    : processor (processorToEdit), poleIndex (poleToEdit)
{
    for (const auto* text : grainCaptionTexts)
    {
        leftGrainKnobs.add (makeKnob ("L"));
        rightGrainKnobs.add (makeKnob ("R"));
        grainCaptions.add (makeCaption (text));
    }
    for (const auto* text : resonatorCaptionTexts)
    {
        leftResonatorKnobs.add (makeKnob ("L"));
        rightResonatorKnobs.add (makeKnob ("R"));
        resonatorCaptions.add (makeCaption (text));
    }

    poleIcon = std::make_unique<PoleIcon> (poleIndex);
    addAndMakeVisible (*poleIcon);

    titleLabel = std::make_unique<juce::Label>();
    addAndMakeVisible (*titleLabel);
    titleLabel->setFont (juce::Font (16.0f, juce::Font::plain));
    titleLabel->setColour (juce::Label::textColourId, KelmColours::teal);
    titleLabel->setText ("ENGINE EDITOR", juce::dontSendNotification);
    titleLabel->setJustificationType (juce::Justification::centred);

    grainHeader = std::make_unique<juce::Label>();
    resonatorHeader = std::make_unique<juce::Label>();
    diffusionHeader = std::make_unique<juce::Label>();
    init_zone_header (grainHeader.get(), "GRAIN");
    init_zone_header (resonatorHeader.get(), "RESONATOR");
    init_zone_header (diffusionHeader.get(), "DIFFUSION");

    const auto addPairs = [this] (juce::OwnedArray<juce::Slider>& left, juce::OwnedArray<juce::Slider>& right,
                                  juce::OwnedArray<juce::Label>& captions)
    {
        for (int k = 0; k < captions.size(); ++k)
        {
            addAndMakeVisible (left[k]);
            addAndMakeVisible (right[k]);
            addAndMakeVisible (captions[k]);
            left[k]->addListener (this);
            right[k]->addListener (this);
        }
    };
    addPairs (leftGrainKnobs, rightGrainKnobs, grainCaptions);
    addPairs (leftResonatorKnobs, rightResonatorKnobs, resonatorCaptions);

    auto& d = diffusionControls;
    d.sendKnob.reset (makeKnob (nullptr));
    d.leftDepthKnob.reset (makeKnob ("L"));
    d.rightDepthKnob.reset (makeKnob ("R"));
    d.sendLabel.reset (kelm::UIControlFactory::createRegularLabel ("SEND"));
    d.depthLabel.reset (kelm::UIControlFactory::createRegularLabel ("DEPTH"));
    for (auto* label : { d.sendLabel.get(), d.depthLabel.get() })
    {
        label->setColour (juce::Label::textColourId, KelmColours::teal);
        label->setFont (juce::Font (12.0f, juce::Font::plain));
    }
    // A panel for a pole outside 0 to 3 edits nothing: its send knob stays unattached.
    if (juce::isPositiveAndBelow (poleIndex, (int) CalythAudioProcessor::numPoles))
        if (auto* send = processor.parameterTree.getParameter (processor.calythParameters->parameterIDs[10 + poleIndex]))
            d.sendAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (
                processor.parameterTree, send->paramID, *d.sendKnob);
    for (juce::Component* c : { (juce::Component*) d.sendKnob.get(), (juce::Component*) d.leftDepthKnob.get(),
                                (juce::Component*) d.rightDepthKnob.get(), (juce::Component*) d.sendLabel.get(),
                                (juce::Component*) d.depthLabel.get() })
        addAndMakeVisible (c);
    d.leftDepthKnob->addListener (this);
    d.rightDepthKnob->addListener (this);

    tooltipWindow->setMillisecondsBeforeTipAppears (300);
    // Paint covers every pixel: a knob that moves repaints the panel, not the window's artwork beneath it.
    setOpaque (true);

    update_values();
}

// Members go in reverse order: the tooltip window reference first, the send knob's attachment before the knob.
PoleEditor::~PoleEditor() = default;

void PoleEditor::init_zone_header (juce::Label* label, const juce::String& text)
{
    if (label == nullptr)
        return;

    addAndMakeVisible (label);
    label->setFont (juce::Font (14.0f, juce::Font::plain));
    label->setColour (juce::Label::textColourId, KelmColours::light_grey);
    label->setColour (juce::Label::backgroundColourId, KelmColours::grey);
    label->setJustificationType (juce::Justification::centred);
    label->setText (text, juce::dontSendNotification);
}

void PoleEditor::visibilityChanged()
{
    update_values();
}

void PoleEditor::sliderValueChanged (juce::Slider* slider)
{
    if (slider == nullptr || poleIndex < 0 || poleIndex >= CalythAudioProcessor::numPoles)
        return;

    const auto& ranges = processor.poleRanges;
    const float p = (float) slider->getValue();

    for (int c = 0; c < CalythAudioProcessor::numChannels; ++c)
    {
        const auto& grainKnobs = c == 0 ? leftGrainKnobs : rightGrainKnobs;
        const auto& resonatorKnobs = c == 0 ? leftResonatorKnobs : rightResonatorKnobs;
        auto& grain = *processor.granulizerParameters[poleIndex]->getUnchecked (c);
        auto& resonator = *processor.resonatorParameters[poleIndex]->getUnchecked (c);

        switch (grainKnobs.indexOf (slider))
        {
            case sizeKnob:
                grain.size = (float) ((double) (ranges.sizeRange.convertFrom0to1 (p) * 0.001f) * processor.sampleRate.load());
                return;
            case speedKnob: grain.speed = ranges.wideSpeedRange.convertFrom0to1 (p); return;
            case sizeRndKnob: grain.sizeRnd = ranges.sizeRndRange.convertFrom0to1 (p); return;
            case speedRndKnob: grain.speedRnd = ranges.largeSpeedRndRange.convertFrom0to1 (p); return;
            case ampRndKnob: grain.ampRnd = p; return;
            default: break;
        }

        switch (resonatorKnobs.indexOf (slider))
        {
            case freqKnob: resonator.freq = ranges.freqRange.convertFrom0to1 (p); return;
            case feedKnob: resonator.feedback = ranges.feedbackRange.convertFrom0to1 (p); return;
            default: break;
        }

        if (slider == (c == 0 ? diffusionControls.leftDepthKnob : diffusionControls.rightDepthKnob).get())
        {
            processor.diffuserParameters[c]->feedback = ranges.diffuserFeedRange.convertFrom0to1 (p);
            return;
        }
    }
}

void PoleEditor::update_values()
{
    if (poleIndex < 0 || poleIndex >= CalythAudioProcessor::numPoles)
        return;

    const auto& ranges = processor.poleRanges;

    for (int c = 0; c < CalythAudioProcessor::numChannels; ++c)
    {
        const auto& grainKnobs = c == 0 ? leftGrainKnobs : rightGrainKnobs;
        const auto& resonatorKnobs = c == 0 ? leftResonatorKnobs : rightResonatorKnobs;
        const auto& grain = *processor.granulizerParameters[poleIndex]->getUnchecked (c);
        const auto& resonator = *processor.resonatorParameters[poleIndex]->getUnchecked (c);

        const float ms = (float) ((double) (grain.size.load() * 1000.0f) / processor.sampleRate.load());
        setKnob (*grainKnobs[sizeKnob], positionOf (ranges.sizeRange, ms), wholeNumber (ms) + " Ms");
        setKnob (*grainKnobs[speedKnob], positionOf (ranges.wideSpeedRange, grain.speed), twoDecimals (grain.speed));
        setKnob (*grainKnobs[sizeRndKnob], positionOf (ranges.sizeRndRange, grain.sizeRnd), twoDecimals (grain.sizeRnd));
        setKnob (*grainKnobs[speedRndKnob], positionOf (ranges.largeSpeedRndRange, grain.speedRnd), twoDecimals (grain.speedRnd));
        setKnob (*grainKnobs[ampRndKnob], positionOf ({ 0.0f, 1.0f, 0.001f }, grain.ampRnd), twoDecimals (grain.ampRnd));

        setKnob (*resonatorKnobs[freqKnob], positionOf (ranges.freqRange, resonator.freq), wholeNumber (resonator.freq) + " Hz");
        setKnob (*resonatorKnobs[feedKnob], positionOf (ranges.feedbackRange, resonator.feedback), twoDecimals (resonator.feedback));

        const float depth = processor.diffuserParameters[c]->feedback;
        setKnob (c == 0 ? *diffusionControls.leftDepthKnob : *diffusionControls.rightDepthKnob,
                 positionOf (ranges.diffuserFeedRange, depth), twoDecimals (depth));
    }

    diffusionControls.sendKnob->setTooltip (twoDecimals (processor.calythParameters->rawValues[10 + poleIndex]->load()));
}

//==============================================================================
void PoleEditor::layOutPair (juce::Rectangle<int> column, juce::Slider& left, juce::Slider& right, juce::Label& caption)
{
    auto cell = column.reduced (3);
    caption.setBounds (cell.removeFromBottom (14));
    left.setBounds (cell.removeFromLeft (cell.getWidth() / 2).reduced (1));
    right.setBounds (cell.reduced (1));
}

void PoleEditor::resized()
{
    auto area = getLocalBounds().reduced (2);
    headerArea = area.removeFromTop (headerHeight);
    area.removeFromTop (zoneGap);

    poleIcon->setBounds (10, 10, juce::jmax (0, headerHeight - 16), juce::jmax (0, headerHeight - 16));
    titleLabel->setBounds (headerArea.reduced (headerArea.getWidth() / 4, 2));

    grainArea = area.removeFromLeft (area.getWidth() / 2);
    resonatorArea = area.removeFromTop (area.getHeight() / 2);
    diffusionArea = area;

    const auto bodyOf = [this] (juce::Rectangle<int> zone, juce::Label& header)
    {
        auto inner = zone.reduced (2);
        header.setBounds (inner.removeFromTop (zoneHeaderHeight));
        return inner;
    };

    auto grainBody = bodyOf (grainArea, *grainHeader);
    auto top = grainBody.removeFromTop (grainBody.getHeight() / 2);
    const int topColumn = top.getWidth() / 2;
    layOutPair (top.removeFromLeft (topColumn), *leftGrainKnobs[sizeKnob], *rightGrainKnobs[sizeKnob], *grainCaptions[sizeKnob]);
    layOutPair (top, *leftGrainKnobs[speedKnob], *rightGrainKnobs[speedKnob], *grainCaptions[speedKnob]);
    const int third = grainBody.getWidth() / 3;
    layOutPair (grainBody.removeFromLeft (third), *leftGrainKnobs[sizeRndKnob], *rightGrainKnobs[sizeRndKnob], *grainCaptions[sizeRndKnob]);
    layOutPair (grainBody.removeFromLeft (third), *leftGrainKnobs[speedRndKnob], *rightGrainKnobs[speedRndKnob], *grainCaptions[speedRndKnob]);
    layOutPair (grainBody, *leftGrainKnobs[ampRndKnob], *rightGrainKnobs[ampRndKnob], *grainCaptions[ampRndKnob]);

    auto resonatorBody = bodyOf (resonatorArea, *resonatorHeader);
    layOutPair (resonatorBody.removeFromLeft (resonatorBody.getWidth() / 2), *leftResonatorKnobs[freqKnob],
                *rightResonatorKnobs[freqKnob], *resonatorCaptions[freqKnob]);
    layOutPair (resonatorBody, *leftResonatorKnobs[feedKnob], *rightResonatorKnobs[feedKnob], *resonatorCaptions[feedKnob]);

    auto& d = diffusionControls;
    auto diffusionBody = bodyOf (diffusionArea, *diffusionHeader);
    auto sendCell = diffusionBody.removeFromLeft (diffusionBody.getWidth() / 2).reduced (1);
    layOutPair (diffusionBody, *d.leftDepthKnob, *d.rightDepthKnob, *d.depthLabel);
    d.sendLabel->setBounds (sendCell.removeFromBottom (14));
    d.sendKnob->setBounds (sendCell.reduced (1).withSizeKeepingCentre (d.leftDepthKnob->getWidth(), d.leftDepthKnob->getHeight()));
}

void PoleEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);

    const juce::Rectangle<int> inside (1, 1, getWidth() - 2, getHeight() - 2);
    g.setColour (backgroundColour);
    g.fillRect (inside);
    g.setColour (KelmColours::grey);
    g.drawRect (inside, 1);

    g.setColour (juce::Colours::black);
    g.fillRect (headerArea);
    g.setColour (KelmColours::teal);
    g.fillRect (headerArea.getX(), headerArea.getBottom(), headerArea.getWidth(), zoneGap);

    g.setColour (KelmColours::grey);
    for (const auto& zone : { grainArea, resonatorArea, diffusionArea })
        g.drawRect (zone.getX() + 1, zone.getY() + 1, zone.getWidth() - 2, zone.getHeight() - 2, 1);

    g.setColour (KelmColours::teal);
    for (const auto* header : { grainHeader.get(), resonatorHeader.get(), diffusionHeader.get() })
        g.fillRect (header->getX(), header->getBottom(), header->getWidth(), 2);
}
