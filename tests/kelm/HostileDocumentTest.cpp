// Hostile documents: chunk and preset texts that a careless or malicious writer made.
#include <gtest/gtest.h>

#include "../plugin/StateTestHelpers.h"
#include "kelm/DocumentReading.h"
#include "kelm/DocumentWriting.h"

using namespace calyth::test;

TEST (HostileDocument, CharactersXmlCannotHoldAndGreaterThanInsideQuotes)
{
    CalythAudioProcessor p;
    const auto nameAfterChunkNaming = [&p] (const std::string& name) {
        applyChunk (p, chunkFromBytes ("<Calyth><Metadata preset_name=\"" + name + "\"/></Calyth>"));
        return p.currentPresetName.get();
    };
    // Control characters, a surrogate, U+FFFE and U+FFFF, as bytes and as references, and an
    // overlong '<' that the parser would decode: each chunk is ignored.
    for (const char* bad : { "\x01", "&#1;", "&#x1F;", "\xED\xA0\x80", "&#xD800;", "\xEF\xBF\xBE", "&#65535;", "\xC0\xBC" })
        EXPECT_EQ (nameAfterChunkNaming (std::string ("x") + bad), "INIT") << bad;
    // Tab, line ends and characters beyond the basic plane stay readable.
    EXPECT_EQ (nameAfterChunkNaming ("&#9;&#xA;\xC3\xA9\xF0\x9F\x8E\xB9"), juce::String (juce::CharPointer_UTF8 ("\t\n\xC3\xA9\xF0\x9F\x8E\xB9")));

    ScopedFiles files;
    const auto control = juce::String::charToString (7);
    EXPECT_FALSE (p.loadPresetFromFile (files.write (homeFolder().getChildFile ("c.cpst"), "<Calyth n=\"" + control + "\"/>")));
    EXPECT_FALSE (p.loadPresetFromFile (files.write (homeFolder().getChildFile ("a" + control + "b.cpst"), "<Calyth/>")));

    // A "/>" in a value quoted either way is text and ends no tag: the depth cap counts every level.
    const auto nested = [] (int depth) { return juce::String::repeatedString ("<e a='\"/>' b=\"'/>\">", depth) + juce::String::repeatedString ("</e>", depth); };
    EXPECT_TRUE (kelm::parseDocumentText (nested (kelm::maxDocumentDepth)) != nullptr && kelm::parseDocumentText (nested (kelm::maxDocumentDepth + 1)) == nullptr);
    // A '<' stays refused inside quotes, and so does a quote left open.
    EXPECT_TRUE (kelm::parseDocumentText ("<a b=\"<\"/>") == nullptr && kelm::parseDocumentText ("<a b=\">/>") == nullptr);
}

TEST (HostileDocument, ChunkWriterWritesTheFrameworksBytesInLinearTime)
{
    const auto format = juce::XmlElement::TextFormat().singleLine().withoutHeader();
    auto tree = juce::ValueTree::fromXml (*juce::parseXML (juce::String (juce::CharPointer_UTF8 (
        "<Calyth a=\"&amp;&lt;&gt;&quot;'\xC3\xA9\xF0\x9F\x8E\xB9&#9;&#10;&#13;~\" e=\"\"><PARAM id=\"x_pos\" value=\"0.5\"/><F f=\"1\"><D/></F></Calyth>"))));
    tree.setProperty ("n", 42, nullptr).setProperty ("d", 0.1, nullptr).setProperty ("t", true, nullptr);
    // A binary value is written under "base64:" and its name; a text property of that name then overwrites it in place.
    tree.setProperty ("blob", juce::var (juce::MemoryBlock ("xyz", 3)), nullptr).setProperty ("base64:blob", "text", nullptr).setProperty ("z", 1, nullptr);
    juce::MemoryOutputStream ours, framework;
    kelm::writeSingleLineXml (ours, tree);
    tree.createXml()->writeTo (framework, format);
    EXPECT_EQ (ours.toString(), framework.toString());

    // A character XML cannot hold is never written: it becomes U+FFFD.
    CalythAudioProcessor source, target;
    source.currentPresetName.set ("x" + juce::String::charToString (0x1b) + juce::String::charToString (0xfffe));
    const auto chunk = chunkOf (source);
    applyChunk (target, chunk);
    EXPECT_EQ (target.currentPresetName.get(), "x" + juce::String::repeatedString (juce::String::charToString (0xfffd), 2));
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (chunk.getData()) + 8, (int) chunk.getSize() - 9), documentOf (chunk)->toString (format));
}
