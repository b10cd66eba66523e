// The controller map: editing, map documents and the application of controller messages.
#include <gtest/gtest.h>

#include "../plugin/StateTestHelpers.h"

using namespace calyth::test;

namespace
{
/** What parameters hear, in order, as "<number>:begin", "<number>:<value>" and "<number>:end". */
struct ParameterLog : juce::AudioProcessorParameter::Listener
{
    ParameterLog (CalythAudioProcessor& p, std::initializer_list<const char*> ids)
    {
        for (auto* id : ids)
        {
            parameters.add (p.parameterTree.getParameter (id));
            parameters.getLast()->addListener (this);
        }
    }
    ~ParameterLog() override
    {
        for (auto* parameter : parameters)
            parameter->removeListener (this);
    }

    void parameterValueChanged (int index, float value) override { events.add (juce::String (index) + ":" + juce::String (value, 4)); }
    void parameterGestureChanged (int index, bool starting) override { events.add (juce::String (index) + (starting ? ":begin" : ":end")); }

    juce::Array<juce::AudioProcessorParameter*> parameters;
    juce::StringArray events;
};

juce::MidiBuffer controllers (std::initializer_list<std::pair<int, int>> numberAndValue)
{
    juce::MidiBuffer midi;
    int time = 0;
    for (auto [number, value] : numberAndValue)
        midi.addEvent (juce::MidiMessage::controllerEvent (1, number, value), time++);
    return midi;
}

void loadMap (kelm::CCMapper& mapper, const char* text) { mapper.loadMapFromXml (*juce::parseXML (juce::String (text))); }

juce::String bindings (const kelm::CCMapper& mapper)
{
    juce::StringArray list;
    for (const auto& child : mapper.ccMap)
        list.add (child.getType().toString() + "=" + child.getProperty ("cc").toString());
    return list.joinIntoString (" ");
}

// Parameter numbers of the identifiers used below.
const juce::String x ("1"), y ("2"), dryWet ("9");
} // namespace

TEST (CCMapper, EditingAndLoading)
{
    kelm::CCMapper mapper;
    EXPECT_EQ (mapper.ccMap.getType().toString() + " " + juce::String (mapper.lastReceivedCC.load()), juce::String ("Calyth_MIDI_MAP -1"));

    mapper.mapLastCCToParameter ("y_pos"); // before any controller: bound to -1
    mapper.lastReceivedCC = 74;
    mapper.mapLastCCToParameter ("x_pos");
    mapper.lastReceivedCC = 1;
    mapper.mapLastCCToParameter ("x_pos");
    EXPECT_EQ (bindings (mapper), juce::String ("y_pos=-1 x_pos=1"));
    EXPECT_TRUE (mapper.ccMap.getChild (1).getProperty ("cc").isInt());
    mapper.clearCCMapping ("y_pos");
    mapper.clearCCMapping ("dry_wet");
    EXPECT_EQ (bindings (mapper), juce::String ("x_pos=1"));

    // Foreign roots are ignored; the case of the tag is not, and the map keeps the document's spelling.
    loadMap (mapper, "<Calyth><y_pos cc=\"7\"/></Calyth>");
    EXPECT_EQ (bindings (mapper), juce::String ("x_pos=1"));
    loadMap (mapper, "<calyth_MIDI_map keep=\"1\"><x_pos cc=\"3\"/><x_pos cc=\"4\"/><z cc=\"5\"/></calyth_MIDI_map>");
    EXPECT_EQ (mapper.ccMap.getType().toString(), juce::String ("calyth_MIDI_map"));

    // Several children of one type: only the first is changed or removed.
    mapper.mapLastCCToParameter ("x_pos");
    EXPECT_EQ (bindings (mapper), juce::String ("x_pos=1 x_pos=4 z=5"));
    mapper.clearCCMapping ("x_pos");
    EXPECT_EQ (bindings (mapper), juce::String ("x_pos=4 z=5"));

    mapper.removeAllBindings();
    EXPECT_EQ (bindings (mapper), juce::String());
    EXPECT_TRUE (mapper.ccMap.hasProperty ("keep"));
    EXPECT_EQ (mapper.lastReceivedCC.load(), 1);
}

TEST (CCMapper, MapDocuments)
{
    ScopedFiles files;
    const auto folder = files.folder (homeFolder().getChildFile ("maps"));
    kelm::CCMapper mapper;
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"74\"/><y_pos cc=\"1\"/></Calyth_MIDI_MAP>");

    const auto file = folder.getChildFile ("pad.mpcc");
    ASSERT_TRUE (mapper.saveToFile (file));
    EXPECT_EQ (file.loadFileAsString(), juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Calyth_MIDI_MAP>\r\n"
                                                      "  <x_pos cc=\"74\"/>\r\n  <y_pos cc=\"1\"/>\r\n</Calyth_MIDI_MAP>\r\n"));

    kelm::CCMapper other;
    ASSERT_TRUE (other.loadFromFile (file));
    EXPECT_EQ (bindings (other), juce::String ("x_pos=74 y_pos=1"));

    // Unparsable or missing files and foreign roots change nothing; an invalid map writes nothing.
    EXPECT_FALSE (other.loadFromFile (files.write (folder.getChildFile ("broken.mpcc"), "<Calyth_MIDI_MAP><x_pos")));
    EXPECT_FALSE (other.loadFromFile (folder.getChildFile ("missing.mpcc")));
    EXPECT_TRUE (other.loadFromFile (files.write (folder.getChildFile ("foreign.mpcc"), "<Calyth><x_pos cc=\"5\"/></Calyth>")));
    EXPECT_EQ (bindings (other), juce::String ("x_pos=74 y_pos=1"));
    other.ccMap = juce::ValueTree();
    EXPECT_FALSE (other.saveToFile (folder.getChildFile ("none.mpcc")));
    EXPECT_FALSE (folder.getChildFile ("none.mpcc").exists());
}

TEST (CCMapper, ControllerApplication)
{
    CalythAudioProcessor processor;
    auto& mapper = processor.ccMapper;
    ParameterLog log (processor, { "x_pos", "y_pos", "dry_wet" });

    // Three values of one controller: one change to the last, inside a gesture; 127 is 1.
    loadMap (mapper, "<Calyth_MIDI_MAP><x_pos cc=\"7\"/></Calyth_MIDI_MAP>");
    mapper.applyControllerMessages (controllers ({ { 7, 10 }, { 7, 20 }, { 7, 127 } }));
    EXPECT_EQ (log.events, (juce::StringArray { x + ":begin", x + ":1.0000", x + ":end" }));
    EXPECT_EQ (mapper.lastReceivedCC.load(), 7);

    // 64 is 64/127 = 0.50394 normalised, which the 0.001 grid of "x_pos" holds as 0.504.
    mapper.applyControllerMessages (controllers ({ { 7, 64 } }));
    EXPECT_FLOAT_EQ (parameterValue (processor, "x_pos"), 0.504f);

    // Controller 123 moves nothing and is not remembered; unknown identifiers are skipped;
    // non-numeric "cc" reads as 0; one parameter on several controllers changes in ascending
    // controller order; two parameters on one controller follow the map's order.
    loadMap (mapper, "<Calyth_MIDI_MAP><dry_wet cc=\"123\"/><no_such cc=\"5\"/><x_pos cc=\"9\"/><x_pos cc=\"3\"/>"
                     "<y_pos cc=\"4\"/><dry_wet cc=\"abc\"/><x_pos cc=\"4\"/></Calyth_MIDI_MAP>");
    log.events.clear();
    mapper.applyControllerMessages (controllers ({ { 9, 127 }, { 3, 0 }, { 123, 50 }, { 5, 1 }, { 4, 127 }, { 0, 0 } }));
    juce::StringArray values;
    for (auto& e : log.events)
        if (! e.endsWith ("begin") && ! e.endsWith ("end"))
            values.add (e);
    EXPECT_EQ (values, (juce::StringArray { dryWet + ":0.0000", x + ":0.0000", y + ":1.0000", x + ":1.0000", x + ":1.0000" }));
    EXPECT_EQ (log.events.size(), 15);
    EXPECT_EQ (mapper.lastReceivedCC.load(), 0);
    mapper.applyControllerMessages (controllers ({ { 123, 0 } }));
    EXPECT_EQ (mapper.lastReceivedCC.load(), 0);
}

TEST (CCMapper, GarbageMidiCostsOneChangePerController)
{
    CalythAudioProcessor processor;
    loadMap (processor.ccMapper, "<Calyth_MIDI_MAP><x_pos cc=\"1\"/><y_pos cc=\"2\"/></Calyth_MIDI_MAP>");
    ParameterLog log (processor, { "x_pos", "y_pos" });
    juce::Random random (7);

    for (int block = 0; block < 50; ++block)
    {
        // Thousands of events at every offset: random bytes, sysex, controller status with any data bytes.
        juce::MidiBuffer midi;
        for (int i = 0; i < 4000; ++i)
        {
            juce::uint8 bytes[8];
            random.fillBitsRandomly (bytes, sizeof (bytes));
            bytes[0] = i % 7 == 0 ? 0xf0 : i % 3 == 0 ? (juce::uint8) (0xb0 | (bytes[0] & 0x0f)) : bytes[0];
            midi.addEvent (bytes, 1 + random.nextInt (8), i % 512);
        }
        midi.addEvent (juce::MidiMessage::controllerEvent (3, 1, 127), 511);

        log.events.clear();
        processor.ccMapper.applyControllerMessages (midi);
        EXPECT_EQ (log.events.indexOf (x + ":1.0000"), 1);
        EXPECT_LE (log.events.size(), 6) << "at most one change per bound controller";
    }
}
