// The host state chunk: bytes, document order, round trips and the readers' rules.
#include <gtest/gtest.h>

#include "StateTestHelpers.h"

using namespace calyth::test;

namespace
{
juce::StringArray childTags (const juce::XmlElement& xml)
{
    juce::StringArray tags;
    for (auto* child : xml.getChildIterator())
        tags.add (child->getTagName());
    return tags;
}

juce::String attributeNames (const juce::XmlElement& xml)
{
    juce::StringArray names;
    for (int i = 0; i < xml.getNumAttributes(); ++i)
        names.add (xml.getAttributeName (i));
    return names.joinIntoString (" ");
}

juce::String typeOf (const juce::ValueTree& tree) { return tree.getType().toString(); }

/** The stored fields of a grain record except the size, exact to the last bit of each float. */
juce::String recordText (const GrainCloud::Parameters& g)
{
    juce::String text;
    text << g.density.load() << " " << g.envelope.load();
    for (float v : { g.speed.load(), g.sizeRnd.load(), g.speedRnd.load(), g.ampRnd.load(), g.gain.load() })
        text << " " << juce::String::formatted ("%.9g", (double) v);
    return text;
}
} // namespace

TEST (StateChunk, FreshInstanceBytesAndDocumentOrder)
{
    CalythAudioProcessor processor;
    const auto block = chunkOf (processor);
    const auto* bytes = static_cast<const unsigned char*> (block.getData());
    const auto size = block.getSize();

    ASSERT_GT (size, 9u);
    EXPECT_EQ (juce::String::toHexString (bytes, 4, 1), juce::String ("56 43 32 21"));
    EXPECT_EQ (bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | ((juce::uint32) bytes[7] << 24), size - 9);
    EXPECT_EQ (bytes[size - 1], 0);
    const juce::String text (reinterpret_cast<const char*> (bytes + 8), size - 9);
    EXPECT_TRUE (text.startsWith ("<Calyth>")) << "one line without declaration: " << text.substring (0, 40);
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    const auto xml = documentOf (block);
    ASSERT_EQ (xml->getNumChildElements(), 18 + 18 + 2);
    EXPECT_EQ (xml->getNumAttributes(), 0);

    // PARAM children in ascending identifier order, as a fresh parameter tree holds them.
    const juce::StringArray sortedIds { "dry_wet", "in_gain", "out_gain", "pole_a_diff", "pole_b_diff", "pole_c_diff", "pole_d_diff",
                                        "stereo_link_a", "stereo_link_b", "stereo_link_c", "stereo_link_d", "trajectory",
                                        "x_pos", "x_traj_amount", "x_traj_range", "y_pos", "y_traj_amount", "y_traj_range" };
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ (attributeNames (*xml->getChildElement (i)) + " " + xml->getChildElement (i)->getStringAttribute ("id"),
                   "id value " + sortedIds[i]);

    int index = 18;
    for (int channel = 0; channel < 2; ++channel)
    {
        const auto* d = xml->getChildElement (index++);
        EXPECT_EQ (d->getTagName() + " " + attributeNames (*d), juce::String ("Diffuser feed damp channel"));
        EXPECT_EQ (d->getIntAttribute ("channel", -1), channel);

        for (int pole = 0; pole < 4; ++pole)
        {
            const auto* g = xml->getChildElement (index++);
            const auto* r = xml->getChildElement (index++);
            EXPECT_EQ (g->getTagName() + " " + attributeNames (*g),
                       juce::String ("Granulizer density envelope size speed size_rnd speed_rnd amp_rnd out_gain pole channel"));
            EXPECT_EQ (r->getTagName() + " " + attributeNames (*r), juce::String ("Resonator freq feed pole channel"));
            EXPECT_EQ (g->getStringAttribute ("pole") + r->getStringAttribute ("pole"), juce::String (pole) + juce::String (pole));
            EXPECT_EQ (g->getStringAttribute ("channel") + r->getStringAttribute ("channel"), juce::String (channel) + juce::String (channel));
            EXPECT_FALSE (g->getStringAttribute ("density").containsChar ('.'));
        }
    }

    EXPECT_EQ (xml->getChildElement (36)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               juce::String ("<Metadata preset_name=\"INIT\"/>"));
    EXPECT_EQ (xml->getChildElement (37)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               juce::String ("<Calyth_MIDI_MAP/>"));
}

TEST (StateChunk, RoundTripAcrossInstances)
{
    CalythAudioProcessor source;
    for (int k = 0; k < 8; ++k)
    {
        auto& g = grain (source, k / 2, k % 2);
        g.density = 3 + k;
        g.envelope = k % 3;
        g.size = 1000.0f + 123.25f * (float) k;
        g.speed = 0.5f + 0.1f * (float) k;
        g.sizeRnd = 0.01f * (float) k;
        g.speedRnd = 0.003f + 0.02f * (float) k;
        g.ampRnd = 0.07f * (float) k;
        g.gain = 0.9f - 0.05f * (float) k;
        g.freeze = true;
        resonator (source, k / 2, k % 2).freq = 100.5f + 37.0f * (float) k;
        resonator (source, k / 2, k % 2).feedback = 0.11f * (float) k;
    }
    diffuser (source, 0).feedback = 0.333f;
    diffuser (source, 1).damp = 0.5f;
    setParameter (source, "x_pos", 0.25f);
    setParameter (source, "stereo_link_c", 1.0f);
    source.ccMapper.lastReceivedCC = 74;
    source.ccMapper.mapLastCCToParameter ("y_pos");
    source.currentPresetName = "Dusk";

    CalythAudioProcessor target;
    target.currentPresetPath = "/kept.cpst";
    applyChunk (target, chunkOf (source));

    for (int k = 0; k < 8; ++k)
    {
        const auto &a = grain (source, k / 2, k % 2), &b = grain (target, k / 2, k % 2);
        EXPECT_EQ (recordText (b), recordText (a));
        EXPECT_NEAR (b.size.load(), a.size.load(), a.size.load() * 1.0e-6f); // rounded once more through milliseconds
        EXPECT_FALSE (b.freeze.load());
        EXPECT_EQ (resonator (target, k / 2, k % 2).freq.load(), resonator (source, k / 2, k % 2).freq.load());
        EXPECT_EQ (resonator (target, k / 2, k % 2).feedback.load(), resonator (source, k / 2, k % 2).feedback.load());
    }
    EXPECT_EQ (diffuser (target, 0).feedback.load(), 0.333f);
    EXPECT_EQ (diffuser (target, 1).damp.load(), 0.5f);
    EXPECT_FLOAT_EQ (parameterValue (target, "x_pos"), 0.25f);
    EXPECT_EQ (parameterValue (target, "stereo_link_c"), 1.0f);
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("Dusk"));
    EXPECT_EQ (target.currentPresetPath.get(), juce::String ("/kept.cpst"));
    ASSERT_EQ (target.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ ((int) target.ccMapper.ccMap.getChildWithName ("y_pos").getProperty ("cc"), 74);
    EXPECT_EQ (target.ccMapper.lastReceivedCC.load(), -1);

    // The engine children left the parameter state: the next chunk holds each of them once.
    EXPECT_EQ (childTags (*documentOf (chunkOf (target))).size(), 38);
}

TEST (StateChunk, GrainSizeTravelsInMilliseconds)
{
    CalythAudioProcessor at48k;
    at48k.prepareToPlay (48000.0, 512);
    grain (at48k, 1, 1).size = 4800.0f;
    const auto block = chunkOf (at48k);
    const auto xml = documentOf (block);
    const auto* g = xml->getChildElement (18 + 9 + 1 + 2); // channel 1: diffuser, pole 0, pole 1
    ASSERT_EQ (g->getStringAttribute ("pole") + g->getStringAttribute ("channel"), juce::String ("11"));
    EXPECT_EQ (g->getDoubleAttribute ("size"), 100.0);

    CalythAudioProcessor at44k;
    applyChunk (at44k, block);
    EXPECT_EQ (grain (at44k, 1, 1).size.load(), 4410.0f);

    // Without "size" the grain is 100 ms long; other missing properties keep their values.
    grain (at44k, 2, 0).speed = 1.5f;
    applyText (at44k, "<Calyth><Granulizer density=\"3\" pole=\"2\" channel=\"0\"/></Calyth>");
    EXPECT_EQ (grain (at44k, 2, 0).size.load(), 4410.0f);
    EXPECT_EQ (grain (at44k, 2, 0).density.load(), 3);
    EXPECT_EQ (grain (at44k, 2, 0).speed.load(), 1.5f);
}

TEST (StateChunk, ReadersRules)
{
    CalythAudioProcessor processor;
    for (int k = 0; k < 8; ++k)
        grain (processor, k / 2, k % 2).density = 8;
    processor.currentPresetName = "Before";

    applyText (processor, "<Calyth>"
                          "<Granulizer density=\"5\" pole=\"4\" channel=\"0\"/><Granulizer density=\"5\" pole=\"0\" channel=\"-1\"/>"
                          "<Granulizer density=\"5\" pole=\"0\"/><Other/>"
                          "<Granulizer density=\"6\" pole=\"2\" channel=\"x\"/>"
                          "<Diffuser feed=\"0.2\" damp=\"0.3\" channel=\"0\"/><Diffuser feed=\"0.6\" channel=\"0\"/>"
                          "<Metadata/></Calyth>");

    // Pole 2 channel "x" (read as 0) is the only grain record applied.
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (grain (processor, k / 2, k % 2).density.load(), k == 4 ? 6 : 8);
    EXPECT_EQ (diffuser (processor, 0).feedback.load(), 0.6f); // both applied in order
    EXPECT_EQ (diffuser (processor, 0).damp.load(), 0.3f);
    EXPECT_TRUE (processor.currentPresetName.get().isEmpty());

    // Skipped children stay in the parameter state and lead the next chunk; applied ones are gone.
    const auto tags = childTags (*documentOf (chunkOf (processor)));
    EXPECT_EQ (tags.joinIntoString (" ").substring (0, 50), juce::String ("Granulizer Granulizer Granulizer Other PARAM PARAM"));
    EXPECT_EQ (tags.size(), 4 + 18 + 18 + 2);
    EXPECT_EQ (tags.indexOf ("Diffuser"), 22);
}

TEST (StateChunk, ControllerMapElement)
{
    CalythAudioProcessor processor;
    auto& map = processor.ccMapper.ccMap;
    processor.ccMapper.mapLastCCToParameter ("x_pos");

    applyText (processor, "<Calyth/>");
    EXPECT_EQ (map.getNumChildren(), 1) << "no map element: the bindings stay";

    applyText (processor, "<Calyth><calyth_midi_map><y_pos cc=\"7\"/></calyth_midi_map></Calyth>");
    EXPECT_EQ (map.getType().toString() + " " + typeOf (map.getChild (0)), juce::String ("calyth_midi_map y_pos"));

    // The first of two map elements is the map; the second stays in the parameter state.
    applyText (processor, "<Calyth><Calyth_MIDI_MAP><x_pos cc=\"1\"/></Calyth_MIDI_MAP><CALYTH_MIDI_MAP><y_pos/></CALYTH_MIDI_MAP></Calyth>");
    EXPECT_EQ (map.getNumChildren(), 1);
    EXPECT_TRUE (map.getChildWithName ("x_pos").isValid());
    const auto tags = childTags (*documentOf (chunkOf (processor)));
    EXPECT_EQ (tags[0] + " " + tags[tags.size() - 1], juce::String ("CALYTH_MIDI_MAP Calyth_MIDI_MAP"));

    applyText (processor, "<Calyth><Calyth_MIDI_MAP/></Calyth>");
    EXPECT_EQ (map.getNumChildren(), 0) << "an empty map element clears the bindings";
}

TEST (StateChunk, EmptyForeignAndLongDocuments)
{
    CalythAudioProcessor processor;
    setParameter (processor, "y_pos", 0.75f);
    grain (processor, 3, 1).speed = 1.25f;
    processor.currentPresetName = "Kept";

    // An empty root changes no value: the parameter tree adds a PARAM child per parameter.
    applyText (processor, "<Calyth/>");
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.75f);
    EXPECT_EQ (grain (processor, 3, 1).speed.load(), 1.25f);
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("Kept"));
    EXPECT_EQ (processor.parameterTree.state.getNumChildren(), 18);

    applyText (processor, "<Foreign><PARAM id=\"y_pos\" value=\"0.25\"/></Foreign>");
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.25f) << "the root tag is not tested";

    // A length word beyond the data: the bytes present are read.
    applyChunk (processor, chunkFromText ("<Calyth><Resonator freq=\"321.5\" pole=\"3\" channel=\"1\"/></Calyth>", 1 << 30));
    EXPECT_EQ (resonator (processor, 3, 1).freq.load(), 321.5f);
}

TEST (StateChunk, UnreadableInputChangesNothing)
{
    CalythAudioProcessor processor;
    setParameter (processor, "x_pos", 0.3f);
    processor.currentPresetName = "Stable";
    const auto before = chunkOf (processor);
    const juce::String valid ("<Calyth><Metadata preset_name=\"Changed\"/></Calyth>");

    auto wrongMagic = chunkFromText (valid);
    static_cast<char*> (wrongMagic.getData())[0] = 0x57;
    auto headerOnly = chunkFromText (valid);
    headerOnly.setSize (8);

    for (const auto& chunk : { wrongMagic, headerOnly, chunkFromText (valid, 0), chunkFromText (valid, 0xffffffffLL),
                               chunkFromText ("not XML"), chunkFromText ("<Calyth><Metadata preset_name=\"&bad;\"/></Calyth>") })
        applyChunk (processor, chunk);
    processor.setStateInformation (nullptr, 0);
    processor.setStateInformation (before.getData(), -5);
    EXPECT_EQ (chunkOf (processor), before);
}

TEST (StateChunk, ExtremeValuesAreStoredSafely)
{
    CalythAudioProcessor processor;
    auto& g = grain (processor, 1, 0);
    g.speed = 1.0f;
    setParameter (processor, "dry_wet", 0.2f);

    applyText (processor, "<Calyth><PARAM id=\"dry_wet\" value=\"nan\"/><PARAM id=\"x_pos\" value=\"1e30\"/>"
                          "<Granulizer density=\"99999999999\" envelope=\"-5\" size=\"1e300\" speed=\"nan\" size_rnd=\"1e30\""
                          " speed_rnd=\"-inf\" amp_rnd=\"junk\" pole=\"1\" channel=\"0\"/>"
                          "<Granulizer density=\"1\" pole=\"4294967296\" channel=\"0\"/></Calyth>");

    EXPECT_EQ (g.density.load(), std::numeric_limits<int>::max());
    EXPECT_EQ (g.envelope.load(), -5);
    EXPECT_EQ (g.size.load(), std::numeric_limits<float>::infinity());
    EXPECT_EQ (g.speed.load(), 1.0f) << "NaN keeps the value";
    EXPECT_EQ (g.sizeRnd.load(), 1.0e30f);
    EXPECT_EQ (g.speedRnd.load(), -std::numeric_limits<float>::infinity());
    EXPECT_EQ (g.ampRnd.load(), 0.0f);
    EXPECT_FLOAT_EQ (parameterValue (processor, "dry_wet"), 0.2f) << "NaN keeps the value";
    EXPECT_EQ (parameterValue (processor, "x_pos"), 1.0f);
    EXPECT_NE (grain (processor, 0, 0).density.load(), 1) << "a pole beyond the int range does not wrap to 0";

    // Written again as text that reads back the same.
    CalythAudioProcessor copy;
    applyChunk (copy, chunkOf (processor));
    EXPECT_EQ (grain (copy, 1, 0).density.load(), std::numeric_limits<int>::max());
    EXPECT_EQ (grain (copy, 1, 0).sizeRnd.load(), 1.0e30f);
}

TEST (StateChunk, SeededFuzzNeverCrashes)
{
    CalythAudioProcessor processor;
    processor.ccMapper.mapLastCCToParameter ("y_pos");
    const auto valid = chunkOf (processor);
    const auto text = documentOf (valid)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    const char* pieces[] = { "<", ">", "/>", "\"", "nan", "-1", "1e308", "&amp;", "<a>", "</Calyth>", "=", "\xc3", "" };
    juce::Random random (20261206);

    for (int round = 0; round < 3000; ++round)
    {
        auto chunk = valid;
        auto* bytes = static_cast<char*> (chunk.getData());

        if (round % 4 == 0)
            random.fillBitsRandomly (bytes, chunk.getSize());
        else if (round % 4 == 1)
            for (int k = random.nextInt (8); k >= 0; --k)
                bytes[random.nextInt ((int) chunk.getSize())] = (char) random.nextInt (256);
        else if (round % 4 == 2)
            chunk.setSize ((size_t) random.nextInt ((int) valid.getSize()));
        else
        {
            auto mutated = text;
            for (int k = random.nextInt (6); k >= 0; --k)
            {
                const int at = random.nextInt (mutated.length());
                mutated = mutated.substring (0, at) + pieces[random.nextInt (13)] + mutated.substring (at + random.nextInt (4));
            }
            chunk = chunkFromText (mutated, random.nextBool() ? -1 : random.nextInt64());
        }

        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
    }

    CalythAudioProcessor check;
    applyChunk (check, chunkOf (processor));
    EXPECT_NE (documentOf (chunkOf (check)), nullptr);
}
