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

juce::StringArray attributeNames (const juce::XmlElement& xml)
{
    juce::StringArray names;
    for (int i = 0; i < xml.getNumAttributes(); ++i)
        names.add (xml.getAttributeName (i));
    return names;
}

int firstIndexOf (const juce::StringArray& tags, const juce::String& tag) { return tags.indexOf (tag); }
} // namespace

TEST (StateChunk, FreshInstanceBytesAndDocumentOrder)
{
    CalythAudioProcessor processor;
    const auto block = chunkOf (processor);
    const auto* bytes = static_cast<const unsigned char*> (block.getData());
    const auto size = block.getSize();

    ASSERT_GT (size, 9u);
    EXPECT_EQ (bytes[0], 0x56);
    EXPECT_EQ (bytes[1], 0x43);
    EXPECT_EQ (bytes[2], 0x32);
    EXPECT_EQ (bytes[3], 0x21);
    const juce::uint32 lengthWord = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | ((juce::uint32) bytes[7] << 24);
    EXPECT_EQ (lengthWord, size - 9);
    EXPECT_EQ (bytes[size - 1], 0);

    // One line, no declaration.
    const juce::String text (reinterpret_cast<const char*> (bytes + 8), size - 9);
    EXPECT_TRUE (text.startsWith ("<Calyth>")) << text.substring (0, 40);
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    const auto xml = documentOf (block);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getNumAttributes(), 0);
    ASSERT_EQ (xml->getNumChildElements(), 18 + 18 + 2);

    const char* sortedIds[] = { "dry_wet", "in_gain", "out_gain", "pole_a_diff", "pole_b_diff", "pole_c_diff",
                                "pole_d_diff", "stereo_link_a", "stereo_link_b", "stereo_link_c", "stereo_link_d",
                                "trajectory", "x_pos", "x_traj_amount", "x_traj_range", "y_pos", "y_traj_amount", "y_traj_range" };
    for (int i = 0; i < 18; ++i)
    {
        const auto* param = xml->getChildElement (i);
        EXPECT_EQ (param->getTagName(), juce::String ("PARAM"));
        EXPECT_EQ (param->getStringAttribute ("id"), juce::String (sortedIds[i]));
        EXPECT_TRUE (param->hasAttribute ("value"));
    }

    const juce::StringArray diffuserAttributes { "feed", "damp", "channel" };
    const juce::StringArray grainAttributes { "density", "envelope", "size", "speed", "size_rnd", "speed_rnd", "amp_rnd", "out_gain", "pole", "channel" };
    const juce::StringArray resonatorAttributes { "freq", "feed", "pole", "channel" };

    int index = 18;
    for (int channel = 0; channel < 2; ++channel)
    {
        const auto* d = xml->getChildElement (index++);
        EXPECT_EQ (d->getTagName(), juce::String ("Diffuser"));
        EXPECT_EQ (attributeNames (*d), diffuserAttributes);
        EXPECT_EQ (d->getStringAttribute ("channel"), juce::String (channel));

        for (int pole = 0; pole < 4; ++pole)
        {
            const auto* g = xml->getChildElement (index++);
            const auto* r = xml->getChildElement (index++);
            EXPECT_EQ (g->getTagName(), juce::String ("Granulizer"));
            EXPECT_EQ (attributeNames (*g), grainAttributes);
            EXPECT_EQ (r->getTagName(), juce::String ("Resonator"));
            EXPECT_EQ (attributeNames (*r), resonatorAttributes);
            for (const auto* e : { g, r })
            {
                EXPECT_EQ (e->getStringAttribute ("pole"), juce::String (pole));
                EXPECT_EQ (e->getStringAttribute ("channel"), juce::String (channel));
            }
            // Whole numbers for the two int fields.
            EXPECT_FALSE (g->getStringAttribute ("density").containsChar ('.'));
            EXPECT_FALSE (g->getStringAttribute ("envelope").containsChar ('.'));
        }
    }

    const auto* metadata = xml->getChildElement (36);
    EXPECT_EQ (metadata->getTagName(), juce::String ("Metadata"));
    EXPECT_EQ (attributeNames (*metadata), juce::StringArray { "preset_name" });
    EXPECT_EQ (metadata->getStringAttribute ("preset_name"), juce::String ("INIT"));

    const auto* map = xml->getChildElement (37);
    EXPECT_EQ (map->getTagName(), juce::String ("Calyth_MIDI_MAP"));
    EXPECT_EQ (map->getNumChildElements(), 0);
    EXPECT_EQ (map->getNumAttributes(), 0);
}

TEST (StateChunk, RoundTripAcrossInstances)
{
    CalythAudioProcessor source;
    for (int pole = 0; pole < 4; ++pole)
        for (int channel = 0; channel < 2; ++channel)
        {
            const float k = (float) (pole * 2 + channel);
            auto& g = grain (source, pole, channel);
            g.density = 3 + (int) k;
            g.envelope = (int) k % 3;
            g.size = 1000.0f + 123.25f * k;
            g.speed = 0.5f + 0.1f * k;
            g.sizeRnd = 0.01f * k;
            g.speedRnd = 0.02f * k + 0.003f;
            g.ampRnd = 0.07f * k;
            g.gain = 0.9f - 0.05f * k;
            g.freeze = true;
            resonator (source, pole, channel).freq = 100.5f + 37.0f * k;
            resonator (source, pole, channel).feedback = 0.11f * k;
        }
    diffuser (source, 0).feedback = 0.333f;
    diffuser (source, 0).damp = 0.25f;
    diffuser (source, 1).feedback = 0.777f;
    diffuser (source, 1).damp = 0.5f;
    setParameter (source, "x_pos", 0.25f);
    setParameter (source, "dry_wet", 0.8f);
    setParameter (source, "stereo_link_c", 1.0f);
    source.ccMapper.lastReceivedCC = 74;
    source.ccMapper.mapLastCCToParameter ("y_pos");
    source.currentPresetName = "Dusk";

    CalythAudioProcessor target;
    target.currentPresetPath = "/somewhere/else.cpst";
    applyChunk (target, chunkOf (source));

    for (int pole = 0; pole < 4; ++pole)
        for (int channel = 0; channel < 2; ++channel)
        {
            SCOPED_TRACE (juce::String (pole) + "/" + juce::String (channel));
            const auto& a = grain (source, pole, channel);
            const auto& b = grain (target, pole, channel);
            EXPECT_EQ (b.density.load(), a.density.load());
            EXPECT_EQ (b.envelope.load(), a.envelope.load());
            EXPECT_NEAR (b.size.load(), a.size.load(), a.size.load() * 1.0e-6f);
            EXPECT_EQ (b.speed.load(), a.speed.load());
            EXPECT_EQ (b.sizeRnd.load(), a.sizeRnd.load());
            EXPECT_EQ (b.speedRnd.load(), a.speedRnd.load());
            EXPECT_EQ (b.ampRnd.load(), a.ampRnd.load());
            EXPECT_EQ (b.gain.load(), a.gain.load());
            EXPECT_FALSE (b.freeze.load()); // not stored
            EXPECT_EQ (resonator (target, pole, channel).freq.load(), resonator (source, pole, channel).freq.load());
            EXPECT_EQ (resonator (target, pole, channel).feedback.load(), resonator (source, pole, channel).feedback.load());
        }
    for (int channel = 0; channel < 2; ++channel)
    {
        EXPECT_EQ (diffuser (target, channel).feedback.load(), diffuser (source, channel).feedback.load());
        EXPECT_EQ (diffuser (target, channel).damp.load(), diffuser (source, channel).damp.load());
    }

    EXPECT_FLOAT_EQ (parameterValue (target, "x_pos"), 0.25f);
    EXPECT_FLOAT_EQ (parameterValue (target, "dry_wet"), 0.8f);
    EXPECT_EQ (parameterValue (target, "stereo_link_c"), 1.0f);
    EXPECT_EQ (target.currentPresetName.get(), juce::String ("Dusk"));
    EXPECT_EQ (target.currentPresetPath.get(), juce::String ("/somewhere/else.cpst"));

    const auto& map = target.ccMapper.ccMap;
    ASSERT_EQ (map.getNumChildren(), 1);
    EXPECT_EQ (map.getChild (0).getType().toString(), juce::String ("y_pos"));
    EXPECT_EQ ((int) map.getChild (0).getProperty ("cc"), 74);
    EXPECT_EQ (target.ccMapper.lastReceivedCC.load(), -1); // never stored

    // The engine children were taken out of the parameter state: a second chunk has them once.
    const auto again = documentOf (chunkOf (target));
    EXPECT_EQ (childTags (*again).size(), 38);
}

TEST (StateChunk, GrainSizeTravelsInMilliseconds)
{
    CalythAudioProcessor at48k;
    at48k.prepareToPlay (48000.0, 512);
    grain (at48k, 1, 1).size = 4800.0f;
    const auto block = chunkOf (at48k);

    const auto xml = documentOf (block);
    const auto* g = xml->getChildElement (18 + 9 + 1 + 2 * 1); // channel 1 block: diffuser, then pole 0, then pole 1
    ASSERT_EQ (g->getStringAttribute ("pole"), juce::String ("1"));
    ASSERT_EQ (g->getStringAttribute ("channel"), juce::String ("1"));
    EXPECT_EQ (g->getDoubleAttribute ("size"), 100.0);

    CalythAudioProcessor at44k;
    applyChunk (at44k, block);
    EXPECT_EQ (grain (at44k, 1, 1).size.load(), 4410.0f);

    // Without "size" the grain becomes 100 ms long; its other missing properties keep their values.
    grain (at44k, 2, 0).size = 1.0f;
    grain (at44k, 2, 0).speed = 1.5f;
    applyText (at44k, "<Calyth><Granulizer density=\"3\" pole=\"2\" channel=\"0\"/></Calyth>");
    EXPECT_EQ (grain (at44k, 2, 0).size.load(), 4410.0f);
    EXPECT_EQ (grain (at44k, 2, 0).density.load(), 3);
    EXPECT_EQ (grain (at44k, 2, 0).speed.load(), 1.5f);
}

TEST (StateChunk, SkippedChildrenStayInTheParameterState)
{
    CalythAudioProcessor processor;
    grain (processor, 0, 0).density = 8;
    grain (processor, 2, 0).density = 8;

    applyText (processor, "<Calyth>"
                          "<Granulizer density=\"5\" pole=\"4\" channel=\"0\"/>"
                          "<Granulizer density=\"5\" pole=\"0\" channel=\"-1\"/>"
                          "<Granulizer density=\"5\" pole=\"0\"/>"
                          "<Granulizer density=\"6\" pole=\"2\" channel=\"x\"/>"
                          "<Other a=\"1\"/>"
                          "</Calyth>");

    for (int pole = 0; pole < 4; ++pole)
        for (int channel = 0; channel < 2; ++channel)
        {
            if (! (pole == 2 && channel == 0))
            {
                EXPECT_EQ (grain (processor, pole, channel).density.load(), 8);
            }
        }
    EXPECT_EQ (grain (processor, 2, 0).density.load(), 6); // "x" reads as channel 0

    const auto xml = documentOf (chunkOf (processor));
    const auto tags = childTags (*xml);
    ASSERT_EQ (tags.size(), 4 + 18 + 18 + 2);

    // The four unused children lead, in their order, ahead of the parameters and the fresh engine children.
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("pole"), juce::String ("4"));
    EXPECT_EQ (xml->getChildElement (1)->getStringAttribute ("channel"), juce::String ("-1"));
    EXPECT_FALSE (xml->getChildElement (2)->hasAttribute ("channel"));
    EXPECT_EQ (tags[3], juce::String ("Other"));
    EXPECT_EQ (firstIndexOf (tags, "PARAM"), 4);
    EXPECT_EQ (firstIndexOf (tags, "Diffuser"), 22);
}

TEST (StateChunk, ControllerMapElement)
{
    CalythAudioProcessor processor;
    processor.ccMapper.lastReceivedCC = 20;
    processor.ccMapper.mapLastCCToParameter ("x_pos");

    // Without a map element the bindings stay.
    applyText (processor, "<Calyth/>");
    ASSERT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);

    // Found ignoring case; the map keeps the spelling of the document.
    applyText (processor, "<Calyth><calyth_midi_map><y_pos cc=\"7\"/></calyth_midi_map></Calyth>");
    EXPECT_EQ (processor.ccMapper.ccMap.getType().toString(), juce::String ("calyth_midi_map"));
    ASSERT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (processor.ccMapper.ccMap.getChild (0).getType().toString(), juce::String ("y_pos"));

    // Two map elements: the first is the map, the second stays in the parameter state.
    applyText (processor, "<Calyth><Calyth_MIDI_MAP><x_pos cc=\"1\"/></Calyth_MIDI_MAP>"
                          "<CALYTH_MIDI_MAP><y_pos cc=\"2\"/></CALYTH_MIDI_MAP></Calyth>");
    ASSERT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (processor.ccMapper.ccMap.getChild (0).getType().toString(), juce::String ("x_pos"));

    const auto xml = documentOf (chunkOf (processor));
    const auto tags = childTags (*xml);
    EXPECT_EQ (tags[0], juce::String ("CALYTH_MIDI_MAP"));
    EXPECT_EQ (xml->getChildElement (0)->getChildElement (0)->getTagName(), juce::String ("y_pos"));
    EXPECT_EQ (tags[tags.size() - 1], juce::String ("Calyth_MIDI_MAP"));

    // An empty map element clears the bindings.
    applyText (processor, "<Calyth><Calyth_MIDI_MAP/></Calyth>");
    EXPECT_EQ (processor.ccMapper.ccMap.getNumChildren(), 0);
}

TEST (StateChunk, MetadataAndDuplicateChildren)
{
    CalythAudioProcessor processor;
    processor.currentPresetName = "Before";

    applyText (processor, "<Calyth><Metadata/></Calyth>");
    EXPECT_TRUE (processor.currentPresetName.get().isEmpty());

    applyText (processor, "<Calyth>"
                          "<Diffuser feed=\"0.2\" damp=\"0.3\" channel=\"0\"/>"
                          "<Diffuser feed=\"0.6\" channel=\"0\"/>"
                          "<Metadata preset_name=\"Twice\"/>"
                          "</Calyth>");
    EXPECT_EQ (diffuser (processor, 0).feedback.load(), 0.6f);
    EXPECT_EQ (diffuser (processor, 0).damp.load(), 0.3f);
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("Twice"));

    // Both diffuser children and the metadata went: the next chunk holds only the fresh ones.
    const auto tags = childTags (*documentOf (chunkOf (processor)));
    int diffusers = 0, metadata = 0;
    for (auto& t : tags)
    {
        diffusers += t == "Diffuser" ? 1 : 0;
        metadata += t == "Metadata" ? 1 : 0;
    }
    EXPECT_EQ (diffusers, 2);
    EXPECT_EQ (metadata, 1);
}

TEST (StateChunk, EmptyAndForeignRoots)
{
    CalythAudioProcessor processor;
    setParameter (processor, "y_pos", 0.75f);
    grain (processor, 3, 1).speed = 1.25f;
    processor.ccMapper.mapLastCCToParameter ("x_pos");
    processor.currentPresetName = "Kept";

    applyText (processor, "<Calyth/>");
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.75f);
    EXPECT_EQ (grain (processor, 3, 1).speed.load(), 1.25f);
    EXPECT_EQ (processor.ccMapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (processor.currentPresetName.get(), juce::String ("Kept"));
    EXPECT_EQ (processor.parameterTree.state.getNumChildren(), 18);

    // The root tag is never tested.
    applyText (processor, "<Foreign><PARAM id=\"y_pos\" value=\"0.25\"/></Foreign>");
    EXPECT_FLOAT_EQ (parameterValue (processor, "y_pos"), 0.25f);
}

TEST (StateChunk, LengthWordBeyondTheData)
{
    CalythAudioProcessor processor;
    const juce::String text ("<Calyth><Resonator freq=\"321.5\" feed=\"0.5\" pole=\"3\" channel=\"1\"/></Calyth>");
    applyChunk (processor, chunkFromText (text, 1 << 30));
    EXPECT_EQ (resonator (processor, 3, 1).freq.load(), 321.5f);
}

TEST (StateChunk, UnreadableInputChangesNothing)
{
    CalythAudioProcessor processor;
    setParameter (processor, "x_pos", 0.3f);
    grain (processor, 0, 0).density = 4;
    processor.ccMapper.mapLastCCToParameter ("x_pos");
    processor.currentPresetName = "Stable";
    const auto before = chunkOf (processor);

    const auto expectUnchanged = [&] (const juce::MemoryBlock& chunk, const char* what) {
        applyChunk (processor, chunk);
        EXPECT_EQ (chunkOf (processor), before) << what;
    };

    const juce::String valid ("<Calyth><Metadata preset_name=\"Changed\"/></Calyth>");
    auto wrongMagic = chunkFromText (valid);
    static_cast<char*> (wrongMagic.getData())[0] = 0x57;
    expectUnchanged (wrongMagic, "wrong magic");
    expectUnchanged (chunkFromText (valid, 0), "zero length");
    expectUnchanged (chunkFromText (valid, 0xffffffffLL), "negative length");

    auto shortChunk = chunkFromText (valid);
    shortChunk.setSize (8);
    expectUnchanged (shortChunk, "header only");
    processor.setStateInformation (nullptr, 0);
    processor.setStateInformation (before.getData(), -5);
    EXPECT_EQ (chunkOf (processor), before);

    expectUnchanged (chunkFromText ("this is not XML"), "text");
    expectUnchanged (chunkFromText (""), "empty text");

    // A document type may define entities that expand without bounds: such texts are refused.
    expectUnchanged (chunkFromText ("<!DOCTYPE Calyth [<!ENTITY a \"&a;&a;\">]><Calyth><Metadata preset_name=\"&a;\"/></Calyth>"),
                     "document type");

    // A processing instruction inside an element followed by text sends the framework's parser
    // round in circles; only the leading declaration is taken.
    expectUnchanged (chunkFromText ("<Calyth><Metadata preset_name=\"Loop\"/><a><?pi?>text</a></Calyth>"), "instruction");
    expectUnchanged (chunkFromText ("<Calyth><PARAM id=\"x_pos\" value=\"0.5\"/<?xml version=\"1.0\"?> t=\"0\"/></Calyth>"),
                     "instruction in a tag");

    // Nesting beyond any document of ours, which a recursive parser would follow down the stack.
    juce::String deep ("<Calyth><Metadata preset_name=\"Deep\"/>");
    for (int i = 0; i < 5000; ++i)
        deep << "<a>";
    for (int i = 0; i < 5000; ++i)
        deep << "</a>";
    deep << "</Calyth>";
    expectUnchanged (chunkFromText (deep), "deep");
}

TEST (StateChunk, ExtremeValuesAreStoredSafely)
{
    CalythAudioProcessor processor;
    auto& g = grain (processor, 1, 0);
    g.speed = 1.0f;
    g.sizeRnd = 0.1f;
    setParameter (processor, "dry_wet", 0.2f);

    applyText (processor, "<Calyth>"
                          "<PARAM id=\"dry_wet\" value=\"nan\"/>"
                          "<PARAM id=\"x_pos\" value=\"1e30\"/>"
                          "<Granulizer density=\"99999999999\" envelope=\"-5\" size=\"1e300\" speed=\"nan\""
                          " size_rnd=\"1e30\" speed_rnd=\"-inf\" amp_rnd=\"junk\" pole=\"1\" channel=\"0\"/>"
                          "<Granulizer density=\"1e30\" pole=\"4294967296\" channel=\"0\"/>"
                          "</Calyth>");

    EXPECT_EQ (g.density.load(), std::numeric_limits<int>::max());
    EXPECT_EQ (g.envelope.load(), -5);
    EXPECT_TRUE (std::isinf (g.size.load()));
    EXPECT_EQ (g.speed.load(), 1.0f); // NaN keeps the value
    EXPECT_EQ (g.sizeRnd.load(), 1.0e30f);
    EXPECT_EQ (g.speedRnd.load(), -std::numeric_limits<float>::infinity());
    EXPECT_EQ (g.ampRnd.load(), 0.0f); // text without a number reads as 0

    // Parameters: NaN keeps the current value, out of range clamps to the range.
    EXPECT_FLOAT_EQ (parameterValue (processor, "dry_wet"), 0.2f);
    EXPECT_EQ (parameterValue (processor, "x_pos"), 1.0f);

    // A pole beyond the int range is out of range (not wrapped round to 0).
    EXPECT_EQ (grain (processor, 0, 0).density.load(), GrainCloud::Parameters().density.load());

    // The extreme values are written again as text that reads back the same.
    const auto block = chunkOf (processor);
    CalythAudioProcessor copy;
    applyChunk (copy, block);
    EXPECT_EQ (grain (copy, 1, 0).density.load(), std::numeric_limits<int>::max());
    EXPECT_EQ (grain (copy, 1, 0).sizeRnd.load(), 1.0e30f);
}

TEST (StateChunk, SeededFuzzNeverCrashes)
{
    CalythAudioProcessor reference;
    grain (reference, 2, 1).density = 5;
    reference.ccMapper.mapLastCCToParameter ("y_pos");
    const auto valid = chunkOf (reference);

    CalythAudioProcessor processor;
    juce::Random random (20261206);
    const auto start = juce::Time::getMillisecondCounter();

    for (int round = 0; round < 3000 && juce::Time::getMillisecondCounter() - start < 3000; ++round)
    {
        juce::MemoryBlock chunk;

        switch (round % 5)
        {
            case 0: // random bytes
                chunk.setSize ((size_t) random.nextInt (200));
                random.fillBitsRandomly (chunk.getData(), chunk.getSize());
                break;
            case 1: // flipped bytes
                chunk = valid;
                for (int k = random.nextInt (8); k >= 0; --k)
                    static_cast<char*> (chunk.getData())[random.nextInt ((int) chunk.getSize())] = (char) random.nextInt (256);
                break;
            case 2: // truncated
                chunk = valid;
                chunk.setSize ((size_t) random.nextInt ((int) valid.getSize()));
                break;
            case 3: // huge or odd length word
            {
                chunk = valid;
                const auto word = (juce::uint32) random.nextInt64();
                std::memcpy (static_cast<char*> (chunk.getData()) + 4, &word, 4);
                break;
            }
            default: // valid wrapper around a mutated text
            {
                auto text = juce::AudioProcessor::getXmlFromBinary (valid.getData(), (int) valid.getSize())
                                ->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
                const char* pieces[] = { "<", ">", "/>", "\"", "nan", "-1", "1e308", "&amp;", "<a>", "</Calyth>", "=", "" };
                for (int k = random.nextInt (6); k >= 0; --k)
                {
                    const int at = random.nextInt (text.length());
                    text = text.substring (0, at) + pieces[random.nextInt (12)] + text.substring (at + random.nextInt (4));
                }
                chunk = chunkFromText (text);
                break;
            }
        }

        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
    }

    // Whatever it went through, it still writes a chunk that a fresh instance reads.
    CalythAudioProcessor check;
    applyChunk (check, chunkOf (processor));
    EXPECT_NE (documentOf (chunkOf (check)), nullptr);
}
