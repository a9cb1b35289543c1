// Cost of processBlock per stereo frame at 48 kHz (1e9 / items_per_second gives ns per
// frame). Every iteration first restores its block from a clean copy; the plain gain ramp over
// the same buffers, with the same copy, is the floor: what any plug-in pays to touch the audio.
#include "PluginProcessor.h"
#include "support/SpeechLikeSignal.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr size_t sourceFrames = 48000 * 4;

enum Material
{
    speechLike, // keeps the transient detector and the limiter busy
    nearSilence // a decaying tail around -100 dBFS: the denormal trap
};

const std::vector<float>& source (Material material)
{
    static const auto speech = []
    {
        // Pushed hard into a high target so the limiter works on many peaks.
        return SpeechLikeSignal (sampleRate, 4, -8.0f).take (sourceFrames);
    }();
    static const auto silence = []
    {
        std::vector<float> samples (sourceFrames);
        float level = 1.0e-5f;
        for (size_t i = 0; i < samples.size(); ++i, level *= 0.99999f)
            samples[i] = level * ((i & 1) ? 1.0f : -1.0f);
        return samples;
    }();
    return material == speechLike ? speech : silence;
}

// Pre-cut blocks of the source, so the measured loop copies in memory and nothing else.
struct Blocks
{
    Blocks (Material material, int blockSize)
    {
        const auto& samples = source (material);
        for (size_t start = 0; start + (size_t) blockSize <= samples.size(); start += (size_t) blockSize)
        {
            juce::AudioBuffer<float> block (2, blockSize);
            for (int channel = 0; channel < 2; ++channel)
                std::copy_n (samples.begin() + (long) start, blockSize, block.getWritePointer (channel));
            block.applyGain (1, 0, blockSize, 0.8f); // a little stereo difference
            blocks.push_back (std::move (block));
        }
    }
    std::vector<juce::AudioBuffer<float>> blocks;
};

// items_per_second counts stereo frames; 1e9 / items_per_second is the cost in ns per frame.
void reportPerFrame (benchmark::State& state, int blockSize)
{
    state.SetItemsProcessed ((int64_t) state.iterations() * blockSize);
}

void processBlock (benchmark::State& state, Material material)
{
    const auto blockSize = (int) state.range (0);
    const Blocks source (material, blockSize);
    auto work = source.blocks;

    TaviroAudioProcessor processor;
    processor.referenceDb = -12.0f;
    processor.prepareToPlay (sampleRate, blockSize);
    juce::MidiBuffer midi;
    size_t next = 0;

    for (auto _ : state)
    {
        work[next].makeCopyOf (source.blocks[next], true);
        processor.processBlock (work[next], midi);
        benchmark::ClobberMemory();
        next = next + 1 == work.size() ? 0 : next + 1;
    }
    reportPerFrame (state, blockSize);
}

void gainRampFloor (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);
    const Blocks source (speechLike, blockSize);
    auto work = source.blocks;
    size_t next = 0;
    float gain = 1.0f;

    for (auto _ : state)
    {
        work[next].makeCopyOf (source.blocks[next], true);
        const auto target = gain > 0.9f ? 0.5f : 1.0f;
        work[next].applyGainRamp (0, blockSize, gain, target);
        gain = target;
        benchmark::ClobberMemory();
        next = next + 1 == work.size() ? 0 : next + 1;
    }
    reportPerFrame (state, blockSize);
}
} // namespace

BENCHMARK_CAPTURE (processBlock, speech_like, speechLike)->Arg (32)->Arg (128)->Arg (512)->Arg (2048);
BENCHMARK_CAPTURE (processBlock, near_silence, nearSilence)->Arg (32)->Arg (128)->Arg (512)->Arg (2048);
BENCHMARK (gainRampFloor)->Arg (32)->Arg (128)->Arg (512)->Arg (2048);

BENCHMARK_MAIN();

// The look-ahead delay on its own, pushed and popped per sample as the limiter uses it: most
// of processBlock's cost is here (its read and write positions advance by integer division).
static void delayLineAlone (benchmark::State& state)
{
    juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear> line { 256 };
    line.prepare ({ 48000.0, 512, 2 });
    line.setMaximumDelayInSamples (241);
    line.setDelay (240.0f);
    juce::AudioBuffer<float> buffer (2, 512);
    buffer.clear();
    for (auto _ : state)
    {
        auto* l = buffer.getWritePointer (0);
        auto* r = buffer.getWritePointer (1);
        for (int i = 0; i < 512; ++i)
        {
            line.pushSample (0, l[i]);
            line.pushSample (1, r[i]);
            l[i] = line.popSample (0);
            r[i] = line.popSample (1);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed ((int64_t) state.iterations() * 512);
}
BENCHMARK (delayLineAlone);
