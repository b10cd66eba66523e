// Reading untrusted documents: which texts reach the parser, and numbers read without overflow.
#include <gtest/gtest.h>

#include "kelm/DocumentReading.h"

#include <cmath>
#include <limits>

namespace
{
juce::String nested (int depth)
{
    juce::String text;
    for (int i = 0; i < depth; ++i)
        text << "<e>";
    for (int i = 0; i < depth; ++i)
        text << "</e>";
    return text;
}
} // namespace

TEST (DocumentReading, TextsOurWritersMakeAreRead)
{
    const auto xml = kelm::parseDocumentText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n"
                                              "<!-- note --><a x=\"&amp;&#65;&#x42;&lt;&gt;&quot;'\">\r\n"
                                              "  <b y='1'/><![CDATA[<c>]]>\r\n</a>\r\n");
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("x"), juce::String ("&AB<>\"'"));
    EXPECT_NE (xml->getChildByName ("b"), nullptr);

    // Nesting up to the limit is read; one level more is not.
    EXPECT_NE (kelm::parseDocumentText (nested (kelm::maxDocumentDepth)), nullptr);
    EXPECT_EQ (kelm::parseDocumentText (nested (kelm::maxDocumentDepth + 1)), nullptr);
    // Closing tags and self-closing children keep the count down.
    juce::String wide ("<r>");
    for (int i = 0; i < 1000; ++i)
        wide << "<c/><d></d>";
    EXPECT_NE (kelm::parseDocumentText (wide + "</r>"), nullptr);
}

TEST (DocumentReading, TextsTheParserCannotTakeAreRefused)
{
    for (const char* text : { "<!DOCTYPE a [<!ENTITY e \"&e;&e;\">]><a>&e;</a>",
                              "<a><?pi?>text</a>",
                              "<a>&custom;</a>",
                              "<a x=\"&#12\"/>",
                              "<a>&#xFFFFFFFFF;</a>",
                              "<a x=\"<\"/>",
                              "<a x=\"1>",
                              "<a x=\"1\"></a",
                              "< a></a>",
                              "<a><!-- open</a>",
                              "<a><![CDATA[ open</a>" })
        EXPECT_EQ (kelm::parseDocumentText (text), nullptr) << text;
}

TEST (DocumentReading, BytesThatAreNotUtf8AreRefused)
{
    // A lead byte of a four-byte sequence last: the decoder must not read past the data.
    const char truncated[] = { '<', 'a', ' ', 'x', '=', '"', '\xf0' };
    EXPECT_EQ (kelm::parseDocumentBytes (truncated, sizeof (truncated)), nullptr);

    // Bytes 0xff in a closing tag made the parser's search for '>' step past the end.
    const char invalid[] = { '<', 'a', '>', '<', '/', '\xff', '\xff', '\xff', 'a', '>' };
    EXPECT_EQ (kelm::parseDocumentBytes (invalid, sizeof (invalid)), nullptr);

    const char accented[] = { '<', 'a', ' ', 'x', '=', '"', '\xc3', '\xa9', '"', '/', '>' };
    const auto xml = kelm::parseDocumentBytes (accented, sizeof (accented));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("x"), juce::String (juce::CharPointer_UTF8 ("\xc3\xa9")));
    EXPECT_EQ (kelm::parseDocumentBytes (nullptr, 10), nullptr);
    EXPECT_EQ (kelm::parseDocumentBytes (truncated, 0), nullptr);
}

TEST (DocumentReading, WholeNumbersSaturate)
{
    constexpr int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    EXPECT_EQ (kelm::readWholeNumber ("  42abc"), 42);
    EXPECT_EQ (kelm::readWholeNumber ("-7"), -7);
    EXPECT_EQ (kelm::readWholeNumber ("abc"), 0);
    EXPECT_EQ (kelm::readWholeNumber ("1e3"), 1);
    EXPECT_EQ (kelm::readWholeNumber ("2147483647"), most);
    EXPECT_EQ (kelm::readWholeNumber ("2147483648"), most);
    EXPECT_EQ (kelm::readWholeNumber ("-2147483648"), least);
    EXPECT_EQ (kelm::readWholeNumber ("-99999999999999999999"), least);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (1.0e300)), most);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (-1.0e300)), least);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (std::nan (""))), 0);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (-3.9)), -3);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (7)), 7);
    EXPECT_EQ (kelm::readWholeNumber (juce::var()), 0);

    EXPECT_EQ (kelm::singleFromDouble (1.0e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ (kelm::singleFromDouble (-1.0e300), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE (std::isnan (kelm::singleFromDouble (std::nan (""))));
    EXPECT_EQ (kelm::singleFromDouble (0.1), 0.1f);
}
