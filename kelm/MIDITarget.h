// Mix-in for controls that offer a MIDI-learn menu for the parameter they stand for.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace kelm
{
class MIDITarget : public juce::ChangeBroadcaster
{
public:
    enum MenuItemIds
    {
        assignItemId = 1,
        clearItemId = 2
    };

    MIDITarget();
    ~MIDITarget() override;

    /** Shows the MIDI-learn menu and acts on the chosen item. */
    void menu();

    /** How the menu is shown: item 1 kept visible, at least 60 wide, no column limit, the default item height. */
    static juce::PopupMenu::Options menuOptions();

    /** The two MIDI-learn items. */
    static juce::PopupMenu createMenu();

    /** Turns a chosen item into a request and tells the listeners; any other result does nothing. */
    void handleMenuResult (int itemId);

    juce::String midiParameterID;
    bool assignRequested = false;
    bool clearRequested = false;

    /** How menu() puts the menu on screen and waits for the choice: modally by default. Tests
        replace it, since they cannot run a modal loop. */
    std::function<int (juce::PopupMenu&)> showMenu;

private:
    JUCE_DECLARE_NON_COPYABLE (MIDITarget)
};
} // namespace kelm
