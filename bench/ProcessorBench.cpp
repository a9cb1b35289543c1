#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

static void processBlockStereo (benchmark::State& state)
{
    const auto blockSize = static_cast<int> (state.range (0));
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, blockSize);
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    buffer.clear();

    for (auto _ : state)
    {
        processor.processBlock (buffer, midi);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed (state.iterations() * blockSize);
}
BENCHMARK (processBlockStereo)->Arg (32)->Arg (128)->Arg (512)->Arg (2048);

BENCHMARK_MAIN();
