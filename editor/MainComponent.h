// The window's one content component: every control, the pad, the engine panels, the artwork and the window's actions.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CalythLayout.h"
#include "editor/CalythPad.h"
#include "editor/PoleEditor.h"
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/CCMapperUIManager.h"
#include "kelm/KVBipolarLook.h"
#include "kelm/KVLook.h"
#include "kelm/KelmKnob.h"

#include <functional>
#include <memory>
#include <vector>

class CalythAudioProcessor;

namespace calyth
{
/** A knob and its attachment to one host parameter; the knob is declared first so the attachment goes first. */
struct ParameterKnob
{
    /** Makes the knob (fill colour of the window's controls) and attaches it; the caller shows and adds it. */
    void initialize (const juce::String& parameterID, juce::AudioProcessorValueTreeState& tree);

    std::unique_ptr<kelm::KelmKnob> knob;
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
};
} // namespace calyth

class MainComponent : public juce::Component, public juce::Button::Listener, public juce::Timer
{
public:
    explicit MainComponent (CalythAudioProcessor& processor);
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void timerCallback() override;

    void initializeDualIconButton (const void* onImageData, int onImageSize, const void* offImageData, int offImageSize,
                                   std::unique_ptr<juce::DrawableButton>& button);
    void initializeLabel (const juce::String& text, std::unique_ptr<juce::Label>& label, float fontHeight);

    /** The names of the presets folder's presets, without extension, in natural order; read on every call. */
    juce::StringArray createPresetNamesArray();
    /** Loads the named preset of the list; an unreadable file or a position outside the list changes nothing. */
    void loadPreset (juce::StringArray names, int position);

    struct CalythColours
    {
        static const juce::Colour borderColour;
        static const juce::Colour controlsColour;
        static const juce::Colour presetControlsColour;
    };

    // Settings menu item identifiers.
    enum SettingsItem
    {
        reseedItem = 1,
        loadMidiMapItem,
        saveMidiMapItem,
        clearMidiMapItem,
        openPresetsFolderItem,
        showSettingsFileItem,
        titleItem = -10
    };

    juce::PopupMenu createPresetMenu (const juce::StringArray& names) const;
    juce::PopupMenu createSettingsMenu();
    /** The actions of a menu's result, once it is known. */
    void presetMenuChosen (const juce::StringArray& names, int result);
    void settingsMenuChosen (int result);
    /** Writes the preset under the chosen file (".cpst" added when it has another extension, after asking
        before an existing file of that name is replaced); an empty file does nothing. */
    void savePresetChosen (juce::File file);

    /** How a menu is shown, a file chosen and the replacement of a file confirmed; all synchronous. Tests
        put the user's choice here. */
    std::function<int (juce::PopupMenu&, const juce::PopupMenu::Options&)> showMenu;
    std::function<juce::File (juce::FileChooser&, int mode)> chooseFile;
    std::function<bool (const juce::File&)> askToReplace;

    CalythAudioProcessor& processor;
    juce::SharedResourcePointer<kelm::KVLook> lookAndFeel;
    juce::SharedResourcePointer<kelm::KVBipolarLook> bipolarLookAndFeel;
    juce::SharedResourcePointer<PoleEditorLookAndFeel> poleEditorLookAndFeel;
    CalythLayout layout;
    std::unique_ptr<juce::DrawableButton> trajectoryButton;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> trajectoryAttachment;
    std::unique_ptr<juce::DrawableButton> randomizeTrajectoryButton;
    std::unique_ptr<juce::DrawableButton> regenerateWorldButton;
    std::unique_ptr<juce::DrawableButton> regeneratePoleButtons[4];
    std::unique_ptr<juce::DrawableButton> editPoleButtons[4];
    juce::OwnedArray<PoleEditor> poleEditors;
    calyth::ParameterKnob inGainKnob, outGainKnob, dryWetKnob, xTrajAmountKnob, xTrajRangeKnob, yTrajAmountKnob, yTrajRangeKnob;
    std::unique_ptr<CalythPad> pad;
    std::unique_ptr<juce::Drawable> headerPanel, padPanel, knobsPanel;
    std::unique_ptr<juce::Label> xLabel, rangeLabel, speedLabel, yLabel, inLabel, outLabel, mixLabel;
    std::unique_ptr<juce::DrawableButton> previousPresetButton, nextPresetButton, presetNameButton;
    std::unique_ptr<juce::Label> presetNameLabel;
    std::unique_ptr<juce::DrawableButton> savePresetButton, settingsButton;
    std::unique_ptr<juce::Drawable> headerEmblem, headerWordmark;
    juce::Rectangle<float> trajectoryConnector;
    std::vector<std::unique_ptr<juce::DrawableButton>> stereoLinkButtons;
    std::vector<std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment>> stereoLinkAttachments;
    kelm::CCMapperUIManager ccMapperUIManager;

private:
    void editButtonClicked (int pole);
    void stepPreset (int direction);
    void showPresetMenu();
    void showSettingsMenu();
    void savePreset();
    void loadProgramChangePreset();
    void refreshVisiblePanels();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
