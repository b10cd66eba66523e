// The engine editor panel of one pole (grain, resonator and diffusion settings), and its small pole icon.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CalythAudioProcessor;

/** A 2 x 2 grid with the quadrant of the edited pole filled (A top left to D bottom right). */
class PoleIcon : public juce::Component
{
public:
    explicit PoleIcon (int poleIndex);
    ~PoleIcon() override;

    void paint (juce::Graphics&) override;

    int poleIndex;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PoleIcon)
};

class PoleEditor : public juce::Component, public juce::Slider::Listener
{
public:
    PoleEditor (CalythAudioProcessor& processor, int poleIndex);
    ~PoleEditor() override;

    void visibilityChanged() override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void sliderValueChanged (juce::Slider*) override;

    /** Moves every pair knob to its record's value without notification and renews every tooltip. */
    void update_values();
    /** Styles the label as a zone header with the text and adds it. */
    void init_zone_header (juce::Label* label, const juce::String& text);

    struct DiffusionControls
    {
        std::unique_ptr<juce::Slider> sendKnob, leftDepthKnob, rightDepthKnob;
        std::unique_ptr<juce::Label> sendLabel, depthLabel;
        std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> sendAttachment;
    };

    CalythAudioProcessor& processor;
    int poleIndex;
    std::unique_ptr<PoleIcon> poleIcon;
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::Label> grainHeader, resonatorHeader, diffusionHeader;
    juce::OwnedArray<juce::Slider> leftGrainKnobs;
    juce::OwnedArray<juce::Slider> rightGrainKnobs;
    juce::OwnedArray<juce::Label> grainCaptions;
    juce::OwnedArray<juce::Slider> leftResonatorKnobs;
    juce::OwnedArray<juce::Slider> rightResonatorKnobs;
    juce::OwnedArray<juce::Label> resonatorCaptions;
    DiffusionControls diffusionControls;
    int headerHeight = 30;
    int zoneGap = 2;
    int zoneHeaderHeight = 20;
    juce::Rectangle<int> headerArea, grainArea, resonatorArea, diffusionArea;
    juce::Colour backgroundColour { 0xFF232323 };
    juce::SharedResourcePointer<juce::TooltipWindow> tooltipWindow;

private:
    void layOutPair (juce::Rectangle<int> column, juce::Slider& left, juce::Slider& right, juce::Label& caption);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PoleEditor)
};
