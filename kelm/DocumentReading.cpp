// Reading stored documents from untrusted sources: XML text, chunk bytes and files, and their numbers.
#include "kelm/DocumentReading.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelm
{
namespace
{
bool isAsciiNameChar (char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '.' || c == '-';
}

/** A character XML 1.0 can hold; any other is refused on reading and never written. */
bool isXmlCharacter (juce::uint32 c) noexcept
{
    return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) || (c >= 0xe000 && c <= 0xfffd)
           || (c >= 0x10000 && c <= 0x10ffff);
}

/** One of the five predefined entities or a numeric character reference to a character XML can
    hold, each ending in ';'. */
bool isPlainEntity (std::string_view text)
{
    for (std::string_view name : { "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" })
        if (text.substr (0, name.size()) == name)
            return true;

    const bool hex = text.substr (0, 3) == "&#x";
    size_t k = hex ? 3 : 2;

    if (! hex && text.substr (0, 2) != "&#")
        return false;

    const size_t firstDigit = k;

    juce::uint64 value = 0;

    while (k < text.size() && k - firstDigit < (hex ? 8u : 9u)
           && (hex ? std::isxdigit ((unsigned char) text[k]) != 0 : (text[k] >= '0' && text[k] <= '9')))
    {
        value = value * (hex ? 16u : 10u) + (juce::uint64) juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) text[k]);
        ++k;
    }

    return k > firstDigit && k < text.size() && text[k] == ';' && value <= 0x10ffff && isXmlCharacter ((juce::uint32) value);
}

/** True when the text is safe to hand to the framework's parser. Accepts the documents our writers
    make and everything alike; refuses texts on which that parser hangs (a processing instruction
    after the declaration), expands entities without bounds (a document type), or recurses deeper
    than `maxDepth`. The depth counted here is never below the parser's: every '<' opens
    a tag that ends at the first '>' outside quotes, with balanced quotes and no other '<' inside,
    entities are only the plain ones, so the parser cannot skip a tag boundary that is counted
    here. (The parser takes a quote as the start of a value only where this scan does too; a quote
    anywhere else is an error to the parser, which then reads no children of that tag.)
    Works on the UTF-8 bytes: every character that matters here is ASCII. */
bool isSafeToParse (std::string_view text, int maxDepth, int maxElements)
{
    constexpr auto npos = std::string_view::npos;
    const size_t n = text.size();
    size_t i = 0;

    // The declaration, only as the first thing in the text.
    while (i < n && std::isspace ((unsigned char) text[i]) != 0)
        ++i;

    if (text.substr (i, 2) == "<?")
    {
        const auto end = text.find ("?>", i + 2);

        if (end == npos)
            return false;

        i = end + 2;
    }

    int depth = 0, elements = 0;

    while (i < n)
    {
        const char c = text[i];

        if (c == '&')
        {
            if (! isPlainEntity (text.substr (i)))
                return false;

            ++i;
            continue;
        }

        if (c != '<')
        {
            ++i;
            continue;
        }

        const auto rest = text.substr (i);
        std::string_view skipTo;

        if (rest.substr (0, 4) == "<!--")
            skipTo = "-->";
        else if (rest.substr (0, 9) == "<![CDATA[")
            skipTo = "]]>";

        if (! skipTo.empty())
        {
            const auto end = text.find (skipTo, i + 4);

            if (end == npos)
                return false;

            i = end + skipTo.size();
            continue;
        }

        if (i + 1 >= n)
            return false;

        const bool closing = text[i + 1] == '/';

        if (! closing && ! isAsciiNameChar (text[i + 1]))
            return false; // also "<!DOCTYPE" and "<?" after the start

        size_t k = i + 1;
        char quote = 0;

        // A '>' inside a quoted value is text, as the parser reads it; a '<' is refused even there.
        for (; k < n; ++k)
        {
            const char d = text[k];

            if (d == '<')
                return false;

            if (d == '&' && ! isPlainEntity (text.substr (k)))
                return false;

            if (quote != 0)
            {
                if (d == quote)
                    quote = 0;
            }
            else if (d == '>')
            {
                break;
            }
            else if (d == '"' || d == '\'')
            {
                quote = d;
            }
        }

        if (k >= n || quote != 0)
            return false;

        if (! closing && maxElements > 0 && ++elements > maxElements)
            return false;

        if (closing)
            depth = std::max (0, depth - 1);
        else if (text[k - 1] != '/' && ++depth > maxDepth)
            return false;

        i = k + 1;
    }

    return true;
}

/** Strict UTF-8 up to the first zero byte, holding only characters XML can hold. The framework's
    parser steps through the text by characters: on bytes that are not UTF-8 a step can jump over
    the terminating zero, and it decodes overlong forms, so that bytes the scan above takes for
    text could reach it as a '<'. */
bool isXmlUtf8 (const char* bytes, size_t numBytes)
{
    if (numBytes > (size_t) std::numeric_limits<int>::max())
        return false;

    for (size_t i = 0; i < numBytes && bytes[i] != 0;)
    {
        const auto lead = (juce::uint8) bytes[i];
        size_t length = 1;
        juce::uint32 c = lead, shortest = 0;

        if (lead >= 0x80)
        {
            if ((lead & 0xe0) == 0xc0)
                length = 2, c = lead & 0x1fu, shortest = 0x80;
            else if ((lead & 0xf0) == 0xe0)
                length = 3, c = lead & 0x0fu, shortest = 0x800;
            else if ((lead & 0xf8) == 0xf0)
                length = 4, c = lead & 0x07u, shortest = 0x10000;
            else
                return false;

            if (numBytes - i < length)
                return false;

            for (size_t k = 1; k < length; ++k)
            {
                const auto next = (juce::uint8) bytes[i + k];

                if ((next & 0xc0) != 0x80)
                    return false;

                c = (c << 6) | (next & 0x3fu);
            }
        }

        if (c < shortest || ! isXmlCharacter (c))
            return false;

        i += length;
    }

    return true;
}

bool isNameByte (char c)
{
    return isAsciiNameChar (c) || (unsigned char) c >= 0x80;
}

/** The framework keeps every tag and attribute name in one sorted pool, and a name that joins it
    moves every name sorted behind it: a text with many new names, read in document order, costs
    the square of their number. Pooled here in sorted order first, each new name joins behind the
    ones before it, and the parser then only finds them. Names are taken generously (a name too
    many only costs its lookup); the returned names stay pooled while they are held. */
std::vector<juce::Identifier> poolNames (std::string_view text)
{
    std::vector<std::string_view> names;
    bool inTag = false;
    char quote = 0;

    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];

        if (quote != 0)
        {
            if (c == quote)
                quote = 0;
        }
        else if (! inTag)
        {
            if (c == '<')
            {
                inTag = true;
                size_t end = i + 1;

                while (end < text.size() && isNameByte (text[end]))
                    ++end;

                if (end > i + 1)
                    names.push_back (text.substr (i + 1, end - i - 1));
            }
        }
        else if (c == '>')
        {
            inTag = false;
        }
        else if (c == '"' || c == '\'')
        {
            quote = c;
        }
        else if (c == '=')
        {
            size_t end = i;

            while (end > 0 && std::isspace ((unsigned char) text[end - 1]) != 0)
                --end;

            size_t start = end;

            while (start > 0 && isNameByte (text[start - 1]))
                --start;

            if (start < end)
                names.push_back (text.substr (start, end - start));
        }
    }

    // Byte order of UTF-8 is the pool's order of characters.
    std::sort (names.begin(), names.end());
    names.erase (std::unique (names.begin(), names.end()), names.end());

    std::vector<juce::Identifier> pooled;
    pooled.reserve (names.size());

    for (const auto name : names)
        pooled.emplace_back (juce::String::fromUTF8 (name.data(), (int) name.size()));

    return pooled;
}

std::unique_ptr<juce::XmlElement> parseChecked (const juce::String& text, int maxDepth = maxDocumentDepth, int maxElements = 0)
{
    const auto* utf8 = text.toRawUTF8();
    const auto numBytes = std::strlen (utf8);

    if (! isXmlUtf8 (utf8, numBytes) || ! isSafeToParse (std::string_view (utf8, numBytes), maxDepth, maxElements))
        return {};

    const auto pooledNames = poolNames (std::string_view (utf8, numBytes));
    juce::XmlDocument document (text);
    return document.getDocumentElement();
}
} // namespace

std::unique_ptr<juce::XmlElement> parseDocumentText (const juce::String& text)
{
    return parseChecked (text);
}

std::unique_ptr<juce::XmlElement> parseDocumentBytes (const void* data, size_t numBytes)
{
    const auto* bytes = static_cast<const char*> (data);

    if (bytes == nullptr || numBytes == 0 || ! isXmlUtf8 (bytes, numBytes))
        return {};

    return parseChecked (juce::String::fromUTF8 (bytes, (int) numBytes));
}

std::unique_ptr<juce::XmlElement> parseDocumentFile (const juce::File& file, juce::int64 maxBytes, int maxDepth, int maxElements)
{
    const auto path = file.getFullPathName();
    struct stat info;

    // Tested before opening, so that nothing but a small regular file is ever opened.
    if (path.isEmpty() || ::stat (path.toRawUTF8(), &info) != 0 || ! S_ISREG (info.st_mode)
        || info.st_size <= 0 || info.st_size > maxBytes)
        return {};

    // Without waiting, should a pipe have taken the file's place since; tested again once open.
    const int fd = ::open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

    if (fd < 0)
        return {};

    juce::MemoryBlock bytes;

    if (::fstat (fd, &info) == 0 && S_ISREG (info.st_mode) && info.st_size > 0 && info.st_size <= maxBytes)
    {
        // One byte more than the size tells a file that grew since.
        bytes.setSize ((size_t) info.st_size + 1);
        size_t numRead = 0;

        while (numRead < bytes.getSize())
        {
            const auto n = ::read (fd, static_cast<char*> (bytes.getData()) + numRead, bytes.getSize() - numRead);

            if (n < 0 && errno == EINTR)
                continue;

            if (n <= 0)
                break;

            numRead += (size_t) n;
        }

        bytes.setSize (numRead <= (size_t) info.st_size ? numRead : 0);
    }

    ::close (fd);

    if (bytes.getSize() == 0)
        return {};

    // Decoded as the framework decodes files: byte-order marks, and Windows-1252 for text that is not UTF-8.
    return parseChecked (juce::String::createStringFromData (bytes.getData(), (int) bytes.getSize()), maxDepth, maxElements);
}

bool isXmlText (const juce::String& text) noexcept
{
    const auto* utf8 = text.toRawUTF8();
    return isXmlUtf8 (utf8, std::strlen (utf8));
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
