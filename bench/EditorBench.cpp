// Speed of the window: building the editor, painting it whole at 1x and 2x, and what an idle open editor costs.
#include <benchmark/benchmark.h>

#include "editor/PluginEditor.h"
#include "plugin/PluginProcessor.h"

namespace
{
// Building parses every image of the window and its looks.
void BuildEditor (benchmark::State& state)
{
    CalythAudioProcessor processor;
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        benchmark::DoNotOptimize (editor.get());
        processor.editorBeingDeleted (editor.get());
    }
}
BENCHMARK (BuildEditor)->Unit (benchmark::kMillisecond);

// The whole window painted into an image at 480 x 600 units, the pixel scale given by the argument.
void PaintWindow (benchmark::State& state)
{
    const auto scale = (float) state.range (0);
    CalythAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    juce::Image image (juce::Image::ARGB, juce::roundToInt (480 * scale), juce::roundToInt (600 * scale), true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (scale));
        editor->paintEntireComponent (g, true);
    }
    processor.editorBeingDeleted (editor.get());
}
BENCHMARK (PaintWindow)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);

// One second of an idle open editor: ten ticks of the window's timer, twenty of the pad's with the pad
// repainted each time (the rest of the window stays as it is). Reported as % of one core.
void IdleEditorSecond (benchmark::State& state)
{
    CalythAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& main = static_cast<CalythAudioProcessorEditor&> (*editor).mainComponent;
    main.stopTimer();
    main.pad->stopTimer();
    juce::Image padImage (juce::Image::ARGB, main.pad->getWidth(), main.pad->getHeight(), true);
    const auto start = juce::Time::getMillisecondCounterHiRes();
    for (auto _ : state)
    {
        for (int tick = 0; tick < 20; ++tick)
        {
            if (tick % 2 == 0)
                main.timerCallback();
            main.pad->timerCallback();
            juce::Graphics g (padImage);
            main.pad->paintEntireComponent (g, true);
        }
    }
    // Milliseconds per simulated second, divided by the 1000 of a second, times 100.
    state.counters["percent_of_one_core"] = (juce::Time::getMillisecondCounterHiRes() - start) / (double) state.iterations() / 10.0;
    processor.editorBeingDeleted (editor.get());
}
BENCHMARK (IdleEditorSecond)->Unit (benchmark::kMillisecond);
} // namespace
