// The controller map: editing, map documents and the application of controller messages.
#include <gtest/gtest.h>

#include "plugin/PluginProcessor.h"
#include "../plugin/StateTestHelpers.h"

using namespace calyth::test;

namespace
{
/** What a parameter hears, in order: gestures and values. */
struct ParameterRecorder : juce::AudioProcessorParameter::Listener
{
    ParameterRecorder (CalythAudioProcessor& p, const char* id) : parameter (*p.parameterTree.getParameter (id))
    {
        parameter.addListener (this);
    }
    ~ParameterRecorder() override { parameter.removeListener (this); }

    void parameterValueChanged (int, float value) override
    {
        events.add ("value");
        values.push_back (value);
    }
    void parameterGestureChanged (int, bool starting) override { events.add (starting ? "begin" : "end"); }

    juce::AudioProcessorParameter& parameter;
    juce::StringArray events;
    std::vector<float> values;
};

juce::MidiBuffer controllers (std::initializer_list<std::pair<int, int>> numberAndValue)
{
    juce::MidiBuffer midi;
    int time = 0;
    for (auto [number, value] : numberAndValue)
        midi.addEvent (juce::MidiMessage::controllerEvent (1, number, value), time++);
    return midi;
}

void loadMap (kelm::CCMapper& mapper, const juce::String& text) { mapper.loadMapFromXml (*juce::parseXML (text)); }

juce::String typeOf (const juce::ValueTree& tree, int child) { return tree.getChild (child).getType().toString(); }
} // namespace

TEST (CCMapper, BindingAndClearing)
{
    kelm::CCMapper mapper;
    EXPECT_EQ (mapper.ccMap.getType().toString(), juce::String ("Calyth_MIDI_MAP"));
    EXPECT_EQ (mapper.lastReceivedCC.load(), -1);

    // Bound before any controller arrived: the binding exists with controller -1.
    mapper.mapLastCCToParameter ("y_pos");
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ ((int) mapper.ccMap.getChild (0).getProperty ("cc"), -1);

    mapper.lastReceivedCC = 74;
    mapper.mapLastCCToParameter ("x_pos");
    mapper.lastReceivedCC = 1;
    mapper.mapLastCCToParameter ("x_pos");
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 2);
    EXPECT_EQ (typeOf (mapper.ccMap, 1), juce::String ("x_pos"));
    EXPECT_TRUE (mapper.ccMap.getChild (1).getProperty ("cc").isInt());
    EXPECT_EQ ((int) mapper.ccMap.getChild (1).getProperty ("cc"), 1);

    mapper.clearCCMapping ("y_pos");
    mapper.clearCCMapping ("y_pos");
    mapper.clearCCMapping ("dry_wet");
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (typeOf (mapper.ccMap, 0), juce::String ("x_pos"));

    // Several children of one type (from a document): only the first is changed or removed.
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"3\"/><x_pos cc=\"4\"/></Calyth_MIDI_MAP>");
    mapper.lastReceivedCC = 9;
    mapper.mapLastCCToParameter ("x_pos");
    EXPECT_EQ ((int) mapper.ccMap.getChild (0).getProperty ("cc"), 9);
    EXPECT_EQ ((int) mapper.ccMap.getChild (1).getProperty ("cc"), 4);
    mapper.clearCCMapping ("x_pos");
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ ((int) mapper.ccMap.getChild (0).getProperty ("cc"), 4);

    // Clearing everything keeps the root and the last controller.
    loadMap (mapper, "<Calyth_MIDI_MAP keep=\"1\"><a cc=\"1\"/><b cc=\"2\"/><c cc=\"3\"/></Calyth_MIDI_MAP>");
    juce::StringArray removed;
    struct RemovalOrder : juce::ValueTree::Listener
    {
        juce::StringArray& log;
        explicit RemovalOrder (juce::StringArray& l) : log (l) {}
        void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree& child, int) override { log.add (child.getType().toString()); }
    } order (removed);
    mapper.ccMap.addListener (&order);
    mapper.removeAllBindings();
    mapper.ccMap.removeListener (&order);
    EXPECT_EQ (removed, (juce::StringArray { "c", "b", "a" }));
    EXPECT_EQ (mapper.ccMap.getNumChildren(), 0);
    EXPECT_TRUE (mapper.ccMap.hasProperty ("keep"));
    EXPECT_EQ (mapper.lastReceivedCC.load(), 9);
}

TEST (CCMapper, LoadingFromElements)
{
    kelm::CCMapper mapper;
    mapper.mapLastCCToParameter ("x_pos");

    // A foreign root is ignored, the bindings stay.
    loadMap (mapper, "<Calyth><y_pos cc=\"7\"/></Calyth>");
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 1);
    EXPECT_EQ (typeOf (mapper.ccMap, 0), juce::String ("x_pos"));

    // Letter case of the root does not matter; the map takes the document's spelling.
    loadMap (mapper, "<CALYTH_midi_Map><y_pos cc=\"7\"/><z cc=\"8\"/></CALYTH_midi_Map>");
    EXPECT_EQ (mapper.ccMap.getType().toString(), juce::String ("CALYTH_midi_Map"));
    ASSERT_EQ (mapper.ccMap.getNumChildren(), 2);
    EXPECT_EQ (mapper.ccMap.getChild (0).getProperty ("cc").toString(), juce::String ("7"));
}

TEST (CCMapper, MapDocuments)
{
    const auto folder = homeFolder().getChildFile ("maps");
    ScopedFiles files;
    files.folder (folder);

    kelm::CCMapper mapper;
    mapper.lastReceivedCC = 74;
    mapper.mapLastCCToParameter ("x_pos");
    mapper.lastReceivedCC = 1;
    mapper.mapLastCCToParameter ("y_pos");

    const auto file = folder.getChildFile ("pad.mpcc");
    ASSERT_TRUE (mapper.saveToFile (file));
    EXPECT_EQ (file.loadFileAsString(), juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
                                                      "<Calyth_MIDI_MAP>\r\n"
                                                      "  <x_pos cc=\"74\"/>\r\n"
                                                      "  <y_pos cc=\"1\"/>\r\n"
                                                      "</Calyth_MIDI_MAP>\r\n"));

    kelm::CCMapper other;
    ASSERT_TRUE (other.loadFromFile (file));
    ASSERT_EQ (other.ccMap.getNumChildren(), 2);
    EXPECT_EQ (typeOf (other.ccMap, 1), juce::String ("y_pos"));
    EXPECT_EQ ((int) other.ccMap.getChild (0).getProperty ("cc"), 74);

    // A file that does not parse, a missing file and a foreign root change nothing.
    const auto broken = files.write (folder.getChildFile ("broken.mpcc"), "<Calyth_MIDI_MAP><x_pos");
    const auto foreign = files.write (folder.getChildFile ("foreign.mpcc"), "<Calyth><x_pos cc=\"5\"/></Calyth>");
    EXPECT_FALSE (other.loadFromFile (broken));
    EXPECT_FALSE (other.loadFromFile (folder.getChildFile ("missing.mpcc")));
    EXPECT_TRUE (other.loadFromFile (foreign));
    EXPECT_EQ (other.ccMap.getNumChildren(), 2);

    // An invalid map writes nothing.
    other.ccMap = juce::ValueTree();
    EXPECT_FALSE (other.saveToFile (folder.getChildFile ("none.mpcc")));
    EXPECT_FALSE (folder.getChildFile ("none.mpcc").exists());
}

TEST (CCMapper, ControllerApplication)
{
    CalythAudioProcessor processor;
    auto& mapper = processor.ccMapper;
    ParameterRecorder x (processor, "x_pos");
    ParameterRecorder y (processor, "y_pos");
    ParameterRecorder dryWet (processor, "dry_wet");

    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"7\"/><no_such cc=\"5\"/><dry_wet cc=\"abc\"/></Calyth_MIDI_MAP>");

    // Three values of one controller in a block: one change, to the last value, inside a gesture.
    mapper.applyControllerMessages (controllers ({ { 7, 10 }, { 7, 20 }, { 7, 127 } }));
    EXPECT_EQ (x.events, (juce::StringArray { "begin", "value", "end" }));
    EXPECT_EQ (x.values, std::vector<float> { 1.0f });
    EXPECT_EQ (parameterValue (processor, "x_pos"), 1.0f);
    EXPECT_EQ (mapper.lastReceivedCC.load(), 7);

    // Value 64 is 64/127 = 0.50394 normalised, which the 0.001 grid of "x_pos" holds as 0.504.
    x.values.clear();
    mapper.applyControllerMessages (controllers ({ { 7, 64 } }));
    ASSERT_EQ (x.values.size(), 1u);
    EXPECT_EQ (x.values[0], 64.0f * (1.0f / 127.0f));
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.504f);

    // Controller 123 moves nothing and is not remembered; an unknown identifier is skipped.
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"123\"/><no_such cc=\"5\"/></Calyth_MIDI_MAP>");
    x.values.clear();
    mapper.applyControllerMessages (controllers ({ { 123, 0 }, { 5, 99 } }));
    EXPECT_TRUE (x.values.empty());
    EXPECT_EQ (mapper.lastReceivedCC.load(), 5);
    mapper.applyControllerMessages (controllers ({ { 123, 0 } }));
    EXPECT_EQ (mapper.lastReceivedCC.load(), 5);

    // A non-numeric controller reads as 0; several controllers on one parameter apply in
    // ascending order, so the highest-numbered wins; two parameters on one controller follow map order.
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"9\"/><x_pos cc=\"3\"/><y_pos cc=\"4\"/><dry_wet cc=\"abc\"/>"
                     "<x_pos cc=\"4\"/></Calyth_MIDI_MAP>");
    x.values.clear();
    y.events.clear();
    dryWet.values.clear();
    mapper.applyControllerMessages (controllers ({ { 9, 127 }, { 3, 0 }, { 4, 127 }, { 0, 0 } }));
    EXPECT_EQ (x.values, (std::vector<float> { 0.0f, 1.0f, 1.0f }));
    EXPECT_EQ (parameterValue (processor, "x_pos"), 1.0f);
    EXPECT_EQ (y.events, (juce::StringArray { "begin", "value", "end" }));
    EXPECT_EQ (dryWet.values, std::vector<float> { 0.0f });

    // A block without controller messages changes nothing.
    x.values.clear();
    mapper.applyControllerMessages ({});
    EXPECT_TRUE (x.values.empty());
}

TEST (CCMapper, GarbageMidiCostsOneChangePerController)
{
    CalythAudioProcessor processor;
    auto& mapper = processor.ccMapper;
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/></Calyth_MIDI_MAP>");
    ParameterRecorder x (processor, "x_pos");
    ParameterRecorder y (processor, "y_pos");

    juce::Random random (7);
    for (int block = 0; block < 50; ++block)
    {
        juce::MidiBuffer midi;

        // Thousands of events at every offset: random bytes, sysex, and controller messages
        // whose data bytes carry the top bit.
        for (int i = 0; i < 4000; ++i)
        {
            juce::uint8 bytes[8];
            random.fillBitsRandomly (bytes, sizeof (bytes));
            if (i % 7 == 0)
                bytes[0] = 0xf0;
            if (i % 11 == 0)
                bytes[0] = (juce::uint8) (0xb0 | (bytes[0] & 0x0f));
            midi.addEvent (bytes, 1 + random.nextInt (8), i % 512);
        }
        midi.addEvent (juce::MidiMessage::controllerEvent (3, 1, 50), 511);

        x.values.clear();
        y.values.clear();
        mapper.applyControllerMessages (midi);
        EXPECT_EQ (x.values.size(), 1u);
        EXPECT_LE (y.values.size(), 1u);
        for (float v : y.values)
            EXPECT_TRUE (v >= 0.0f && v <= 1.0f);
        EXPECT_EQ (x.values[0], 50.0f * (1.0f / 127.0f));
    }
}
