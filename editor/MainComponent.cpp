// The main component's construction, painting, placing and destruction.
#include "editor/MainComponent.h"

#include "CalythBinaryData.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"
#include "plugin/PluginProcessor.h"

const juce::Colour MainComponent::CalythColours::borderColour { 0xFF444444 };
const juce::Colour MainComponent::CalythColours::controlsColour { 0xFF4BC89A };
const juce::Colour MainComponent::CalythColours::presetControlsColour { 0xFF4BC89A };

namespace
{
std::unique_ptr<juce::Drawable> drawableFrom (const void* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}

#define CALYTH_IMAGE(name) CalythBinaryData::name##_svg, CalythBinaryData::name##_svgSize

const char* const regeneratePoleTooltips[] = { "Regenerate top left engine.", "Regenerate top right engine.",
                                               "Regenerate bottom left engine.", "Regenerate bottom right engine." };
const char* const editPoleTooltips[] = { "Edit top left engine parameters.", "Edit top right engine parameters.",
                                         "Edit bottom left engine parameters.", "Edit bottom right engine parameters." };
const char* const stereoLinkTooltips[] = { "Top left engine stereo link On/Off.", "Top right engine stereo link On/Off.",
                                           "Bottom left engine stereo link On/Off.", "Bottom right engine stereo link On/Off." };
} // namespace

void calyth::ParameterKnob::initialize (const juce::String& parameterID, juce::AudioProcessorValueTreeState& tree)
{
    attachment.reset();
    knob.reset (kelm::UIControlFactory::createRegularKnob (MainComponent::CalythColours::controlsColour));
    attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (tree, parameterID, *knob);
}

MainComponent::MainComponent (CalythAudioProcessor& processorToUse) : processor (processorToUse)
{
    const auto& ids = processor.calythParameters->parameterIDs;
    ccMapperUIManager.mapper = &processor.ccMapper;

    showMenu = [] (juce::PopupMenu& menu, const juce::PopupMenu::Options& options) { return menu.showMenu (options); };
    chooseFile = [] (juce::FileChooser& chooser, int mode) { return chooser.showDialog (mode, nullptr) ? chooser.getResult() : juce::File(); };
    askToReplace = [this] (const juce::File& file) {
        return juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, "REPLACE PRESET",
                                                   "\"" + file.getFileNameWithoutExtension() + "\" ALREADY EXISTS. REPLACE IT?", "REPLACE", "CANCEL", this);
    };

    // Parentless windows (the shared tooltip window, menus) draw with the default look-and-feel.
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel.get());
    setLookAndFeel (&lookAndFeel.get());
    lookAndFeel->setColour (juce::TooltipWindow::backgroundColourId, juce::Colours::black);
    lookAndFeel->setColour (juce::TooltipWindow::textColourId, juce::Colours::white);

    initializeDualIconButton (CALYTH_IMAGE (GenerateWorldButtonOn), CALYTH_IMAGE (GenerateWorldButtonOff), regenerateWorldButton);
    regenerateWorldButton->setTooltip ("Regenerate all engines.");

    for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
    {
        static const std::pair<const void*, int> onImages[] = { { CALYTH_IMAGE (TopLeftButtonOn) }, { CALYTH_IMAGE (TopRightButtonOn) },
                                                                { CALYTH_IMAGE (BottomLeftButtonOn) }, { CALYTH_IMAGE (BottomRightButtonOn) } };
        static const std::pair<const void*, int> offImages[] = { { CALYTH_IMAGE (TopLeftButtonOff) }, { CALYTH_IMAGE (TopRightButtonOff) },
                                                                 { CALYTH_IMAGE (BottomLeftButtonOff) }, { CALYTH_IMAGE (BottomRightButtonOff) } };
        initializeDualIconButton (onImages[pole].first, onImages[pole].second, offImages[pole].first, offImages[pole].second,
                                  regeneratePoleButtons[pole]);
        regeneratePoleButtons[pole]->setTooltip (regeneratePoleTooltips[pole]);

        initializeDualIconButton (CALYTH_IMAGE (EditButtonOn), CALYTH_IMAGE (EditButtonOff), editPoleButtons[pole]);
        editPoleButtons[pole]->setClickingTogglesState (true);
        editPoleButtons[pole]->setTooltip (editPoleTooltips[pole]);
    }

    {
        const auto off = drawableFrom (CALYTH_IMAGE (TrajectoryButtonOff));
        const auto on = drawableFrom (CALYTH_IMAGE (TrajectoryButtonOn));
        trajectoryButton.reset (kelm::UIControlFactory::createIconButton (off.get(), on.get()));
        trajectoryButton->setClickingTogglesState (true);
        addAndMakeVisible (*trajectoryButton);
        trajectoryAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
            processor.parameterTree, ids[CalythParameters::trajectory], *trajectoryButton);
        trajectoryButton->setTooltip ("Trajectory On/Off.");
    }
    {
        const auto off = drawableFrom (CALYTH_IMAGE (TrajectoryRandomButtonOff));
        const auto on = drawableFrom (CALYTH_IMAGE (TrajectoryRandomButtonOn));
        randomizeTrajectoryButton.reset (kelm::UIControlFactory::createIconButton (off.get(), on.get()));
        randomizeTrajectoryButton->setClickingTogglesState (false);
        addAndMakeVisible (*randomizeTrajectoryButton);
        randomizeTrajectoryButton->addListener (this);
        randomizeTrajectoryButton->setTooltip ("Randomize trajectory.");
    }
    {
        const auto off = drawableFrom (CALYTH_IMAGE (Stereo_Link_Off_Icon));
        const auto on = drawableFrom (CALYTH_IMAGE (Stereo_Link_On_Icon));

        for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        {
            stereoLinkButtons.emplace_back (kelm::UIControlFactory::createIconButton (off.get(), on.get()));
            stereoLinkButtons.back()->setClickingTogglesState (true);
        }

        for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        {
            addAndMakeVisible (*stereoLinkButtons[(size_t) pole]);
            stereoLinkAttachments.push_back (std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
                processor.parameterTree, ids[CalythParameters::stereoLinkA + pole], *stereoLinkButtons[(size_t) pole]));
        }

        for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
            stereoLinkButtons[(size_t) pole]->setTooltip (stereoLinkTooltips[pole]);
    }

    const std::pair<calyth::ParameterKnob*, int> knobs[] = {
        { &inGainKnob, CalythParameters::inGain },           { &outGainKnob, CalythParameters::outGain },
        { &dryWetKnob, CalythParameters::dryWet },           { &xTrajAmountKnob, CalythParameters::xTrajAmount },
        { &xTrajRangeKnob, CalythParameters::xTrajRange },   { &yTrajAmountKnob, CalythParameters::yTrajAmount },
        { &yTrajRangeKnob, CalythParameters::yTrajRange },
    };

    for (const auto& [knob, index] : knobs)
    {
        knob->initialize (ids[index], processor.parameterTree);

        if (knob == &dryWetKnob)
            knob->knob->setLookAndFeel (&bipolarLookAndFeel.get());

        addAndMakeVisible (*knob->knob);
    }

    pad = std::make_unique<CalythPad> (processor);
    addAndMakeVisible (*pad);

    headerPanel = drawableFrom (CALYTH_IMAGE (HeaderPanel));
    padPanel = drawableFrom (CALYTH_IMAGE (PadPanel));
    knobsPanel = drawableFrom (CALYTH_IMAGE (KnobsPanel));

    initializeLabel ("X", xLabel, 20.0f);
    initializeLabel ("Y", yLabel, 20.0f);
    initializeLabel ("RANGE", rangeLabel, 16.0f);
    initializeLabel ("SPEED", speedLabel, 16.0f);
    initializeLabel ("I", inLabel, 16.0f);
    initializeLabel ("O", outLabel, 16.0f);
    initializeLabel ("MIX", mixLabel, 16.0f);

    initializeDualIconButton (CALYTH_IMAGE (Previous_Button_On), CALYTH_IMAGE (Previous_Button_Off), previousPresetButton);
    initializeDualIconButton (CALYTH_IMAGE (Next_Button_On), CALYTH_IMAGE (Next_Button_Off), nextPresetButton);

    const auto iconButton = [this] (std::unique_ptr<juce::DrawableButton>& button, const void* data, int size)
    {
        const auto image = drawableFrom (data, size);
        button.reset (kelm::UIControlFactory::createIconButton (image.get(), image.get()));
        button->setClickingTogglesState (false);
        addAndMakeVisible (*button);
        button->addListener (this);
    };

    iconButton (presetNameButton, CALYTH_IMAGE (PresetNameField));
    presetNameButton->setButtonStyle (juce::DrawableButton::ImageStretched);

    initializeLabel ({}, presetNameLabel, 16.0f);
    // Clicks go through the name to the preset button beneath it.
    presetNameLabel->setInterceptsMouseClicks (false, false);
    presetNameLabel->setColour (juce::Label::textColourId, kelm::KelmColours::dark_grey);

    iconButton (savePresetButton, CALYTH_IMAGE (SavePresetIcon));
    iconButton (settingsButton, CALYTH_IMAGE (SettingsIcon));

    headerEmblem = drawableFrom (CALYTH_IMAGE (HeaderEmblem));
    headerWordmark = drawableFrom (CALYTH_IMAGE (HeaderWordmark));
    headerEmblem->replaceColour (juce::Colours::white, kelm::KelmColours::light_grey);
    headerWordmark->replaceColour (juce::Colours::white, kelm::KelmColours::light_grey);

    for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
    {
        auto* panel = poleEditors.add (new PoleEditor (processor, pole));
        panel->setLookAndFeel (&poleEditorLookAndFeel.get());
        addChildComponent (panel);
    }

    startTimer (100);
}

MainComponent::~MainComponent()
{
    // Unconditional, even with another window open: its own components keep the look they were given.
    setLookAndFeel (nullptr);
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

void MainComponent::initializeDualIconButton (const void* onImageData, int onImageSize, const void* offImageData, int offImageSize,
                                              std::unique_ptr<juce::DrawableButton>& button)
{
    const auto on = drawableFrom (onImageData, onImageSize);
    const auto off = drawableFrom (offImageData, offImageSize);
    button.reset (kelm::UIControlFactory::createIconButton (off.get(), on.get()));
    button->setClickingTogglesState (false);
    addAndMakeVisible (*button);
    button->addListener (this);
}

void MainComponent::initializeLabel (const juce::String& text, std::unique_ptr<juce::Label>& label, float fontHeight)
{
    label.reset (kelm::UIControlFactory::createRegularLabel (text));
    label->setColour (juce::Label::textColourId, CalythColours::controlsColour);
    label->setFont (juce::Font (fontHeight, juce::Font::plain));
    addAndMakeVisible (*label);
}

void MainComponent::paint (juce::Graphics& g)
{
    g.setColour (CalythColours::borderColour);
    g.fillRect (layout.windowBounds);
    g.setColour (juce::Colours::black);
    g.fillRect (layout.innerBounds);

    headerPanel->drawWithin (g, layout.headerBounds.toFloat(), juce::RectanglePlacement::stretchToFit, 1.0f);
    headerEmblem->drawWithin (g, layout.emblemBounds.toFloat(), juce::RectanglePlacement::centred, 1.0f);
    headerWordmark->drawWithin (g, layout.wordmarkBounds.toFloat(), juce::RectanglePlacement::centred, 1.0f);
    padPanel->drawWithin (g, layout.padPanelBounds.toFloat(), juce::RectanglePlacement::stretchToFit, 1.0f);
    knobsPanel->drawWithin (g, layout.knobsPanelBounds.toFloat(), juce::RectanglePlacement::stretchToFit, 1.0f);

    g.setColour (kelm::KelmColours::dark_grey);
    g.fillRect (trajectoryConnector);
}

void MainComponent::resized()
{
    pad->setBounds (layout.padBounds);
    xTrajAmountKnob.knob->setBounds (layout.xTrajAmountKnobBounds);
    xTrajRangeKnob.knob->setBounds (layout.xTrajRangeKnobBounds);
    yTrajAmountKnob.knob->setBounds (layout.yTrajAmountKnobBounds);
    yTrajRangeKnob.knob->setBounds (layout.yTrajRangeKnobBounds);
    xLabel->setBounds (layout.xLabelBounds);
    rangeLabel->setBounds (layout.rangeLabelBounds);
    speedLabel->setBounds (layout.speedLabelBounds);
    yLabel->setBounds (layout.yLabelBounds);
    trajectoryButton->setBounds (layout.trajectoryButtonBounds);
    inGainKnob.knob->setBounds (layout.inGainKnobBounds);
    outGainKnob.knob->setBounds (layout.outGainKnobBounds);
    dryWetKnob.knob->setBounds (layout.dryWetKnobBounds);
    inLabel->setBounds (layout.inLabelBounds);
    outLabel->setBounds (layout.outLabelBounds);
    mixLabel->setBounds (layout.mixLabelBounds);
    regenerateWorldButton->setBounds (layout.regenerateWorldButtonBounds);
    randomizeTrajectoryButton->setBounds (layout.randomizeTrajectoryButtonBounds);

    for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        regeneratePoleButtons[pole]->setBounds (layout.regeneratePoleButtonBounds[pole]);
    for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        editPoleButtons[pole]->setBounds (layout.editPoleButtonBounds[pole]);
    for (int pole = 0; pole < CalythAudioProcessor::numPoles; ++pole)
        stereoLinkButtons[(size_t) pole]->setBounds (layout.stereoLinkButtonBounds[pole]);

    presetNameButton->setBounds (layout.presetNameBounds);
    presetNameLabel->setBounds (layout.presetNameBounds);
    previousPresetButton->setBounds (layout.previousPresetButtonBounds);
    nextPresetButton->setBounds (layout.nextPresetButtonBounds);

    // A bar from the centre of the randomise button down to the centre of the trajectory toggle.
    const auto r = layout.randomizeTrajectoryButtonBounds;
    const auto t = layout.trajectoryButtonBounds;
    const int top = r.getY() + r.getHeight() / 2;
    trajectoryConnector = juce::Rectangle<int> (r.getX() + r.getWidth() / 2 - 1, top, 2, t.getY() + t.getHeight() / 2 - top).toFloat();

    for (auto* panel : poleEditors)
        panel->setBounds (layout.knobsPanelBounds);

    settingsButton->setBounds (layout.settingsButtonBounds);
    savePresetButton->setBounds (layout.savePresetButtonBounds);
}
