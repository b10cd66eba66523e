// Reading stored documents from untrusted sources: XML text, chunk bytes and files, and their numbers.
#include "kelm/DocumentReading.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace kelm
{
namespace
{
bool startsWithIgnoringCase (std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;

    for (size_t i = 0; i < prefix.size(); ++i)
        if (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) (unsigned char) text[i])
            != juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) (unsigned char) prefix[i]))
            return false;

    return true;
}

/** True when the text is safe to hand to the framework's parser. Works on the UTF-8 bytes: every
    character that matters here is ASCII, and no byte of a multi-byte sequence is. */
bool isSafeToParse (std::string_view text)
{
    constexpr auto npos = std::string_view::npos;
    int depth = 0;
    size_t i = 0;

    // Skips past the terminator; an unterminated construct ends the scan (the parser fails there).
    const auto skipPast = [&] (size_t from, std::string_view terminator) {
        const auto end = text.find (terminator, from);
        i = end == npos ? npos : end + terminator.size();
    };

    while (i != npos && (i = text.find ('<', i)) != npos)
    {
        const auto rest = text.substr (i);

        if (rest.substr (0, 4) == "<!--")
            skipPast (i + 4, "-->");
        else if (rest.substr (0, 9) == "<![CDATA[")
            skipPast (i + 9, "]]>");
        else if (rest.substr (0, 2) == "<?")
            skipPast (i + 2, "?>");
        else if (startsWithIgnoringCase (rest, "<!DOCTYPE"))
            return false;
        else if (rest.substr (0, 2) == "<!")
            skipPast (i + 2, ">");
        else if (rest.substr (0, 2) == "</")
        {
            --depth;
            skipPast (i + 2, ">");
        }
        else
        {
            // An opening tag: find its end outside quoted attribute values.
            size_t k = i + 1;
            char quote = 0;

            for (; k < text.size(); ++k)
            {
                const char c = text[k];

                if (quote != 0)
                {
                    if (c == quote)
                        quote = 0;
                }
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '>')
                    break;
            }

            if (k >= text.size())
                break;

            if (text[k - 1] != '/' && ++depth > maxDocumentDepth)
                return false;

            i = k + 1;
        }
    }

    return true;
}

std::unique_ptr<juce::XmlElement> parseChecked (const juce::String& text)
{
    const auto* utf8 = text.toRawUTF8();

    if (! isSafeToParse (std::string_view (utf8, std::strlen (utf8))))
        return {};

    juce::XmlDocument document (text);
    return document.getDocumentElement();
}

// The framework's text decoders may look up to three bytes past a truncated multi-byte
// sequence; a zero-padded copy keeps them inside memory we own.
constexpr size_t decoderPadding = 4;
} // namespace

std::unique_ptr<juce::XmlElement> parseDocumentText (const juce::String& text)
{
    return parseChecked (text);
}

std::unique_ptr<juce::XmlElement> parseDocumentBytes (const void* data, size_t numBytes)
{
    if (data == nullptr || numBytes == 0 || numBytes > (size_t) std::numeric_limits<int>::max() - decoderPadding)
        return {};

    juce::MemoryBlock padded (numBytes + decoderPadding, true);
    padded.copyFrom (data, 0, numBytes);
    return parseChecked (juce::String::fromUTF8 (static_cast<const char*> (padded.getData()), (int) numBytes));
}

std::unique_ptr<juce::XmlElement> parseDocumentFile (const juce::File& file)
{
    juce::MemoryBlock bytes;

    if (! file.existsAsFile() || ! file.loadFileAsData (bytes) || bytes.getSize() == 0
        || bytes.getSize() > (size_t) std::numeric_limits<int>::max() - decoderPadding)
        return {};

    const auto numBytes = bytes.getSize();
    bytes.setSize (numBytes + decoderPadding, true);
    return parseChecked (juce::String::createStringFromData (bytes.getData(), (int) numBytes));
}

int wholeNumberFromDouble (double value) noexcept
{
    if (std::isnan (value))
        return 0;

    if (value >= (double) std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();

    if (value <= (double) std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();

    return (int) value;
}

float singleFromDouble (double value) noexcept
{
    if (std::isnan (value))
        return std::numeric_limits<float>::quiet_NaN();

    if (value > (double) std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();

    if (value < -(double) std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();

    return (float) value;
}

int readWholeNumber (const juce::var& value) noexcept
{
    if (value.isString())
    {
        auto s = value.toString().getCharPointer().findEndOfWhitespace();
        const bool negative = *s == '-';

        if (negative)
            ++s;

        // Accumulated as a negative number so that the int minimum fits.
        constexpr int lowest = std::numeric_limits<int>::min();
        int magnitude = 0;

        for (auto c = s.getAndAdvance(); c >= '0' && c <= '9'; c = s.getAndAdvance())
        {
            const int digit = (int) (c - '0');
            magnitude = magnitude < (lowest + digit) / 10 ? lowest : magnitude * 10 - digit;
        }

        if (negative)
            return magnitude;

        return magnitude == lowest ? std::numeric_limits<int>::max() : -magnitude;
    }

    if (value.isDouble())
        return wholeNumberFromDouble ((double) value);

    return (int) value;
}
} // namespace kelm
