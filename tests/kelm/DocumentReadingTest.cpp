// Reading untrusted documents: which texts reach the parser, and numbers read without overflow.
#include <gtest/gtest.h>

#include "kelm/DocumentReading.h"

#include <cmath>
#include <limits>

TEST (DocumentReading, WhichTextsReachTheParser)
{
    const auto xml = kelm::parseDocumentText ("<?xml version=\"1.0\"?>\r\n\r\n \r\n<!-- note --><a x=\"&amp;&#65;&#x42;&lt;&gt;&quot;'\">\r\n"
                                              "  <b y='1'/><![CDATA[<c>]]>\r\n</a>\r\n");
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("x"), juce::String ("&AB<>\"'"));

    const auto nested = [] (int depth) { return juce::String::repeatedString ("<e>", depth) + juce::String::repeatedString ("</e>", depth); };
    EXPECT_NE (kelm::parseDocumentText (nested (kelm::maxDocumentDepth)), nullptr);
    EXPECT_EQ (kelm::parseDocumentText (nested (kelm::maxDocumentDepth + 1)), nullptr);
    EXPECT_NE (kelm::parseDocumentText ("<r>" + juce::String::repeatedString ("<c/><d></d>", 1000) + "</r>"), nullptr);

    // Entity definitions, an instruction inside an element (the parser loops on it), odd entities,
    // '<' inside a tag, open quotes, unterminated constructs.
    for (const char* text : { "<!DOCTYPE a [<!ENTITY e \"&e;&e;\">]><a>&e;</a>", "<a><?pi?>text</a>", "<a>&custom;</a>",
                              "<a x=\"&#12\"/>", "<a>&#x123456789;</a>", "<a x=\"<\"/>", "<a x=\"1>", "< a></a>",
                              "<a><!-- open</a>", "<a><![CDATA[ open</a>" })
        EXPECT_EQ (kelm::parseDocumentText (text), nullptr) << text;

    // Bytes that are not UTF-8 (0xff in a closing tag once made the parser run past the text's end).
    const char truncated[] = { '<', 'a', ' ', 'x', '=', '"', '\xf0' };
    const char invalid[] = { '<', 'a', '>', '<', '/', '\xff', '\xff', 'a', '>' };
    const char accented[] = { '<', 'a', ' ', 'x', '=', '"', '\xc3', '\xa9', '"', '/', '>' };
    EXPECT_EQ (kelm::parseDocumentBytes (truncated, sizeof (truncated)), nullptr);
    EXPECT_EQ (kelm::parseDocumentBytes (invalid, sizeof (invalid)), nullptr);
    EXPECT_NE (kelm::parseDocumentBytes (accented, sizeof (accented)), nullptr);
}

TEST (DocumentReading, NumbersSaturate)
{
    constexpr int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    EXPECT_EQ (kelm::readWholeNumber ("  42abc"), 42);
    EXPECT_EQ (kelm::readWholeNumber ("1e3"), 1);
    EXPECT_EQ (kelm::readWholeNumber ("abc"), 0);
    EXPECT_EQ (kelm::readWholeNumber ("2147483648"), most);
    EXPECT_EQ (kelm::readWholeNumber ("-2147483648"), least);
    EXPECT_EQ (kelm::readWholeNumber ("-99999999999999999999"), least);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (1.0e300)), most);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (std::nan (""))), 0);
    EXPECT_EQ (kelm::readWholeNumber (juce::var (-3.9)), -3);
    EXPECT_EQ (kelm::singleFromDouble (-1.0e300), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE (std::isnan (kelm::singleFromDouble (std::nan (""))));
}
