// The host state chunk: bytes, document order, round trips, the readers' rules, untrusted and hostile documents.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"
#include "kelm/DocumentReading.h"
#include "kelm/DocumentWriting.h"

#include <regex>

using namespace calyth::test;

namespace
{
/** The children of the next chunk, each as its tag's initial followed by its identifier, pole and channel. */
juce::String shapeOf (CalythAudioProcessor& p)
{
    juce::StringArray shape;
    const auto xml = documentOf (chunkOf (p));
    for (auto* child : xml->getChildIterator())
        shape.add (child->getTagName().substring (0, 1) + child->getStringAttribute ("id") + child->getStringAttribute ("pole") + child->getStringAttribute ("channel"));
    return shape.joinIntoString (" ");
}

const juce::String parametersAndRecords ("Pdry_wet Pin_gain Pout_gain Ppole_a_diff Ppole_b_diff Ppole_c_diff Ppole_d_diff Pstereo_link_a Pstereo_link_b "
                                         "Pstereo_link_c Pstereo_link_d Ptrajectory Px_pos Px_traj_amount Px_traj_range Py_pos Py_traj_amount Py_traj_range "
                                         "D0 G00 R00 G10 R10 G20 R20 G30 R30 D1 G01 R01 G11 R11 G21 R21 G31 R31");
juce::String textOf (CalythAudioProcessor& p) { return documentOf (chunkOf (p))->toString (juce::XmlElement::TextFormat().singleLine()); }
juce::String nested (int depth) { return juce::String::repeatedString ("<e>", depth) + juce::String::repeatedString ("</e>", depth); }

// The engine children in document order of one channel's kinds, with their attribute names; child c (diffusers 0 and 1,
// grains 2 + 2 pole + channel, resonators 10 + 2 pole + channel) holds value own (c, a) under its attribute a (a grain's
// size in whole tens of milliseconds, whole samples at 44.1 kHz).
const char* const diffuserNames[] = { "feed", "damp" }, *const resonatorNames[] = { "freq", "feed" };
const char* const grainNames[] = { "density", "envelope", "size", "speed", "size_rnd", "speed_rnd", "amp_rnd", "out_gain" };
float own (int c, int a) { return c >= 2 && c < 10 && a < 3 ? (float) (a == 2 ? 10 * c : c * 8 + a + 1) : (float) (c * 8 + a + 1) / 64.0f; }
} // namespace

TEST (StateChunk, FreshInstanceBytesDocumentOrderRoundTripAndTheWriter)
{
    CalythAudioProcessor processor;
    const auto block = chunkOf (processor);
    const auto* bytes = static_cast<const char*> (block.getData());
    const auto size = block.getSize();
    ASSERT_GT (size, 9u);
    EXPECT_EQ (juce::String::toHexString (bytes, 4, 1) + " " + juce::String (juce::ByteOrder::littleEndianInt (bytes + 4)) + " " + juce::String ((int) bytes[size - 1]),
               "56 43 32 21 " + juce::String (size - 9) + " 0"); // magic, length word, trailing zero
    // One line without declaration; parameters by identifier, then each channel's records, the name and the empty map,
    // with the attributes of each kind in order and whole numbers without a point.
    const juce::String text (bytes + 8, size - 9);
    const auto format = juce::XmlElement::TextFormat().singleLine().withoutHeader();
    EXPECT_TRUE (! text.containsAnyOf ("\r\n") && text.contains ("<Metadata preset_name=\"INIT\"/>") && text.contains ("<Granulizer density=\"8\" envelope=\""));
    EXPECT_EQ (shapeOf (processor), parametersAndRecords + " M C");
    const auto kinds = std::regex_replace (text.toStdString(), std::regex ("=\"[^\"]*\""), "");
    const auto channel = "<Diffuser feed damp channel/>" + juce::String::repeatedString ("<Granulizer density envelope size speed size_rnd speed_rnd amp_rnd out_gain pole channel/>"
                                                                                       "<Resonator freq feed pole channel/>", 4);
    EXPECT_EQ (juce::String (kinds), "<Calyth>" + juce::String::repeatedString ("<PARAM id value/>", 18) + channel + channel + "<Metadata preset_name/><Calyth_MIDI_MAP/></Calyth>");

    // A round trip to an instance at another rate.
    CalythAudioProcessor target;
    processor.prepareToPlay (48000.0, 512);
    for (int k = 0; k < 8; ++k)
        grain (processor, k / 2, k % 2).size = 2400.0f * (float) (1 + k % 2); // 50 or 100 ms, exact at 44.1 kHz too
    grain (processor, 3, 1).freeze = true;
    setParameter (processor, "x_pos", 0.25f);
    processor.ccMapper.loadMapFromXml (*juce::parseXML ("<Calyth_MIDI_MAP><y_pos cc=\"74\"/></Calyth_MIDI_MAP>"));
    processor.currentPresetName = "Dusk" + juce::String::charToString (0x1b) + juce::String::charToString (0xfffe);
    const auto written = chunkOf (processor);
    applyChunk (target, written);
    // Sizes travel in milliseconds, all else stored reads back to the bit, each engine child once; freeze is not kept.
    // A character XML cannot hold is written as U+FFFD; the bytes are the framework's form of the document read.
    EXPECT_EQ (textOf (target), textOf (processor));
    EXPECT_TRUE (grain (target, 3, 1).size.load() == 4410.0f && ! grain (target, 3, 1).freeze.load());
    EXPECT_EQ (target.currentPresetName.get(), "Dusk" + juce::String::repeatedString (juce::String::charToString (0xfffd), 2));
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (written.getData()) + 8, (int) written.getSize() - 9),
               documentOf (written)->toString (format));

    // Our single-line writer gives the framework's bytes for any tree.
    auto tree = juce::ValueTree::fromXml (*juce::parseXML (juce::String (juce::CharPointer_UTF8 (
        "<Calyth a=\"&amp;&lt;&gt;&quot;'\xC3\xA9\xF0\x9F\x8E\xB9&#9;&#10;&#13;~\" e=\"\"><PARAM id=\"x_pos\" value=\"0.5\"/><F f=\"1\"><D/></F></Calyth>"))));
    tree.setProperty ("n", 42, nullptr).setProperty ("d", 0.1, nullptr).setProperty ("t", true, nullptr);
    // A binary value is written under "base64:" and its name; a text property of that name then overwrites it in place.
    tree.setProperty ("blob", juce::var (juce::MemoryBlock ("xyz", 3)), nullptr).setProperty ("base64:blob", "text", nullptr).setProperty ("z", 1, nullptr);
    juce::MemoryOutputStream ours, framework;
    kelm::writeSingleLineXml (ours, tree);
    tree.createXml()->writeTo (framework, format);
    EXPECT_EQ (ours.toString(), framework.toString());
}

TEST (StateChunk, ReadersRulesAndEachEngineAttributeToItsOwnField)
{
    CalythAudioProcessor processor;
    auto& map = processor.ccMapper.ccMap;
    grain (processor, 1, 0).speed = 1.5f;
    applyChunk (processor, chunkFromText ("<Calyth><Granulizer density=\"5\" pole=\"4\" channel=\"0\"/><Granulizer density=\"5\" pole=\"0\" channel=\"-1\"/><Diffuser feed=\"0.9\" channel=\"2\"/>"
                          "<calyth_midi_map><y_pos cc=\"7\"/></calyth_midi_map><CALYTH_MIDI_MAP/><Granulizer density=\"6\" pole=\"1\" channel=\"0\"/>"
                          "<Diffuser feed=\"0.2\" damp=\"0.3\" channel=\"0\"/><Diffuser feed=\"0.6\" channel=\"0\"/><Metadata/></Calyth>"));
    // Records out of range are skipped; a record without "size" is 100 ms long and keeps other missing
    // values; two diffusers for one channel apply in order; no name reads as empty.
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (grain (processor, k / 2, k % 2).density.load(), k == 2 ? 6 : 8);
    EXPECT_EQ (std::tuple (grain (processor, 1, 0).size.load(), grain (processor, 1, 0).speed.load(), processor.diffuserParameters[0]->feedback.load(),
                           processor.diffuserParameters[0]->damp.load(), processor.currentPresetName.get()), std::tuple (4410.0f, 1.5f, 0.6f, 0.3f, juce::String()));
    // The first map element is the map, in its own spelling; skipped children and the second map lead the next chunk.
    EXPECT_EQ (map.getType().toString() + " " + map.getChild (0).getType().toString(), juce::String ("calyth_midi_map y_pos"));
    EXPECT_EQ (shapeOf (processor), "G40 G0-1 D2 C " + parametersAndRecords + " M c");
    // An empty map element clears the bindings; a length word beyond the data reads the bytes present;
    // declaration, comment, references and the deepest nesting allowed are read.
    applyChunk (processor, chunkFromText ("<?xml version=\"1.0\"?>\r\n<!-- c --><Calyth><Calyth_MIDI_MAP/>" + nested (kelm::maxDocumentDepth - 1)
                                              + "<Metadata preset_name=\"&amp;&#65;&#x42;&lt;&gt;&quot;'\"/></Calyth>", 1 << 30));
    EXPECT_EQ (juce::String (map.getNumChildren()) + " " + processor.currentPresetName.get(), juce::String ("0 &AB<>\"'"));

    // Then values at the extremes of their types, and a document of any size.
    auto& g = grain (processor, 1, 0);
    g.speed = 1.0f;
    const float size = grain (processor, 0, 0).size;
    setParameter (processor, "dry_wet", 0.2f);
    applyChunk (processor, chunkFromText ("<Calyth><PARAM id=\"dry_wet\" value=\"nan\"/><PARAM id=\"x_pos\" value=\"1e30\"/><Granulizer density=\"99999999999\" envelope=\" -42abc\""
                          " size=\"1e300\" speed=\"nan\" size_rnd=\"1e30\" speed_rnd=\"-inf\" pole=\"1\" channel=\"0\"/>"
                          "<Granulizer density=\"1\" pole=\"4294967296\" channel=\"0\"/><Granulizer size=\"nan\" pole=\"0\" channel=\"0\"/></Calyth>"));
    // NaN keeps the value; whole numbers saturate or stop at the first non-digit; a huge pole does not wrap to 0.
    EXPECT_EQ (juce::String (g.speed.load()) + " " + juce::String (g.density.load()) + " " + juce::String (g.envelope.load()), juce::String ("1 2147483647 -42"));
    EXPECT_FLOAT_EQ (parameterValue (processor, "dry_wet"), 0.2f);
    EXPECT_EQ (std::pair (grain (processor, 0, 0).density.load(), grain (processor, 0, 0).size.load()), std::pair (8, size));
    // A huge foreign document full of wild records is read whole, and the sound stays finite.
    applyChunk (processor, chunkFromText ("<Foreign>" + juce::String::repeatedString ("<Granulizer speed=\"1e30\" size=\"-1e30\" pole=\"1\" channel=\"0\"/>", 3000) + "</Foreign>"));
    EXPECT_TRUE (g.speed.load() == 1.0e30f && runBlock (processor) && runBlock (processor));

    // A hand-written chunk in which every engine attribute holds a value of its own reaches the field of its name, and
    // so does the chunk then written (sizes to milliseconds and back).
    const auto child = [] (const char* tag, const char* const* names, int count, int c, int pole, int ch) {
        juce::String text ("<" + juce::String (tag));
        for (int a = 0; a < count; ++a)
            text << " " << names[a] << "=\"" << juce::String (own (c, a), 6) << "\"";
        return text + (pole >= 0 ? " pole=\"" + juce::String (pole) + "\"" : juce::String()) + " channel=\"" + juce::String (ch) + "\"/>";
    };
    juce::String text ("<Calyth>");
    for (int ch = 0; ch < 2; ++ch)
        text << child ("Diffuser", diffuserNames, 2, ch, -1, ch);
    for (int pole = 0; pole < 4; ++pole)
        for (int ch = 0; ch < 2; ++ch)
            text << child ("Granulizer", grainNames, 8, 2 + 2 * pole + ch, pole, ch) << child ("Resonator", resonatorNames, 2, 10 + 2 * pole + ch, pole, ch);
    CalythAudioProcessor copy;
    applyChunk (processor, chunkFromText (text + "</Calyth>"));
    applyChunk (copy, chunkOf (processor));
    for (auto* p : { &processor, &copy })
        for (int k = 0; k < 8; ++k)
        {
            const int pole = k / 2, ch = k % 2, c = 2 + k;
            const auto& g = grain (*p, pole, ch);
            EXPECT_EQ (std::tuple (g.density.load(), g.envelope.load(), std::round (g.size.load()), g.speed.load(), g.sizeRnd.load(), g.speedRnd.load(), g.ampRnd.load(), g.gain.load()),
                       std::tuple ((int) own (c, 0), (int) own (c, 1), (float) (441 * c), own (c, 3), own (c, 4), own (c, 5), own (c, 6), own (c, 7)));
            const auto& r = *(*p->resonatorParameters[pole])[ch];
            EXPECT_EQ (std::pair (r.freq.load(), r.feedback.load()), std::pair (own (c + 8, 0), own (c + 8, 1)));
            EXPECT_EQ (std::pair (p->diffuserParameters[ch]->feedback.load(), p->diffuserParameters[ch]->damp.load()), std::pair (own (ch, 0), own (ch, 1)));
        }
}

TEST (StateChunk, UnreadableEmptyOrHostileInputChangesNothing)
{
    CalythAudioProcessor processor;
    setParameter (processor, "x_pos", 0.3f);
    processor.currentPresetName = "Stable";
    processor.ccMapper.mapLastCCToParameter ("y_pos");
    const auto before = chunkOf (processor);
    const juce::String valid ("<Calyth><Metadata preset_name=\"Changed\"/></Calyth>");
    auto wrongMagic = chunkFromText (valid), headerOnly = wrongMagic, notUtf8 = wrongMagic;
    wrongMagic[0] = 0x57;
    headerOnly.setSize (8);
    notUtf8[notUtf8.getSize() - 4] = notUtf8[notUtf8.getSize() - 3] = '\xff'; // in the closing tag: once read past the end
    // An empty root; bad wrappers; too deep; an instruction inside an element (once an endless loop), entity
    // definitions and unknown references (the fuzz target holds the rest of the broken documents).
    for (const auto& chunk : { chunkFromText ("<Calyth/>"), wrongMagic, headerOnly, notUtf8, chunkFromText (valid, 0), chunkFromText (valid, 0xffffffffLL),
                               chunkFromText ("<Calyth>" + nested (kelm::maxDocumentDepth) + "</Calyth>"), chunkFromText ("<a><?pi?><Metadata preset_name=\"x\"/></a>"),
                               chunkFromText ("<!DOCTYPE a [<!ENTITY e \"&e;&e;\">]><a><Metadata preset_name=\"&e;\"/></a>"), chunkFromText ("<a><Metadata preset_name=\"&custom;\"/></a>") })
        applyChunk (processor, chunk);
    // Control characters, a surrogate, U+FFFE and U+FFFF, as bytes and as references, and an overlong '<' that the
    // parser would decode; a control character in a preset file or in its name.
    for (const char* bad : { "\x01", "&#1;", "&#x1F;", "\xED\xA0\x80", "&#xD800;", "\xEF\xBF\xBE", "&#65535;", "\xC0\xBC" })
        applyChunk (processor, chunkFromBytes (std::string ("<Calyth><Metadata preset_name=\"x") + bad + "\"/></Calyth>"));
    const auto control = juce::String::charToString (7);
    EXPECT_FALSE (processor.loadPresetFromFile (writeFile (homeFolder().getChildFile ("c.cpst"), "<Calyth n=\"" + control + "\"/>")));
    EXPECT_FALSE (processor.loadPresetFromFile (writeFile (homeFolder().getChildFile ("a" + control + "b.cpst"), "<Calyth/>")));
    processor.setStateInformation (nullptr, 0);
    processor.setStateInformation (before.getData(), -5);
    EXPECT_EQ (chunkOf (processor), before);

    // Tab, line ends and characters beyond the basic plane stay readable.
    applyChunk (processor, chunkFromBytes ("<Calyth><Metadata preset_name=\"&#9;&#xA;\xC3\xA9\xF0\x9F\x8E\xB9\"/></Calyth>"));
    EXPECT_EQ (processor.currentPresetName.get(), juce::String (juce::CharPointer_UTF8 ("\t\n\xC3\xA9\xF0\x9F\x8E\xB9")));
    // A "/>" in a value quoted either way is text and ends no tag: the depth cap counts every level.
    const auto quoted = [] (int depth) { return juce::String::repeatedString ("<e a='\"/>' b=\"'/>\">", depth) + juce::String::repeatedString ("</e>", depth); };
    EXPECT_TRUE (kelm::parseDocumentText (quoted (kelm::maxDocumentDepth)) != nullptr && kelm::parseDocumentText (quoted (kelm::maxDocumentDepth + 1)) == nullptr);
    // A '<' stays refused inside quotes, and so does a quote left open.
    EXPECT_TRUE (kelm::parseDocumentText ("<a b=\"<\"/>") == nullptr && kelm::parseDocumentText ("<a b=\">/>") == nullptr);
}
