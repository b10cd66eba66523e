// Writing stored documents as one line of XML in time linear in their size.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace kelm
{
/** Writes the tree exactly as the framework writes `tree.createXml()` with a single-line format
    without header, byte for byte, except that a character XML cannot hold is written as U+FFFD.
    The framework's conversion looks every attribute up among those already set, which makes an
    element with many attributes cost the square of their number; this writer is linear. */
void writeSingleLineXml (juce::OutputStream& out, const juce::ValueTree& tree);
} // namespace kelm
