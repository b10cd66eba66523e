// The controller map: editing, map documents and the application of controller messages, broken ones included.
#include <gtest/gtest.h>

#include "../plugin/StateTestHelpers.h"

using namespace calyth::test;

namespace
{
juce::MidiBuffer controllers (std::initializer_list<std::pair<int, int>> numberAndValue)
{
    juce::MidiBuffer midi;
    for (auto [number, value] : numberAndValue)
        midi.addEvent (juce::MidiMessage::controllerEvent (1, number, value), midi.getNumEvents());
    return midi;
}

void loadMap (kelm::CCMapper& m, const juce::String& bindings, const juce::String& tag = "Calyth_MIDI_MAP") { m.loadMapFromXml (*juce::parseXML ("<" + tag + ">" + bindings + "</" + tag + ">")); }
} // namespace

TEST (CCMapper, EditingDocumentsAndControllerApplication)
{
    CalythAudioProcessor processor;
    auto& mapper = processor.ccMapper;
    kelm::CCMapper other;
    mapper.mapLastCCToParameter ("y_pos"); // before any controller: bound to -1
    mapper.lastReceivedCC = 74;
    mapper.mapLastCCToParameter ("x_pos");
    mapper.lastReceivedCC = 1;
    mapper.mapLastCCToParameter ("x_pos"); // one binding per parameter
    mapper.clearCCMapping ("dry_wet");
    EXPECT_EQ (mapText (mapper), juce::String ("<Calyth_MIDI_MAP><y_pos cc=\"-1\"/><x_pos cc=\"1\"/></Calyth_MIDI_MAP>"));
    // A foreign root is ignored; with several children of one type only the first is changed or removed.
    loadMap (mapper, "<x_pos cc=\"3\"/><x_pos cc=\"4\"/><x_pos cc=\"5\"/><z cc=\"6\"/>", "calyth_MIDI_map");
    mapper.mapLastCCToParameter ("x_pos");
    mapper.clearCCMapping ("z");
    mapper.clearCCMapping ("x_pos");
    loadMap (mapper, "<y_pos cc=\"7\"/>", "Calyth");
    EXPECT_EQ (mapText (mapper), juce::String ("<calyth_MIDI_map><x_pos cc=\"4\"/><x_pos cc=\"5\"/></calyth_MIDI_map>"));
    // The map document: declaration, blank line, one binding per line; an unparsable file changes nothing.
    loadMap (mapper, "<x_pos cc=\"74\"/><y_pos cc=\"1\"/>");
    const auto file = writeFile (homeFolder().getChildFile ("pad.mpcc"), {});
    ASSERT_TRUE (mapper.saveToFile (file));
    EXPECT_EQ (file.loadFileAsString(), juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Calyth_MIDI_MAP>\r\n"
                                                      "  <x_pos cc=\"74\"/>\r\n  <y_pos cc=\"1\"/>\r\n</Calyth_MIDI_MAP>\r\n"));
    {
        const FileSizeLimit fullDisk (20); // whole or not at all
        mapper.clearCCMapping ("y_pos");
        EXPECT_FALSE (mapper.saveToFile (file));
    }
    ASSERT_TRUE (other.loadFromFile (file));
    EXPECT_FALSE (other.loadFromFile (writeFile (homeFolder().getChildFile ("broken.mpcc"), "<Calyth_MIDI_MAP><x_pos")));
    EXPECT_EQ (mapText (other), "<Calyth_MIDI_MAP><x_pos cc=\"74\"/><y_pos cc=\"1\"/></Calyth_MIDI_MAP>");

    ParameterEvents log (processor, { 1, 2, 9 }); // x_pos, y_pos, dry_wet
    // Three values of one controller: one change to the last, inside a gesture; 127 is 1.
    loadMap (mapper, "<x_pos cc=\"7\"/>");
    mapper.applyControllerMessages (controllers ({ { 7, 10 }, { 7, 20 }, { 7, 127 } }));
    EXPECT_EQ (log.events + " " + juce::String (mapper.lastReceivedCC.load()), juce::String (" ( 1:1.0000 ) 7"));
    // Controller 123 moves nothing and is not remembered; unknown identifiers are skipped; non-numeric
    // "cc" reads as 0; ascending controller order, then map order.
    loadMap (mapper, "<dry_wet cc=\"123\"/><no_such cc=\"5\"/><x_pos cc=\"9\"/><x_pos cc=\"3\"/><y_pos cc=\"4\"/><dry_wet cc=\"abc\"/><x_pos cc=\"4\"/>");
    log.events.clear();
    mapper.applyControllerMessages (controllers ({ { 9, 127 }, { 3, 0 }, { 123, 50 }, { 5, 1 }, { 4, 127 }, { 0, 0 }, { 123, 9 } }));
    EXPECT_EQ (log.events + " " + juce::String (mapper.lastReceivedCC.load()), juce::String (" ( 9:0.0000 ) ( 1:0.0000 ) ( 2:1.0000 ) ( 1:1.0000 ) ( 1:1.0000 ) 0"));
    // A pair bound many times moves its parameter once; the map keeps every binding, to be saved as it came.
    loadMap (mapper, juce::String::repeatedString ("<x_pos cc=\"7\"/>", 1000) + "<y_pos cc=\"7\"/><x_pos cc=\"7\"/>");
    log.events.clear();
    mapper.applyControllerMessages (controllers ({ { 7, 127 } }));
    EXPECT_EQ (log.events + " " + juce::String (mapper.ccMap.getNumChildren()), juce::String (" ( 1:1.0000 ) ( 2:1.0000 ) 1002"));
    loadMap (mapper, "<x_pos cc=\"0\"/><y_pos cc=\"127\"/><x_pos cc=\"-1\"/>");
    log.events.clear();
    juce::String expected;
    // Controllers 0 and 127 with every value, each reaching its parameter as value / 127 (a binding to -1, made before
    // any controller came, moves nothing); after them in each block, messages with a data byte of 128 or more, whose
    // low seven bits would name another controller, value or program, and a controller message cut short.
    for (int v = 0; v < 128; ++v)
    {
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 0, v), 0);
        midi.addEvent (juce::MidiMessage::controllerEvent (2, 127, 127 - v), 1);
        const auto other = (juce::uint8) ((v + 1) % 128);
        for (const auto& bad : { std::array<juce::uint8, 4> { 3, 0xb0, 0x80, other }, { 3, 0xb3, 0, (juce::uint8) (0x80 | other) }, { 3, 0xc0, 0x85, 0 }, { 2, 0xb0, 0, 0 } })
            midi.addEvent (bad.data() + 1, bad[0], 2);
        ASSERT_TRUE (runBlock (processor, midi) && mapper.lastReceivedCC.load() == 127) << v;
        expected << " ( 1:" << juce::String (v / 127.0, 4) << " ) ( 2:" << juce::String ((127 - v) / 127.0, 4) << " )";
    }
    // A value moves its parameter in its own block only.
    runBlock (processor, juce::MidiBuffer (juce::MidiMessage::controllerEvent (1, 5, 64)));
    EXPECT_TRUE (log.events == expected && processor.lastProgramNumber.load() == 0) << log.events;
    // A garbage block: thousands of events at every offset, random bytes, sysex, controller and program-change status
    // with any data bytes; then a real change of controller 1.
    loadMap (mapper, "<x_pos cc=\"1\"/><y_pos cc=\"2\"/>");
    juce::Random random (7);
    juce::MidiBuffer midi;
    for (int i = 0; i < 8000; ++i)
    {
        juce::uint8 bytes[8];
        random.fillBitsRandomly (bytes, sizeof (bytes));
        bytes[0] = i % 7 == 0 ? 0xf0 : i % 3 == 0 ? (juce::uint8) ((i % 2 ? 0xb0 : 0xc0) | (bytes[0] & 0x0f)) : bytes[0];
        midi.addEvent (bytes, 1 + random.nextInt (8), i % 256);
    }
    midi.addEvent (juce::MidiMessage::controllerEvent (3, 1, 127), 255);
    log.events.clear();
    ASSERT_TRUE (runBlock (processor, midi));
    EXPECT_TRUE (log.events == " ( 1:1.0000 )" || (log.events.startsWith (" ( 1:1.0000 ) ( 2:") && log.events.length() == 26)) << log.events;
    EXPECT_TRUE (processor.lastProgramNumber.load() >= -1 && processor.lastProgramNumber.load() < 128);
}
