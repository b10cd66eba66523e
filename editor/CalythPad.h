// The X/Y pad: dragging sets the pad position; it shows the cursor, trajectory, level ring, grid glow and particles.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <memory>

class CalythAudioProcessor;

class CalythPad : public juce::Component, public juce::Timer
{
public:
    explicit CalythPad (CalythAudioProcessor& processor);
    ~CalythPad() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;

    /** The controller menu: its four items, in id order 1 to 4. */
    static juce::PopupMenu createControllerMenu();
    /** Carries out a controller-menu choice; 0 (dismissed) and unknown ids change nothing. */
    void performControllerMenuItem (int itemID);
    /** Shows the menu and returns the chosen id (0 when dismissed). Synchronous by default; tests replace it. */
    std::function<int (juce::PopupMenu&)> showControllerMenu;

    juce::AudioProcessorParameter* xParameter;
    juce::AudioProcessorParameter* yParameter;
    CalythAudioProcessor* processor;
    float margin = 8.0f;
    juce::Point<float> cursorPosition { 8.0f, 8.0f };
    float trajectoryMarkerRadius = 4.0f;
    juce::Point<float> trajectoryMarkerPosition { 4.0f, 4.0f };
    bool isAbletonLive;
    std::unique_ptr<juce::Drawable> cursorImage;
    std::array<juce::Point<float>, 8> particles;
    juce::Random particleRandom;
    juce::Point<float> padSize { 1.0f, 1.0f };
    juce::Point<float> glowSize { 1.0f, 1.0f };
    float particleScale = 1.0f;
    std::array<juce::Rectangle<float>, 12> gridRows;
    std::array<juce::Rectangle<float>, 12> gridColumns;

private:
    // Kept between paints so that painting builds no paths or gradients of its own.
    juce::FillType glowFill;
    juce::Path shape;
    // Whether this pad has begun gestures that no mouse release has ended yet.
    bool gesturesOpen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CalythPad)
};
