// Every rectangle of the window's 480 x 600 design; the editor scales the whole design as one picture.
#pragma once

#include <juce_graphics/juce_graphics.h>

/** Plain constants in design units, (x, y, width, height); copied freely. */
struct CalythLayout
{
    int designWidth = 480;
    int designHeight = 600;

    juce::Rectangle<int> windowBounds { 0, 0, designWidth, designHeight };
    juce::Rectangle<int> innerBounds = windowBounds.reduced (2);
    juce::Rectangle<int> headerBounds = innerBounds.withHeight (60);

    juce::Rectangle<int> previousPresetButtonBounds { 110, 20, 19, 24 };
    juce::Rectangle<int> nextPresetButtonBounds { 351, 20, 19, 24 };
    juce::Rectangle<int> presetNameBounds { 134, 20, 212, 24 };
    juce::Rectangle<int> settingsButtonBounds { 377, 22, 15, 20 };
    juce::Rectangle<int> savePresetButtonBounds { 407, 22, 15, 20 };
    juce::Rectangle<int> emblemBounds { 436, 16, 28, 32 };
    juce::Rectangle<int> wordmarkBounds { 12, 12, 88, 40 };

    juce::Rectangle<int> padPanelBounds { 2, 62, 476, 300 };
    juce::Rectangle<int> padBounds { 98, 70, 284, 284 };
    juce::Rectangle<int> regenerateWorldButtonBounds { 24, 142, 60, 60 };
    juce::Rectangle<int> randomizeTrajectoryButtonBounds { 24, 222, 60, 60 };
    juce::Rectangle<int> trajectoryButtonBounds { 38, 322, 32, 32 };

    // One per pole, pole 0 first: the pole rows are 71 units apart.
    juce::Rectangle<int> regeneratePoleButtonBounds[4] { { 390, 85, 40, 40 }, { 390, 156, 40, 40 }, { 390, 227, 40, 40 }, { 390, 298, 40, 40 } };
    juce::Rectangle<int> editPoleButtonBounds[4] { { 438, 77, 24, 24 }, { 438, 148, 24, 24 }, { 438, 219, 24, 24 }, { 438, 290, 24, 24 } };
    juce::Rectangle<int> stereoLinkButtonBounds[4] { { 438, 109, 24, 24 }, { 438, 180, 24, 24 }, { 438, 251, 24, 24 }, { 438, 322, 24, 24 } };

    juce::Rectangle<int> knobsPanelBounds { 2, 362, 476, 236 };
    juce::Rectangle<int> xTrajAmountKnobBounds { 55, 420, 60, 60 };
    juce::Rectangle<int> xTrajRangeKnobBounds { 163, 420, 60, 60 };
    juce::Rectangle<int> xLabelBounds { 13, 420, 42, 60 };
    juce::Rectangle<int> yTrajAmountKnobBounds { 55, 511, 60, 60 };
    juce::Rectangle<int> yTrajRangeKnobBounds { 163, 511, 60, 60 };
    juce::Rectangle<int> yLabelBounds { 13, 511, 42, 60 };
    juce::Rectangle<int> rangeLabelBounds { 163, 480, 60, 31 };
    juce::Rectangle<int> speedLabelBounds { 55, 480, 60, 31 };
    juce::Rectangle<int> inGainKnobBounds { 275, 420, 60, 60 };
    juce::Rectangle<int> outGainKnobBounds { 275, 511, 60, 60 };
    juce::Rectangle<int> dryWetKnobBounds { 378, 461, 70, 70 };
    juce::Rectangle<int> inLabelBounds { 251, 420, 24, 60 };
    juce::Rectangle<int> outLabelBounds { 251, 511, 24, 60 };
    juce::Rectangle<int> mixLabelBounds { 378, 420, 70, 41 };
};
