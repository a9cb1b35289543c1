// The open editor repaints its whole window about 30 times a second (the glow overlay covers
// it): one full frame here is background, children and overlay, at scale 1 and 2.
#include "EditorPictures.h"
#include "PluginEditor.h"

#include <benchmark/benchmark.h>

namespace
{
struct OpenEditor
{
    OpenEditor()
    {
        processor.signalPresent = true;
        editor.reset (static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));
        for (int tick = 0; tick < 60; ++tick) // past the opening, breathing
        {
            editor->timerCallback();
            editor->glowOverlay->timerCallback();
        }
    }

    juce::ScopedJuceInitialiser_GUI juce;
    TaviroAudioProcessor processor;
    std::unique_ptr<TaviroAudioProcessorEditor> editor;
};

void fullFrame (benchmark::State& state)
{
    OpenEditor open;
    const auto scale = (float) state.range (0);
    juce::Image frame (juce::Image::ARGB, juce::roundToInt (413 * scale), juce::roundToInt (438 * scale),
                       true);
    {
        // The first frame builds the overlay's mask, once per editor: measured in maskBuild.
        juce::Graphics g (frame);
        g.addTransform (juce::AffineTransform::scale (scale));
        open.editor->paintEntireComponent (g, true);
    }

    for (auto _ : state)
    {
        open.editor->glowOverlay->timerCallback(); // a new breath each frame, as on screen
        juce::Graphics g (frame);
        g.addTransform (juce::AffineTransform::scale (scale));
        open.editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (frame.getPixelData());
    }
}

void maskBuild (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto device = EditorPictures::glow();
    for (auto _ : state)
        benchmark::DoNotOptimize (GlowOverlay::buildDeviceMask (device, 413, 438, 8));
}
} // namespace

BENCHMARK (fullFrame)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (maskBuild)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
