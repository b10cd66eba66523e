// MIDI-learn menu of a control.
#include "kelm/MIDITarget.h"

namespace kelm
{
namespace
{
int showModally (juce::PopupMenu& m)
{
   #if JUCE_MODAL_LOOPS_PERMITTED
    return m.showMenu (MIDITarget::menuOptions());
   #else
    juce::ignoreUnused (m);
    return 0;
   #endif
}
} // namespace

MIDITarget::MIDITarget() : showMenu (showModally) {}

MIDITarget::~MIDITarget() = default;

juce::PopupMenu::Options MIDITarget::menuOptions()
{
    return juce::PopupMenu::Options()
        .withItemThatMustBeVisible (assignItemId)
        .withMinimumWidth (60)
        .withMaximumNumColumns (0)
        .withStandardItemHeight (0);
}

juce::PopupMenu MIDITarget::createMenu()
{
    juce::PopupMenu m;
    m.addItem (assignItemId, "ASSIGN TO LAST CC", true, false);
    m.addItem (clearItemId, "CLEAR CC MAPPING", true, false);
    return m;
}

void MIDITarget::menu()
{
    if (showMenu)
    {
        auto m = createMenu();
        handleMenuResult (showMenu (m));
    }
}

void MIDITarget::handleMenuResult (int itemId)
{
    if (itemId == assignItemId)
        assignRequested = true;
    else if (itemId == clearItemId)
        clearRequested = true;
    else
        return;

    sendChangeMessage();
}
} // namespace kelm
