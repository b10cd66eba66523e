// Writing stored documents: one line of XML in time linear in their size, and files that replace others whole or not at all.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace kelm
{
/** Writes the tree exactly as the framework writes `tree.createXml()` with a single-line format
    without header, byte for byte, except that a character XML cannot hold is written as U+FFFD.
    The framework's conversion looks every attribute up among those already set, which makes an
    element with many attributes cost the square of their number; this writer is linear. */
void writeSingleLineXml (juce::OutputStream& out, const juce::ValueTree& tree);

/** Makes the file hold exactly the bytes, or leaves it as it was and returns false. The bytes go to
    a new file beside it (mode 0644 less the umask, as the framework makes files), which takes the
    file's place only once every byte is written and on disk; on any failure it is removed again.
    The framework's file stream would swap in a file cut short by a full disk without a word. */
bool replaceFileWith (const juce::File& file, const void* data, size_t numBytes);
} // namespace kelm
