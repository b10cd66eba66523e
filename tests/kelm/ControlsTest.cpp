// Standard controls: the factory's settings, the knob's Alt-click and range wedge, and MIDI learn.
#include "LookTestHelpers.h"
#include "kelm/CCMapperUIManager.h"
#include "kelm/KVLook.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

TEST (UIControlFactory, LabelKnobWithItsRangeWedgeAndIconButton)
{
    std::unique_ptr<juce::Label> label (kelm::UIControlFactory::createRegularLabel ("MIX"));
    EXPECT_EQ (label->getText(), "MIX");
    EXPECT_EQ (std::pair (label->findColour (juce::Label::textColourId).getARGB(), label->findColour (juce::Label::backgroundColourId).getARGB()),
               std::pair (0xFFBDBDBDu, 0x00272727u));
    EXPECT_FALSE (label->isEditable() || label->getWantsKeyboardFocus() || label->isFocusContainer());
    EXPECT_EQ (label->getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (label->getFont(), juce::Font (10.0f));

    std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::teal));
    EXPECT_EQ (std::pair (knob->getSliderStyle(), knob->getTextBoxPosition()), std::pair (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox));
    EXPECT_EQ (std::pair (knob->getRange(), knob->getInterval()), std::pair (juce::Range<double> (0.0, 1.0), 0.001));
    EXPECT_EQ (std::pair (knob->findColour (juce::Slider::backgroundColourId).getARGB(), knob->findColour (juce::Slider::rotarySliderFillColourId).getARGB()),
               std::pair (0x00272727u, 0xFF4BC89Au));
    EXPECT_FALSE (knob->getWantsKeyboardFocus() || knob->isTextBoxEditable());
    EXPECT_NE (knob->getCachedComponentImage(), nullptr);

    // Its range wedge (which no knob of the product shows) covers a share of the travel above the value.
    knob->setBounds (0, 0, 60, 40);
    knob->rangeOverlayAmount = 0.5f;
    for (auto [squared, value, from, to] : { std::tuple { false, 0.0, 1.2f, 2.0f }, { true, 1.0, 2.8f, 2.8f }, { true, 0.0, 1.2f, 1.6f } })
    {
        knob->rangeOverlaySquared = squared;
        knob->setValue (value);
        EXPECT_NEAR (knob->rangeOverlayAngles().getStart(), from * pi, 1.0e-5f);
        EXPECT_NEAR (knob->rangeOverlayAngles().getEnd(), to * pi, 1.0e-5f);
    }
    // Drawn first, around (30, 20) with radius 20, from 1.2 pi to 1.6 pi.
    for (auto [enabled, alpha] : { std::pair { true, 0xCC }, { false, 0x33 } })
    {
        knob->setEnabled (enabled);
        const auto ops = record (60, 40, [&] (juce::Graphics& g) { knob->paint (g); });
        ASSERT_EQ (indexOf (ops, kelm::KelmColours::lime.withAlpha ((juce::uint8) alpha)), 0);
        EXPECT_EQ (arc (ops[0].path, { 30, 20 }, 19), "..####..............");
        EXPECT_EQ (arc (ops[0].path, { 30, 20 }, 21), std::string (20, '.'));
    }

    juce::DrawableRectangle off, on;
    off.setName ("off");
    on.setName ("on");
    for (auto* image : { &off, &on })
    {
        image->setRectangle (juce::Rectangle<float> (0, 0, 10, 10));
        image->setFill (juce::Colours::red);
    }
    std::unique_ptr<juce::DrawableButton> button (kelm::UIControlFactory::createIconButton (&off, &on));
    EXPECT_EQ (std::pair (button->getStyle(), button->getEdgeIndent()), std::pair (juce::DrawableButton::ImageFitted, 0));
    EXPECT_FALSE (button->getWantsKeyboardFocus());
    EXPECT_TRUE (button->getClickingTogglesState());
    EXPECT_EQ (button->getOverImage(), button->getNormalImage()); // none of its own
    const auto images = [&] { return button->getNormalImage()->getName() + " " + button->getDownImage()->getName(); };
    EXPECT_EQ (images(), "off on");
    button->setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (images(), "on on");

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
}

TEST (KelmKnob, AltClickMenuAndTheRelayToTheControllerMap)
{
    kelm::CCMapper mapper;
    mapper.lastReceivedCC = 20;
    kelm::CCMapperUIManager manager;
    manager.mapper = &mapper;
    kelm::KelmKnob knob;
    knob.setBounds (0, 0, 40, 40);
    knob.addChangeListener (&manager);
    juce::StringArray shown; // the items of the menus shown, "?" marking disabled or ticked ones
    int drags = 0, choice = 0;
    knob.showMenu = [&] (juce::PopupMenu& m) {
        for (juce::PopupMenu::MenuItemIterator it (m); it.next();)
            shown.add (juce::String (it.getItem().itemID) + (it.getItem().isEnabled && ! it.getItem().isTicked ? " " : " ?") + it.getItem().text);
        return choice;
    };
    knob.onDragStart = [&] { ++drags; };
    const auto click = [&] (juce::ModifierKeys mods) {
        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), { 20, 20 },
                                  mods.withFlags (juce::ModifierKeys::leftButtonModifier), 1, 0, 0, 0, 0, &knob, &knob, now,
                                  { 20, 20 }, now, 1, false);
        knob.mouseDown (e);
        return std::pair { std::exchange (shown, {}).joinIntoString (", "), std::exchange (drags, 0) };
    };

    // The menu as it is shown: item 1 kept visible, at least 60 wide, no column limit, the default item height.
    const auto options = kelm::MIDITarget::menuOptions();
    EXPECT_EQ (std::tuple (options.getItemThatMustBeVisible(), options.getMinimumWidth(), options.getMaximumNumColumns(), options.getStandardItemHeight()),
               std::tuple (1, 60, 0, 0));

    // Alt-click opens the menu only for a parameter, and then the slider does not see the press.
    const juce::String none, menu ("1 ASSIGN TO LAST CC, 2 CLEAR CC MAPPING");
    EXPECT_EQ (click (juce::ModifierKeys::altModifier), std::pair (none, 1));
    knob.midiParameterID = "x_pos";
    EXPECT_EQ (click (juce::ModifierKeys::altModifier), std::pair (menu, 0)); // dismissed
    EXPECT_EQ (click ({}), std::pair (none, 1));
    EXPECT_FALSE (knob.assignRequested || knob.clearRequested);

    // Both chosen before the message arrives: the one callback assigns, the clear waits for the next message.
    choice = kelm::MIDITarget::assignItemId;
    click (juce::ModifierKeys::altModifier);
    knob.handleMenuResult (kelm::MIDITarget::clearItemId);
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0);
    knob.dispatchPendingMessages();
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (mapper.ccMap.getChild (0).getType().toString(), "x_pos");
    EXPECT_EQ ((int) mapper.ccMap.getChild (0).getProperty ("cc"), 20);
    EXPECT_TRUE (knob.clearRequested && ! knob.assignRequested);
    knob.sendChangeMessage();
    knob.dispatchPendingMessages();
    EXPECT_FALSE (knob.clearRequested);
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0);
    knob.removeChangeListener (&manager);
}
