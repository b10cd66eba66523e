// Standard controls: the factory's settings, the knob's Alt-click and MIDI learn.
#include "../editor/EditorTestHelpers.h"
#include "LookTestHelpers.h"
#include "kelm/CCMapperUIManager.h"
#include "kelm/KVLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

TEST (Controls, FactoryLabelKnobIconButtonAndTheKnobsControllerMenu)
{
    std::unique_ptr<juce::Label> label (kelm::UIControlFactory::createRegularLabel ("MIX"));
    EXPECT_EQ (std::tuple (label->getText(), label->findColour (juce::Label::textColourId).getARGB(), label->findColour (juce::Label::backgroundColourId).getARGB(),
                           label->getJustificationType(), label->getFont()),
               std::tuple (juce::String ("MIX"), 0xFFBDBDBDu, 0x00272727u, juce::Justification (juce::Justification::centred), juce::Font (10.0f)));
    EXPECT_FALSE (label->isEditable() || label->getWantsKeyboardFocus() || label->isFocusContainer());

    std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::teal));
    // Its style and colours show in the reference images.
    EXPECT_EQ (std::tuple (knob->getRange(), knob->getInterval(), knob->getWantsKeyboardFocus(), knob->getCachedComponentImage() != nullptr),
               std::tuple (juce::Range<double> (0.0, 1.0), 0.001, false, true));

    juce::DrawableRectangle off, on; // told apart by their sizes
    off.setRectangle (juce::Rectangle<float> (0, 0, 5, 5));
    on.setRectangle (juce::Rectangle<float> (0, 0, 10, 10));
    off.setFill (juce::Colours::red);
    on.setFill (juce::Colours::red);
    std::unique_ptr<juce::DrawableButton> button (kelm::UIControlFactory::createIconButton (&off, &on));
    EXPECT_EQ (std::pair (button->getStyle(), button->getEdgeIndent()), std::pair (juce::DrawableButton::ImageFitted, 0));
    EXPECT_TRUE (button->getClickingTogglesState() && ! button->getWantsKeyboardFocus());
    EXPECT_TRUE (button->getOverImage() == button->getNormalImage() && button->getDownImage()->getDrawableBounds().getWidth() == 10.0f); // no over image of its own

    // With the dark look, on or off, the button paints its image and no background behind it.
    kelm::KVLook lf;
    button->setLookAndFeel (&lf);
    button->setBounds (0, 0, 20, 20);
    for (const bool state : { true, false })
    {
        button->setToggleState (state, juce::dontSendNotification);
        const auto ops = record (20, 20, [&] (juce::Graphics& g) { button->paintEntireComponent (g, false); });
        ASSERT_FALSE (ops.empty());
        for (const auto& op : ops)
            EXPECT_TRUE (op.fill.colour == juce::Colours::red || op.fill.colour.isTransparent()) << op.fill.colour.toString();
    }
    button->setLookAndFeel (nullptr);

    // The knob's Alt-click menu and the relay to the controller map.
    kelm::CCMapper mapper;
    mapper.lastReceivedCC = 20;
    kelm::CCMapperUIManager manager;
    manager.mapper = &mapper;
    kelm::KelmKnob learning;
    learning.setBounds (0, 0, 40, 40);
    learning.addChangeListener (&manager);
    juce::StringArray shown; // the items of the menus shown, "?" marking disabled or ticked ones
    int drags = 0, choice = 0;
    learning.showMenu = [&] (juce::PopupMenu& m) {
        for (juce::PopupMenu::MenuItemIterator it (m); it.next();)
            shown.add (juce::String (it.getItem().itemID) + (it.getItem().isEnabled && ! it.getItem().isTicked ? " " : " ?") + it.getItem().text);
        return choice;
    };
    learning.onDragStart = [&] { ++drags; };
    const auto click = [&] (juce::ModifierKeys mods) {
        learning.mouseDown (calyth::test::mouseAt (learning, { 20, 20 }, mods.withFlags (juce::ModifierKeys::leftButtonModifier)));
        return std::pair { std::exchange (shown, {}).joinIntoString (", "), std::exchange (drags, 0) };
    };

    // The menu as it is shown: item 1 kept visible, at least 60 wide, no column limit, the default item height.
    const auto options = kelm::MIDITarget::menuOptions();
    EXPECT_EQ (std::tuple (options.getItemThatMustBeVisible(), options.getMinimumWidth(), options.getMaximumNumColumns(), options.getStandardItemHeight()),
               std::tuple (1, 60, 0, 0));

    // Alt-click opens the menu only for a parameter, and then the slider does not see the press.
    const juce::String none, menu ("1 ASSIGN TO LAST CC, 2 CLEAR CC MAPPING");
    EXPECT_EQ (click (juce::ModifierKeys::altModifier), std::pair (none, 1));
    learning.midiParameterID = "x_pos";
    EXPECT_EQ (click (juce::ModifierKeys::altModifier), std::pair (menu, 0)); // dismissed
    EXPECT_EQ (click ({}), std::pair (none, 1));
    EXPECT_FALSE (learning.assignRequested || learning.clearRequested);

    // Both chosen before the message arrives: the one callback assigns, the clear waits for the next message.
    choice = kelm::MIDITarget::assignItemId;
    click (juce::ModifierKeys::altModifier);
    learning.handleMenuResult (kelm::MIDITarget::clearItemId);
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0);
    learning.dispatchPendingMessages();
    EXPECT_EQ (calyth::test::mapText (mapper), "<Calyth_MIDI_MAP><x_pos cc=\"20\"/></Calyth_MIDI_MAP>");
    EXPECT_TRUE (learning.clearRequested && ! learning.assignRequested);
    learning.sendChangeMessage();
    learning.dispatchPendingMessages();
    EXPECT_TRUE (! learning.clearRequested && mapper.ccMap.getNumChildren() == 0);
    learning.removeChangeListener (&manager);
}
