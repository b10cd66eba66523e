// The engine editor panel: its layout and children, the conversions between knobs and the settings records, and paint.
#include "EditorTestHelpers.h"
#include "editor/PoleEditor.h"
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/KelmColours.h"

using namespace calyth::test;

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

TEST (PoleEditor, LayoutChildrenAndSendKnob)
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
    panel.setSize (12, 7); // no bounds of negative size
    for (auto* child : panel.getChildren())
        EXPECT_TRUE (child->getWidth() >= 0 && child->getHeight() >= 0);

    // Captions and letters: L and R on the pairs and DEPTH, none on SEND.
    juce::String texts;
    for (auto* label : { panel.titleLabel.get(), panel.diffusionHeader.get(), panel.grainCaptions[3], panel.resonatorCaptions[1], d.sendLabel.get() })
        texts << label->getText() << " ";
    for (auto* knob : pairKnobs (panel))
        texts << knob->getProperties()[PoleEditorLookAndFeel::knob_txt_property].toString();
    for (auto* knob : { d.leftDepthKnob.get(), d.rightDepthKnob.get(), d.sendKnob.get() })
        texts << "|" << knob->getProperties()[PoleEditorLookAndFeel::knob_txt_property].toString();
    EXPECT_EQ (texts, "ENGINE EDITOR DIFFUSION SPEED RND FEED SEND LLLLLRRRRRLLRR|L|R|");

    // The send knob is bound to its pole's parameter both ways; its tooltip shows the value.
    setParameter (processor, "pole_b_diff", 0.25f);
    EXPECT_EQ (d.sendKnob->getValue(), 0.25);
    d.sendKnob->setValue (0.75, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.calythParameters->rawValues[11]->load(), 0.75f);
    panel.update_values();
    EXPECT_EQ (d.sendKnob->getTooltip(), "0.75");
}

TEST (PoleEditor, KnobsWriteOneFieldOfTheirRecord)
{
    CalythAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);
    PoleEditor panel (processor, 2);
    const auto expectOnly = [&] (juce::Slider& knob, size_t index, double position, float value) {
        knob.setValue (position < 0.5 ? 1.0 : 0.0, juce::dontSendNotification); // so that the move is a change
        const auto before = everything (processor);
        knob.setValue (position, juce::sendNotificationSync);
        auto after = everything (processor);
        EXPECT_NEAR (after[index], value, 1.0e-6f * std::abs (value)) << index;
        after[index] = before[index];
        EXPECT_TRUE (after == before) << index;
    };
    // Pole 2: channel 0 for L, 1 for R; no snapping to the ranges' intervals. SIZE fully up: 599 ms as samples.
    for (size_t c = 0; c < 2; ++c)
    {
        auto& grain = c == 0 ? panel.leftGrainKnobs : panel.rightGrainKnobs;
        auto& resonator = c == 0 ? panel.leftResonatorKnobs : panel.rightResonatorKnobs;
        const size_t at = (4 + c) * 11;
        expectOnly (*grain[0], at + 2, 1.0, 26415.9f);
        expectOnly (*grain[1], at + 3, 0.333, 0.5f + 1.5f * 0.333f);
        expectOnly (*grain[2], at + 4, 0.777, 0.25f * 0.777f);
        expectOnly (*grain[3], at + 5, 0.101, 0.5f * 0.101f);
        expectOnly (*grain[4], at + 6, 0.25, 0.25f);
        expectOnly (*resonator[0], at + 9, 0.5, 520.0f);
        expectOnly (*resonator[1], at + 10, 0.9, 0.81f);
        expectOnly (c == 0 ? *panel.diffusionControls.leftDepthKnob : *panel.diffusionControls.rightDepthKnob, 88 + 2 * c, 0.125, 0.2f);
    }
    EXPECT_EQ (processor.currentPresetName.get(), "INIT");
    panel.update_values();
    EXPECT_EQ (panel.leftGrainKnobs[0]->getTooltip() + " " + panel.leftResonatorKnobs[0]->getTooltip(), "599 Ms 520 Hz");

    processor.prepareToPlay (48000.0, 512);
    expectOnly (*panel.leftGrainKnobs[0], 46, 1.0, 28752.0f);
    panel.update_values();
    EXPECT_EQ (panel.leftGrainKnobs[0]->getTooltip(), "599 Ms");

    // A slider of no pair, and any knob of a panel for a pole that does not exist, change nothing.
    juce::Slider stranger;
    PoleEditor nowhere (processor, 4);
    const auto before = everything (processor);
    for (auto* slider : { &stranger, panel.diffusionControls.sendKnob.get(), (juce::Slider*) nullptr })
        panel.sliderValueChanged (slider);
    for (auto* knob : pairKnobs (nowhere))
        knob->setValue (knob->getValue() > 0.5 ? 0.0 : 1.0, juce::sendNotificationSync);
    EXPECT_TRUE (everything (processor) == before);
}

TEST (PoleEditor, UpdateValuesFollowsTheRecordsWithoutCallingBack)
{
    CalythAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);
    juce::OwnedArray<PoleEditor> panels;
    for (int pole = 0; pole < 4; ++pole)
        panels.add (new PoleEditor (processor, pole));
    auto& panel = *panels[3];
    struct Counter : juce::Slider::Listener
    {
        void sliderValueChanged (juce::Slider*) override { ++calls; }
        int calls = 0;
    } counter;
    for (auto* knob : pairKnobs (panel))
        knob->addListener (&counter);

    // Regenerated records reach every knob; nothing is written back and no listener hears of it.
    processor.regeneratePole (3);
    const auto regenerated = everything (processor);
    panel.update_values();
    EXPECT_TRUE (everything (processor) == regenerated && counter.calls == 0);
    for (int c = 0; c < 2; ++c)
    {
        const auto& g = *processor.granulizerParameters[3]->getUnchecked (c);
        const auto& r = *processor.resonatorParameters[3]->getUnchecked (c);
        const float expected[] = { (g.size / 44.1f - 20) / 579, (g.speed - 0.5f) / 1.5f, g.sizeRnd / 0.25f, g.speedRnd / 0.5f, g.ampRnd, (r.freq - 80) / 880, r.feedback / 0.9f };
        for (int k = 0; k < 7; ++k)
            EXPECT_NEAR (pairKnobs (panel)[(size_t) (k < 5 ? 5 * c + k : 10 + 2 * c + k - 5)]->getValue(), juce::jlimit (0.0f, 1.0f, expected[k]), 0.0005) << c << k;
        EXPECT_EQ ((c == 0 ? panel.leftGrainKnobs : panel.rightGrainKnobs)[1]->getTooltip(), juce::String (g.speed.load(), 2));
    }

    // Values outside a range put the knob at the nearer end; the tooltip keeps the true value. 1190.7 samples
    // x 1000 in single precision is 1190700: 27 ms, where double precision gives 26.99999 ms.
    auto& g = *processor.granulizerParameters[3]->getUnchecked (1);
    g.ampRnd = 2.0f;
    g.size = 4.41f;
    g.speedRnd = std::numeric_limits<float>::quiet_NaN();
    processor.resonatorParameters[3]->getUnchecked (0)->freq = 1000.0f;
    processor.granulizerParameters[3]->getUnchecked (0)->size = 1190.7f;
    panel.setVisible (true); // a change of visibility refreshes
    const auto shown = [] (juce::Slider* k) { return juce::String (k->getValue()) + " " + k->getTooltip(); };
    EXPECT_EQ (shown (panel.rightGrainKnobs[4]) + ", " + shown (panel.rightGrainKnobs[0]) + ", " + shown (panel.leftResonatorKnobs[0]) + ", " + panel.leftGrainKnobs[0]->getTooltip(),
               "1 2.00, 0 0 Ms, 1 1000 Hz, 27 Ms");
    EXPECT_EQ (panel.rightGrainKnobs[3]->getValue(), 0.0);
    EXPECT_EQ (counter.calls, 0);

    // The diffusers are shared by all poles: a DEPTH change on one panel shows on every other.
    panels[0]->diffusionControls.rightDepthKnob->setValue (0.0, juce::dontSendNotification);
    panels[0]->diffusionControls.rightDepthKnob->setValue (0.5, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.diffuserParameters[1]->feedback, 0.5f);
    for (auto* p : panels)
    {
        p->update_values();
        EXPECT_EQ (p->diffusionControls.rightDepthKnob->getValue(), 0.5);
        EXPECT_EQ (p->diffusionControls.leftDepthKnob->getValue(), panels[0]->diffusionControls.leftDepthKnob->getValue());
    }
    for (auto* knob : pairKnobs (panel))
        knob->removeListener (&counter);
}

TEST (PoleEditor, PaintAndPoleIcon)
{
    CalythAudioProcessor processor;
    PoleEditor panel (processor, 0);
    panel.setSize (476, 236);
    EXPECT_TRUE (panel.isOpaque());
    juce::Image image (juce::Image::ARGB, 476, 236, true);
    juce::Graphics g (image);
    panel.paint (g);
    // Frame, header and its accent line, zone outlines one pixel in, the strips under the zone headers:
    // # black, g grey, t teal, . background.
    const std::pair<juce::Colour, char> key[] = { { juce::Colours::black, '#' }, { kelm::KelmColours::grey, 'g' }, { kelm::KelmColours::teal, 't' }, { juce::Colour (0xFF232323), '.' } };
    std::string probes;
    for (auto p : { juce::Point<int> (0, 0), { 1, 100 }, { 474, 100 }, { 2, 2 }, { 473, 31 }, { 2, 32 }, { 473, 33 }, { 2, 34 }, { 3, 100 }, { 4, 100 },
                    { 236, 100 }, { 237, 100 }, { 238, 100 }, { 239, 100 }, { 300, 134 }, { 300, 135 }, { 4, 56 }, { 235, 57 }, { 236, 57 }, { 4, 58 }, { 471, 157 }, { 300, 55 } })
        for (auto [colour, mark] : key)
            probes += image.getPixelAt (p.x, p.y) == colour ? std::string (1, mark) : "";
    EXPECT_EQ (probes, "#gg##tt.g.g..g.gttg.t.");

    // The icon fills its pole's quadrant (teal at 0xB3 over the black header) and outlines all four.
    for (int pole : { 0, 1, 2, 3, 4, -1 })
    {
        PoleIcon icon (pole);
        icon.setSize (14, 14);
        juce::Image i (juce::Image::RGB, 14, 14, true);
        juce::Graphics ig (i);
        icon.paint (ig);
        juce::String filled;
        for (auto p : { juce::Point<int> (3, 3), { 10, 3 }, { 3, 10 }, { 10, 10 } })
            filled << (i.getPixelAt (p.x, p.y) == juce::Colours::black.overlaidWith (kelm::KelmColours::teal.withAlpha ((juce::uint8) 0xB3)) ? "#" : ".");
        EXPECT_EQ (filled, pole >= 0 && pole < 4 ? juce::String ("....").replaceSection (pole, 1, "#") : "....") << pole;
        for (auto p : { juce::Point<int> (0, 0), { 7, 13 }, { 6, 6 }, { 13, 13 } })
            EXPECT_EQ (i.getPixelAt (p.x, p.y), kelm::KelmColours::teal);
    }
}
