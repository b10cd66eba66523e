// The engine editor panel: layout, paint, knobs to settings records and back, and its look's lettered knob.
#include "EditorTestHelpers.h"
#include "editor/PoleEditor.h"
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/KelmColours.h"
#include "kelm/LookTestHelpers.h"

using namespace calyth::test;
using namespace kelm::test;

namespace
{
juce::String bounds (const juce::Component& c) { return c.getBounds().toString(); }

// Every field of every engine settings record, then every host parameter. Field f (0 to 10) of the grain and
// resonator records of a pole's channel is at (pole x 2 + channel) x 11 + f; the diffusers follow at 88.
std::vector<float> everything (CalythAudioProcessor& p)
{
    std::vector<float> v;
    for (int pole = 0; pole < 4; ++pole)
        for (int c = 0; c < 2; ++c)
        {
            const auto& g = *p.granulizerParameters[pole]->getUnchecked (c);
            const auto& r = *p.resonatorParameters[pole]->getUnchecked (c);
            v.insert (v.end(), { (float) g.density, (float) g.envelope, g.size, g.speed, g.sizeRnd, g.speedRnd, g.ampRnd, g.gain, (float) g.freeze, r.freq, r.feedback });
        }
    for (int c = 0; c < 2; ++c)
        v.insert (v.end(), { p.diffuserParameters[c]->feedback, p.diffuserParameters[c]->damp });
    for (auto* value : p.calythParameters->rawValues)
        v.push_back (value->load());
    return v;
}

std::vector<juce::Slider*> pairKnobs (PoleEditor& panel)
{
    std::vector<juce::Slider*> knobs;
    for (auto* array : { &panel.leftGrainKnobs, &panel.rightGrainKnobs, &panel.leftResonatorKnobs, &panel.rightResonatorKnobs })
        knobs.insert (knobs.end(), array->begin(), array->end());
    return knobs;
}
} // namespace

TEST (PoleEditor, LayoutPaintSendKnobAndTheKnobsAndRecordsBothWays)
{
    CalythAudioProcessor processor;
    PoleEditor panel (processor, 1);
    panel.setSize (476, 236);
    const auto& d = panel.diffusionControls;
    juce::StringArray rows { panel.headerArea.toString(), bounds (*panel.poleIcon), bounds (*panel.titleLabel), panel.grainArea.toString(),
                             panel.resonatorArea.toString(), panel.diffusionArea.toString(), bounds (*panel.grainHeader),
                             bounds (*panel.resonatorHeader), bounds (*panel.diffusionHeader) };
    for (int k = 0; k < 7; ++k)
        rows.add (k < 5 ? bounds (*panel.leftGrainKnobs[k]) + " / " + bounds (*panel.rightGrainKnobs[k]) + " / " + bounds (*panel.grainCaptions[k])
                        : bounds (*panel.leftResonatorKnobs[k - 5]) + " / " + bounds (*panel.rightResonatorKnobs[k - 5]) + " / " + bounds (*panel.resonatorCaptions[k - 5]));
    rows.add (bounds (*d.sendKnob) + " / " + bounds (*d.sendLabel));
    rows.add (bounds (*d.leftDepthKnob) + " / " + bounds (*d.rightDepthKnob) + " / " + bounds (*d.depthLabel));
    EXPECT_EQ (rows, juce::StringArray ({ "2 2 472 30", "10 10 14 14", "120 4 236 26", "2 34 236 200", "238 34 236 100", "238 134 236 100",
        "4 36 232 20", "240 36 232 20", "240 136 232 20", "8 60 53 66 / 63 60 53 66 / 7 127 110 14", "124 60 53 66 / 179 60 53 66 / 123 127 110 14",
        "8 148 33 66 / 43 148 34 66 / 7 215 71 14", "85 148 33 66 / 120 148 34 66 / 84 215 71 14", "162 148 34 66 / 198 148 34 66 / 161 215 72 14",
        "244 60 53 54 / 299 60 53 54 / 243 115 110 14", "360 60 53 54 / 415 60 53 54 / 359 115 110 14",
        "271 160 53 54 / 241 217 114 14", "360 160 53 54 / 415 160 53 54 / 359 215 110 14" }));

    // Frame, header, its accent line, zone outlines one pixel in, strips under the zone headers: # black, g grey, t teal, . background.
    juce::Image image (juce::Image::ARGB, 476, 236, true);
    juce::Graphics g (image);
    panel.paint (g);
    const std::pair<juce::Colour, char> key[] = { { juce::Colours::black, '#' }, { kelm::KelmColours::grey, 'g' }, { kelm::KelmColours::teal, 't' }, { juce::Colour (0xFF232323), '.' } };
    std::string probes;
    for (auto p : { juce::Point<int> (0, 0), { 1, 100 }, { 474, 100 }, { 2, 2 }, { 473, 31 }, { 2, 32 }, { 473, 33 }, { 2, 34 }, { 3, 100 }, { 4, 100 },
                    { 236, 100 }, { 237, 100 }, { 238, 100 }, { 239, 100 }, { 300, 134 }, { 300, 135 }, { 4, 56 }, { 235, 57 }, { 236, 57 }, { 4, 58 }, { 471, 157 }, { 300, 55 } })
        for (auto [colour, mark] : key)
            probes += image.getPixelAt (p.x, p.y) == colour ? std::string (1, mark) : "";
    EXPECT_EQ (probes, "#gg##tt.g.g..g.gttg.t.");

    // The send knob is bound to its pole's parameter both ways.
    setParameter (processor, "pole_b_diff", 0.25f);
    EXPECT_EQ (d.sendKnob->getValue(), 0.25);
    d.sendKnob->setValue (0.75, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.calythParameters->rawValues[11]->load(), 0.75f);
    // A panel for a pole outside 0 to 3 edits nothing, send knob included (its neighbours are "dry_wet", "stereo_link_a").
    for (int pole : { -1, 4 })
    {
        PoleEditor stray (processor, pole);
        const auto before = everything (processor);
        stray.diffusionControls.sendKnob->setValue (0.9, juce::sendNotificationSync);
        EXPECT_TRUE (everything (processor) == before) << pole;
    }

    processor.prepareToPlay (44100.0, 512);
    PoleEditor poleC (processor, 2);
    const auto expectOnly = [&] (juce::Slider& knob, size_t index, double position, float value) {
        knob.setValue (position < 0.5 ? 1.0 : 0.0, juce::dontSendNotification); // so that the move is a change
        const auto before = everything (processor);
        knob.setValue (position, juce::sendNotificationSync);
        auto after = everything (processor);
        EXPECT_NEAR (after[index], value, 1.0e-6f * std::abs (value)) << index;
        after[index] = before[index];
        EXPECT_TRUE (after == before) << index;
    };
    // A knob writes one field of its record: pole 2, channel 0 for L, 1 for R; no snapping to the ranges'
    // intervals. SIZE fully up: 599 ms as samples.
    for (size_t c = 0; c < 2; ++c)
    {
        auto& grain = c == 0 ? poleC.leftGrainKnobs : poleC.rightGrainKnobs;
        auto& resonator = c == 0 ? poleC.leftResonatorKnobs : poleC.rightResonatorKnobs;
        const size_t at = (4 + c) * 11;
        expectOnly (*grain[0], at + 2, 1.0, 26415.9f);
        expectOnly (*grain[1], at + 3, 0.333, 0.5f + 1.5f * 0.333f);
        expectOnly (*grain[2], at + 4, 0.777, 0.25f * 0.777f);
        expectOnly (*grain[3], at + 5, 0.101, 0.5f * 0.101f);
        expectOnly (*grain[4], at + 6, 0.25, 0.25f);
        expectOnly (*resonator[0], at + 9, 0.5, 520.0f);
        expectOnly (*resonator[1], at + 10, 0.9, 0.81f);
        expectOnly (c == 0 ? *poleC.diffusionControls.leftDepthKnob : *poleC.diffusionControls.rightDepthKnob, 88 + 2 * c, 0.125, 0.2f);
    }

    // update_values brings every knob back to its record without calling back or writing anything.
    const auto written = everything (processor);
    int calls = 0;
    for (auto* knob : pairKnobs (poleC))
    {
        knob->setValue (0.0, juce::dontSendNotification);
        knob->onValueChange = [&] { ++calls; };
    }
    poleC.update_values();
    juce::String positions;
    for (auto* knob : pairKnobs (poleC))
        positions << juce::String (knob->getValue(), 3) << " ";
    EXPECT_EQ (positions, "1.000 0.333 0.777 0.101 0.250 1.000 0.333 0.777 0.101 0.250 0.500 0.900 0.500 0.900 ");
    EXPECT_TRUE (everything (processor) == written && calls == 0);
    EXPECT_EQ (poleC.leftGrainKnobs[0]->getTooltip() + " " + poleC.leftResonatorKnobs[0]->getTooltip(), "599 Ms 520 Hz");
    processor.prepareToPlay (48000.0, 512);
    expectOnly (*poleC.leftGrainKnobs[0], 46, 1.0, 28752.0f);

    // A stored 1000 Hz puts FREQ at its top; the DEPTH pair edits the channels' diffusers, so every panel shows it.
    processor.resonatorParameters[2]->getUnchecked (0)->freq = 1000.0f;
    poleC.update_values();
    EXPECT_EQ (juce::String (poleC.leftResonatorKnobs[0]->getValue()) + " " + poleC.leftResonatorKnobs[0]->getTooltip(), "1 1000 Hz");
    PoleEditor other (processor, 0);
    EXPECT_EQ (other.diffusionControls.rightDepthKnob->getValue(), 0.125);
}

TEST (PoleEditorLookAndFeel, LetteredKnobGeometryOrderAndDisabledColours)
{
    PoleEditorLookAndFeel lf;
    juce::Component parent;
    juce::Slider slider;
    parent.addAndMakeVisible (slider);
    slider.getProperties().set (PoleEditorLookAndFeel::knob_txt_property, "L");

    // A 40 x 40 knob, r = 18 around (20, 20): the outer disc image, then the wedge, reaching 0.9 r = 16.2 from
    // the start angle to the value in the square (3.8, 3.8, 32.4, 32.4), the inner disc (5.6, 5.6, 28.8, 28.8)
    // and the letter.
    const Knob k (lf, slider, 0.5f, 40, 40);
    ASSERT_TRUE (k.wedge > 0 && (size_t) k.wedge + 3 == k.ops.size());
    EXPECT_EQ (arc (k.path (k.wedge), { 20, 20 }, 16.1f), "..########..........");
    const Knob full (lf, slider, 1.0f, 40, 40);
    EXPECT_TRUE (tenths (full.path (full.wedge).getBounds()).startsWith ("38 38 324 "));
    EXPECT_EQ (std::pair (k.ops[(size_t) k.wedge + 1].fill.colour, tenths (k.path (k.wedge + 1).getBounds())), std::pair (juce::Colour (0xFF272727), juce::String ("56 56 288 288")));

    // At the start of the travel there is no wedge, and the letter is still drawn.
    const Knob start (lf, slider, 0.0f, 40, 40);
    EXPECT_EQ (std::pair (start.wedge, start.ops.back().fill.colour), std::pair (-1, juce::Colour (0xFFBDBDBD)));

    // In a disabled parent the wedge (0x66) and the letter dim.
    parent.setEnabled (false);
    const Knob dim (lf, slider, 0.5f, 40, 40);
    EXPECT_EQ (std::pair (dim.wedge, dim.ops.back().fill.colour), std::pair (k.wedge, juce::Colour (0x7FBDBDBD)));
}
