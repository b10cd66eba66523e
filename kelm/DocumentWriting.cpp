// Writing stored documents: one line of XML in time linear in their size, and files that replace others whole or not at all.
#include "kelm/DocumentWriting.h"

#include <cerrno>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kelm
{
namespace
{
bool isXmlCharacter (juce::juce_wchar c) noexcept
{
    return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) || (c >= 0xe000 && c <= 0xfffd)
           || (c >= 0x10000 && c <= 0x10ffff);
}

/** The ASCII characters the framework's writer copies as they are; everything else becomes an entity. */
bool isCopiedAsIs (juce::juce_wchar c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
           || juce::String (" .,;:-()_+=?!$#@[]/|*%~{}'\\").containsChar (c);
}

/** Writes all the bytes and forces them to the disk; false at the first failure. */
bool writeAllAndSync (int fd, const char* bytes, size_t numBytes)
{
    while (numBytes > 0)
    {
        const auto n = ::write (fd, bytes, numBytes);

        if (n < 0 && errno == EINTR)
            continue;

        if (n <= 0)
            return false;

        bytes += n;
        numBytes -= (size_t) n;
    }

    int result;

    do
        result = ::fsync (fd);
    while (result != 0 && errno == EINTR);

    return result == 0;
}

/** An attribute value as the framework's writer escapes it (line ends included). */
void writeEscaped (juce::OutputStream& out, const juce::String& text)
{
    for (auto t = text.getCharPointer();;)
    {
        auto c = t.getAndAdvance();

        if (c == 0)
            break;

        if (c < 128 && isCopiedAsIs (c))
        {
            out.writeByte ((char) c);
            continue;
        }

        switch (c)
        {
            case '&': out << "&amp;"; break;
            case '"': out << "&quot;"; break;
            case '>': out << "&gt;"; break;
            case '<': out << "&lt;"; break;
            default: out << "&#" << (int) (isXmlCharacter (c) ? c : (juce::juce_wchar) 0xfffd) << ';'; break;
        }
    }
}

/** The attributes the framework's conversion would set: binary values as "base64:" plus the
    name; a name set twice keeps its first place and takes its last value. */
std::vector<std::pair<juce::String, juce::String>> readAttributes (juce::MemoryInputStream& in)
{
    std::vector<std::pair<juce::String, juce::String>> attributes;
    std::unordered_map<juce::String, size_t> places;
    const int numProperties = in.readCompressedInt();

    for (int i = 0; i < numProperties; ++i)
    {
        const auto name = in.readString();
        const auto value = juce::var::readFromStream (in);
        std::pair<juce::String, juce::String> attribute;

        if (auto* binary = value.getBinaryData())
            attribute = { "base64:" + name, binary->toBase64Encoding() };
        else
            attribute = { name, value.toString() };

        const auto [place, isNew] = places.emplace (attribute.first, attributes.size());

        if (isNew)
            attributes.push_back (std::move (attribute));
        else
            attributes[place->second].second = std::move (attribute.second);
    }

    return attributes;
}

/** One element from the tree's binary form: type, properties, children. */
void writeElement (juce::OutputStream& out, juce::MemoryInputStream& in)
{
    const auto tag = in.readString();
    out.writeByte ('<');
    out << tag;

    for (const auto& [name, value] : readAttributes (in))
    {
        out.writeByte (' ');
        out << name;
        out.write ("=\"", 2);
        writeEscaped (out, value);
        out.writeByte ('"');
    }

    const int numChildren = in.readCompressedInt();

    if (numChildren <= 0)
    {
        out.write ("/>", 2);
        return;
    }

    out.writeByte ('>');

    for (int i = 0; i < numChildren; ++i)
        writeElement (out, in);

    out.write ("</", 2);
    out << tag;
    out.writeByte ('>');
}
} // namespace

void writeSingleLineXml (juce::OutputStream& out, const juce::ValueTree& tree)
{
    // A tree hands out its property values only by name, one search each; its binary form lists them in order.
    juce::MemoryOutputStream binary;
    tree.writeToStream (binary);
    juce::MemoryInputStream in (binary.getData(), binary.getDataSize(), false);
    writeElement (out, in);
}

bool replaceFileWith (const juce::File& file, const void* data, size_t numBytes)
{
    const auto target = file.getFullPathName();

    if (target.isEmpty() || (data == nullptr && numBytes > 0))
        return false;

    // Hidden and of another extension, so that no listing of documents shows it meanwhile.
    juce::Random random;
    juce::String temporary;
    int fd = -1;

    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt)
    {
        temporary = file.getSiblingFile ("." + file.getFileName() + "." + juce::String::toHexString (random.nextInt()) + ".tmp").getFullPathName();
        fd = ::open (temporary.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0644);

        if (fd < 0 && errno != EEXIST)
            return false;
    }

    if (fd < 0)
        return false;

    const bool written = writeAllAndSync (fd, static_cast<const char*> (data), numBytes);

    // A failed close may have lost bytes; on Linux the descriptor is released either way.
    if (::close (fd) == 0 && written && ::rename (temporary.toRawUTF8(), target.toRawUTF8()) == 0)
        return true;

    ::unlink (temporary.toRawUTF8());
    return false;
}
} // namespace kelm
