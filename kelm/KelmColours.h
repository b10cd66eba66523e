// The toolkit palette: twelve opaque colours shared by the standard controls and the editor.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace kelm
{
struct KelmColours
{
    static inline const juce::Colour blue { 0xFF1C91AB };
    static inline const juce::Colour green { 0xFF199143 };
    static inline const juce::Colour yellow { 0xFFCCB51F };
    static inline const juce::Colour red { 0xFFD8504D };
    static inline const juce::Colour orange { 0xFFC67624 };
    static inline const juce::Colour lime { 0xFF96CA30 };
    static inline const juce::Colour teal { 0xFF4BC89A };
    static inline const juce::Colour pink { 0xFFDD42C2 };
    static inline const juce::Colour purple { 0xFF9731C2 };
    static inline const juce::Colour grey { 0xFF303030 };
    static inline const juce::Colour dark_grey { 0xFF272727 };
    static inline const juce::Colour light_grey { 0xFFBDBDBD };
};
} // namespace kelm
