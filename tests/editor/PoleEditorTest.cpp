// The engine editor panel: its layout, children, the conversions between knobs and the settings records, and paint.
#include "EditorTestHelpers.h"
#include "editor/PoleEditor.h"
#include "editor/PoleEditorLookAndFeel.h"
#include "kelm/KelmColours.h"

using namespace calyth::test;

namespace
{
juce::String bounds (const juce::Component& c) { return c.getBounds().toString(); }

// Every field of every engine settings record, and every host parameter, in one list.
std::vector<float> everything (CalythAudioProcessor& p)
{
    std::vector<float> v;
    for (int pole = 0; pole < 4; ++pole)
        for (int c = 0; c < 2; ++c)
        {
            const auto& g = *p.granulizerParameters[pole]->getUnchecked (c);
            const auto& r = *p.resonatorParameters[pole]->getUnchecked (c);
            v.insert (v.end(), { (float) g.density, (float) g.envelope, g.size, g.speed, g.sizeRnd, g.speedRnd, g.ampRnd,
                                 g.gain, (float) g.freeze, r.freq, r.feedback });
        }
    for (int c = 0; c < 2; ++c)
        v.insert (v.end(), { p.diffuserParameters[c]->feedback, p.diffuserParameters[c]->damp });
    for (auto* value : p.calythParameters->rawValues)
        v.push_back (value->load());
    return v;
}

// Index into everything(): field f (0 to 10) of the grain and resonator records of a pole's channel; the diffusers follow.
size_t field (int pole, int channel, int f) { return (size_t) ((pole * 2 + channel) * 11 + f); }
size_t diffuserFeedback (int channel) { return (size_t) (88 + channel * 2); }

struct Counter : juce::Slider::Listener
{
    void sliderValueChanged (juce::Slider*) override { ++calls; }
    int calls = 0;
};
} // namespace

TEST (PoleEditor, LayoutAndChildren)
{
    CalythAudioProcessor processor;
    PoleEditor panel (processor, 1);
    panel.setSize (476, 236);

    juce::StringArray rows { panel.headerArea.toString(), bounds (*panel.poleIcon), bounds (*panel.titleLabel), panel.grainArea.toString(),
                             panel.resonatorArea.toString(), panel.diffusionArea.toString(), bounds (*panel.grainHeader),
                             bounds (*panel.resonatorHeader), bounds (*panel.diffusionHeader) };
    for (int k = 0; k < 5; ++k)
        rows.add (bounds (*panel.leftGrainKnobs[k]) + " / " + bounds (*panel.rightGrainKnobs[k]) + " / " + bounds (*panel.grainCaptions[k]));
    for (int k = 0; k < 2; ++k)
        rows.add (bounds (*panel.leftResonatorKnobs[k]) + " / " + bounds (*panel.rightResonatorKnobs[k]) + " / " + bounds (*panel.resonatorCaptions[k]));
    const auto& d = panel.diffusionControls;
    rows.add (bounds (*d.sendKnob) + " / " + bounds (*d.sendLabel));
    rows.add (bounds (*d.leftDepthKnob) + " / " + bounds (*d.rightDepthKnob) + " / " + bounds (*d.depthLabel));
    EXPECT_EQ (rows.joinIntoString ("\n"), juce::StringArray ({
        "2 2 472 30", "10 10 14 14", "120 4 236 26", "2 34 236 200", "238 34 236 100", "238 134 236 100",
        "4 36 232 20", "240 36 232 20", "240 136 232 20",
        "8 60 53 66 / 63 60 53 66 / 7 127 110 14", "124 60 53 66 / 179 60 53 66 / 123 127 110 14",
        "8 148 33 66 / 43 148 34 66 / 7 215 71 14", "85 148 33 66 / 120 148 34 66 / 84 215 71 14",
        "162 148 34 66 / 198 148 34 66 / 161 215 72 14",
        "244 60 53 54 / 299 60 53 54 / 243 115 110 14", "360 60 53 54 / 415 60 53 54 / 359 115 110 14",
        "271 160 53 54 / 241 217 114 14", "360 160 53 54 / 415 160 53 54 / 359 215 110 14" }).joinIntoString ("\n"));

    // Texts, letters and styles.
    juce::StringArray texts;
    for (auto* label : { panel.titleLabel.get(), panel.grainHeader.get(), panel.resonatorHeader.get(), panel.diffusionHeader.get() })
        texts.add (label->getText() + " " + juce::String (label->getFont().getHeight()) + " " + label->findColour (juce::Label::textColourId).toString());
    for (auto* caption : panel.grainCaptions)
        texts.add (caption->getText() + " " + juce::String (caption->getFont().getHeight()));
    for (auto* caption : panel.resonatorCaptions)
        texts.add (caption->getText());
    texts.add (d.sendLabel->getText() + " " + d.depthLabel->getText() + " " + juce::String (d.depthLabel->getFont().getHeight())
               + " " + d.depthLabel->findColour (juce::Label::textColourId).toString());
    EXPECT_EQ (texts.joinIntoString (", "), "ENGINE EDITOR 16 ff4bc89a, GRAIN 14 ffbdbdbd, RESONATOR 14 ffbdbdbd, DIFFUSION 14 ffbdbdbd, "
                                            "SIZE 12, SPEED 12, SIZE RND 12, SPEED RND 12, AMP RND 12, FREQ, FEED, SEND DEPTH 12 ff4bc89a");
    EXPECT_EQ (panel.grainHeader->findColour (juce::Label::backgroundColourId), kelm::KelmColours::grey);
    juce::String letters;
    for (auto* knobs : { &panel.leftGrainKnobs, &panel.rightGrainKnobs, &panel.leftResonatorKnobs, &panel.rightResonatorKnobs })
        for (auto* knob : *knobs)
            letters << knob->getProperties()[PoleEditorLookAndFeel::knob_txt_property].toString();
    for (auto* knob : { d.leftDepthKnob.get(), d.rightDepthKnob.get(), d.sendKnob.get() })
        letters << "|" << knob->getProperties()[PoleEditorLookAndFeel::knob_txt_property].toString();
    EXPECT_EQ (letters, "LLLLLRRRRRLLRR|L|R|");

    // The send knob is bound to its pole's parameter, which the host sees move.
    setParameter (processor, "pole_b_diff", 0.25f);
    EXPECT_EQ (d.sendKnob->getValue(), 0.25);
    d.sendKnob->setValue (0.75, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.calythParameters->rawValues[11]->load(), 0.75f);
    panel.update_values();
    EXPECT_EQ (d.sendKnob->getTooltip(), "0.75");

    // Smaller than the panel: no bounds of negative size.
    panel.setSize (12, 7);
    for (auto* child : panel.getChildren())
        EXPECT_TRUE (child->getWidth() >= 0 && child->getHeight() >= 0);
}

TEST (PoleEditor, KnobsWriteOneFieldOfTheirRecord)
{
    CalythAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);
    PoleEditor panel (processor, 2);
    const auto& d = panel.diffusionControls;

    // Each pair knob changes exactly its own field of pole 2, channel 0 for L and 1 for R, without snapping.
    const int grainFields[] = { 2, 3, 4, 5, 6 };
    const auto expectOnly = [&] (juce::Slider& knob, size_t index, double position, float value) {
        const auto before = everything (processor);
        knob.setValue (position, juce::sendNotificationSync);
        auto after = everything (processor);
        EXPECT_NEAR (after[index], value, 1.0e-6f * std::abs (value)) << index;
        after[index] = before[index];
        EXPECT_TRUE (after == before) << index;
    };
    for (int c = 0; c < 2; ++c)
    {
        auto& grain = c == 0 ? panel.leftGrainKnobs : panel.rightGrainKnobs;
        auto& resonator = c == 0 ? panel.leftResonatorKnobs : panel.rightResonatorKnobs;
        expectOnly (*grain[1], field (2, c, grainFields[1]), 0.333, 0.5f + 1.5f * 0.333f);
        expectOnly (*grain[2], field (2, c, grainFields[2]), 0.777, 0.25f * 0.777f);
        expectOnly (*grain[3], field (2, c, grainFields[3]), 0.101, 0.5f * 0.101f);
        expectOnly (*grain[4], field (2, c, grainFields[4]), 0.25, 0.25f);
        expectOnly (*resonator[0], field (2, c, 9), 0.5, 520.0f);
        expectOnly (*resonator[1], field (2, c, 10), 0.9, 0.81f);
        expectOnly (c == 0 ? *d.leftDepthKnob : *d.rightDepthKnob, diffuserFeedback (c), 0.125, 0.2f);
        // SIZE fully up: 599 ms as samples at the current rate.
        expectOnly (*grain[0], field (2, c, grainFields[0]), 1.0, 26415.9f);
    }
    EXPECT_EQ (processor.currentPresetName.get(), "INIT");

    // The tooltips after the next refresh; at 48 kHz the same knob stores 28,752 samples.
    panel.update_values();
    EXPECT_EQ (panel.leftGrainKnobs[0]->getTooltip() + " " + panel.leftResonatorKnobs[0]->getTooltip(), "599 Ms 520 Hz");
    processor.prepareToPlay (48000.0, 512);
    panel.leftGrainKnobs[0]->setValue (0.0, juce::sendNotificationSync);
    expectOnly (*panel.leftGrainKnobs[0], field (2, 0, 2), 1.0, 28752.0f);
    panel.update_values();
    EXPECT_EQ (panel.leftGrainKnobs[0]->getTooltip(), "599 Ms");

    // A slider of no pair changes nothing.
    juce::Slider stranger;
    const auto before = everything (processor);
    panel.sliderValueChanged (&stranger);
    panel.sliderValueChanged (d.sendKnob.get());
    panel.sliderValueChanged (nullptr);
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
    Counter counter;
    for (auto* knobs : { &panel.leftGrainKnobs, &panel.rightGrainKnobs, &panel.leftResonatorKnobs, &panel.rightResonatorKnobs })
        for (auto* knob : *knobs)
            knob->addListener (&counter);

    // Regenerated records reach every knob; nothing is written back and no listener hears of it.
    processor.regeneratePole (3);
    const auto regenerated = everything (processor);
    panel.update_values();
    EXPECT_TRUE (everything (processor) == regenerated);
    EXPECT_EQ (counter.calls, 0);
    for (int c = 0; c < 2; ++c)
    {
        const auto& g = *processor.granulizerParameters[3]->getUnchecked (c);
        const auto& r = *processor.resonatorParameters[3]->getUnchecked (c);
        auto& grain = c == 0 ? panel.leftGrainKnobs : panel.rightGrainKnobs;
        auto& resonator = c == 0 ? panel.leftResonatorKnobs : panel.rightResonatorKnobs;
        const float expected[] = { (g.size / 44.1f - 20) / 579, (g.speed - 0.5f) / 1.5f, g.sizeRnd / 0.25f, g.speedRnd / 0.5f, g.ampRnd,
                                   (r.freq - 80) / 880, r.feedback / 0.9f };
        for (int k = 0; k < 7; ++k)
            EXPECT_NEAR ((k < 5 ? grain[k] : resonator[k - 5])->getValue(), juce::jlimit (0.0f, 1.0f, expected[k]), 0.0005) << c << " " << k;
        EXPECT_EQ (grain[1]->getTooltip(), juce::String (g.speed.load(), 2));
        EXPECT_EQ (resonator[1]->getTooltip(), juce::String (r.feedback.load(), 2));
    }

    // Values outside a range put the knob at the nearer end; the tooltip keeps the true value.
    auto& g = *processor.granulizerParameters[3]->getUnchecked (1);
    g.ampRnd = 2.0f;
    g.size = 4.41f; // 0.1 ms
    g.speedRnd = std::numeric_limits<float>::quiet_NaN();
    processor.resonatorParameters[3]->getUnchecked (0)->freq = 1000.0f;
    panel.setVisible (true); // a change of visibility refreshes
    EXPECT_EQ (std::pair (panel.rightGrainKnobs[4]->getValue(), panel.rightGrainKnobs[4]->getTooltip()), std::pair (1.0, juce::String ("2.00")));
    EXPECT_EQ (std::pair (panel.rightGrainKnobs[0]->getValue(), panel.rightGrainKnobs[0]->getTooltip()), std::pair (0.0, juce::String ("0 Ms")));
    EXPECT_EQ (panel.rightGrainKnobs[3]->getValue(), 0.0);
    EXPECT_EQ (std::pair (panel.leftResonatorKnobs[0]->getValue(), panel.leftResonatorKnobs[0]->getTooltip()), std::pair (1.0, juce::String ("1000 Hz")));
    EXPECT_EQ (counter.calls, 0);

    // The diffusers are shared by all poles: a DEPTH change on one panel shows on every other.
    panels[0]->diffusionControls.rightDepthKnob->setValue (0.5, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.diffuserParameters[1]->feedback, 0.5f);
    for (auto* p : panels)
    {
        p->update_values();
        EXPECT_EQ (p->diffusionControls.rightDepthKnob->getValue(), 0.5);
        EXPECT_EQ (p->diffusionControls.leftDepthKnob->getValue(), panels[0]->diffusionControls.leftDepthKnob->getValue());
    }
    for (auto* knobs : { &panel.leftGrainKnobs, &panel.rightGrainKnobs, &panel.leftResonatorKnobs, &panel.rightResonatorKnobs })
        for (auto* knob : *knobs)
            knob->removeListener (&counter);
}

TEST (PoleEditor, PaintAndPoleIcon)
{
    CalythAudioProcessor processor;
    PoleEditor panel (processor, 0);
    panel.setSize (476, 236);
    EXPECT_TRUE (panel.isOpaque());
    juce::Image image (juce::Image::ARGB, 476, 236, true);
    {
        juce::Graphics g (image);
        panel.paint (g);
    }
    const auto at = [&] (int x, int y) { return image.getPixelAt (x, y).getARGB(); };
    constexpr juce::uint32 black = 0xFF000000, grey = 0xFF303030, teal = 0xFF4BC89A, background = 0xFF232323;
    // Frame, header, its accent line, the zone outlines at +1 and the strips under the zone headers.
    EXPECT_EQ (std::vector<juce::uint32> ({ at (0, 0), at (1, 100), at (474, 100), at (2, 2), at (473, 31), at (2, 32), at (473, 33), at (2, 34) }),
               std::vector<juce::uint32> ({ black, grey, grey, black, black, teal, teal, background }));
    EXPECT_EQ (std::vector<juce::uint32> ({ at (3, 100), at (4, 100), at (236, 100), at (237, 100), at (238, 100), at (239, 100), at (300, 134), at (300, 135) }),
               std::vector<juce::uint32> ({ grey, background, grey, background, background, grey, background, grey }));
    EXPECT_EQ (std::vector<juce::uint32> ({ at (4, 56), at (235, 57), at (236, 57), at (4, 58), at (240, 156), at (471, 157), at (300, 55) }),
               std::vector<juce::uint32> ({ teal, teal, grey, background, teal, teal, background }));

    // The icon fills its pole's quadrant (teal at 0xB3 over the black header) and outlines all four.
    for (int pole : { 0, 1, 2, 3, 4, -1 })
    {
        PoleIcon icon (pole);
        icon.setSize (14, 14);
        juce::Image i (juce::Image::ARGB, 14, 14, true);
        {
            juce::Graphics g (i);
            g.fillAll (juce::Colours::black);
            icon.paint (g);
        }
        juce::String filled;
        for (auto p : { juce::Point<int> (3, 3), { 10, 3 }, { 3, 10 }, { 10, 10 } })
            filled << (i.getPixelAt (p.x, p.y) == juce::Colours::black.overlaidWith (kelm::KelmColours::teal.withAlpha ((juce::uint8) 0xB3)) ? "#" : ".");
        EXPECT_EQ (filled, pole >= 0 && pole < 4 ? juce::String ("....").replaceSection (pole, 1, "#") : "....") << pole;
        EXPECT_TRUE (i.getPixelAt (0, 0) == kelm::KelmColours::teal && i.getPixelAt (7, 13) == kelm::KelmColours::teal
                     && i.getPixelAt (6, 6) == kelm::KelmColours::teal && i.getPixelAt (13, 13) == kelm::KelmColours::teal);
    }
}
