// Speed of painting the editor's parts: one pad paint and one engine editor panel paint, at 1x and 2x.
#include <benchmark/benchmark.h>

#include "editor/CalythPad.h"
#include "editor/PoleEditor.h"
#include "editor/PoleEditorLookAndFeel.h"
#include "plugin/PluginProcessor.h"

namespace
{
// Paints the component with its children into an image of its size at the scale, once per iteration.
void paintRepeatedly (benchmark::State& state, juce::Component& component)
{
    const float scale = (float) state.range (0);
    juce::Image image (juce::Image::ARGB, juce::roundToInt ((float) component.getWidth() * scale),
                       juce::roundToInt ((float) component.getHeight() * scale), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (scale));
        component.paintEntireComponent (g, false);
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
}
} // namespace

// The pad as the window shows it while sound plays with the trajectory on.
static void PadPaint (benchmark::State& state)
{
    CalythAudioProcessor processor;
    processor.rmsLevel = 0.25f;
    processor.trajectoryX = 0.6f;
    processor.trajectoryY = 0.3f;
    processor.trajectoryXLow = 0.2f;
    processor.trajectoryXHigh = 0.8f;
    processor.trajectoryYLow = 0.1f;
    processor.trajectoryYHigh = 0.5f;
    auto* trajectory = processor.parameterTree.getParameter ("trajectory");
    trajectory->setValueNotifyingHost (1.0f);
    CalythPad pad (processor);
    pad.setSize (284, 284);
    pad.timerCallback();
    paintRepeatedly (state, pad);
}
BENCHMARK (PadPaint)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);

// A panel with its 19 knobs, labels and headers, drawn through the shared looks as in the window.
static void PanelPaint (benchmark::State& state)
{
    CalythAudioProcessor processor;
    kelm::KVLook look;
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    {
        PoleEditorLookAndFeel poleLook;
        PoleEditor panel (processor, 1);
        panel.setLookAndFeel (&poleLook);
        panel.setSize (476, 236);
        paintRepeatedly (state, panel);
        panel.setLookAndFeel (nullptr);
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
BENCHMARK (PanelPaint)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);
