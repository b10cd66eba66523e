// Reading stored documents from untrusted sources: XML text, chunk bytes and files, and their numbers.
#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace kelm
{
/** Deepest element nesting accepted; our documents nest three levels. The framework's parser and
    tree conversions recurse per level, so a deeper text could exhaust a host thread's stack. */
constexpr int maxDocumentDepth = 64;

/** Parses a whole XML document. Returns null when it does not parse, nests deeper than
    `maxDocumentDepth`, or holds what our writers never write and the framework's parser cannot
    take safely: a document type (its entities expand without bounds), a processing instruction
    after the declaration (the parser loops forever on one inside an element), entities other than
    the plain ones, a tag with a '<' or unbalanced quotes inside, or a character that XML 1.0
    cannot hold (control characters, surrogates, U+FFFE, U+FFFF), written or referenced. */
std::unique_ptr<juce::XmlElement> parseDocumentText (const juce::String& text);

/** Parses UTF-8 bytes that need not end in a zero byte nor be valid UTF-8. */
std::unique_ptr<juce::XmlElement> parseDocumentBytes (const void* data, size_t numBytes);

/** Largest document file read. A saved preset is about 4 KB and a controller map less; the cap
    bounds what one read can cost, as a preset may be read inside an audio block. */
constexpr juce::int64 maxDocumentFileBytes = 16 * 1024;

/** Most elements accepted in a document file; a saved preset holds 37. */
constexpr int maxDocumentFileElements = 256;

/** Reads and parses a whole file (text encoding detected as the framework does). Only a regular
    file (or a link to one) of at most `maxBytes` is read, and it is opened without waiting: a pipe
    or a device named like a document is refused before it is opened, and so is a larger file. A
    document nesting deeper than `maxDepth` or of more than `maxElements` elements is refused. */
std::unique_ptr<juce::XmlElement> parseDocumentFile (const juce::File& file, juce::int64 maxBytes = maxDocumentFileBytes,
                                                     int maxDepth = maxDocumentDepth, int maxElements = maxDocumentFileElements);

/** True when every character of the text is one that XML 1.0 can hold. */
bool isXmlText (const juce::String& text) noexcept;

/** A whole number from a stored value: text is read like the framework reads integers (leading
    whitespace, optional minus, digits; no number reads as 0) but saturates at the int range
    instead of wrapping; floating values are truncated and clamped, NaN reads as 0. */
int readWholeNumber (const juce::var& value) noexcept;

/** Double to int without undefined behaviour: truncated, clamped to the int range, NaN gives 0. */
int wholeNumberFromDouble (double value) noexcept;

/** Double to float without undefined behaviour: values beyond the float range become infinite. */
float singleFromDouble (double value) noexcept;
} // namespace kelm
