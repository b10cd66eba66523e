// A text that several threads read and replace whole: the preset name and path.
#pragma once

#include <juce_core/juce_core.h>

/** The audio thread writes it only inside the in-block preset load, where waiting on the short
    copy of another thread is acceptable; everybody else reads or replaces it from their own thread. */
class SharedString
{
public:
    explicit SharedString (const juce::String& initial = {}) : text (initial) {}

    juce::String get() const
    {
        const juce::SpinLock::ScopedLockType lock (guard);
        return text;
    }

    void set (const juce::String& newText)
    {
        auto replaced = newText;
        {
            const juce::SpinLock::ScopedLockType lock (guard);
            std::swap (text, replaced);
        }
    }

    operator juce::String() const { return get(); }
    SharedString& operator= (const juce::String& newText)
    {
        set (newText);
        return *this;
    }

private:
    mutable juce::SpinLock guard;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE (SharedString)
};
