#include "OutputStageMath.h"
#include "support/ProcessorProbe.h"
#include "support/SpeechLikeSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using Probe = TaviroProcessorProbe;

namespace
{
juce::MidiBuffer noMidi;
const float ceiling = std::pow (10.0f, -1.0f / 20.0f);

// Feeds a mono signal to both channels in host-sized blocks and returns the output, with the
// largest magnitude seen.
struct Rendered
{
    std::vector<float> left, right;
    float peak = 0.0f;
};

Rendered render (TaviroAudioProcessor& processor, const std::vector<float>& signal, int blockSize)
{
    Rendered out;
    juce::AudioBuffer<float> buffer (2, blockSize);
    for (size_t start = 0; start < signal.size(); start += (size_t) blockSize)
    {
        const auto n = (int) std::min ((size_t) blockSize, signal.size() - start);
        buffer.setSize (2, n, false, false, true);
        for (int channel = 0; channel < 2; ++channel)
            std::copy (signal.begin() + (long) start, signal.begin() + (long) start + n,
                       buffer.getWritePointer (channel));
        processor.processBlock (buffer, noMidi);
        for (int i = 0; i < n; ++i)
        {
            out.left.push_back (buffer.getSample (0, i));
            out.right.push_back (buffer.getSample (1, i));
            out.peak = std::max (
                { out.peak, std::abs (buffer.getSample (0, i)), std::abs (buffer.getSample (1, i)) });
        }
    }
    return out;
}

std::vector<float> sine (double rate, double frequency, float amplitude, size_t count, size_t start = 0)
{
    std::vector<float> samples (start + count, 0.0f);
    for (size_t i = 0; i < count; ++i)
        samples[start + i] = amplitude * (float) std::sin (6.283185307179586 * frequency * (double) i / rate);
    return samples;
}
} // namespace

TEST (TransientControl, ReductionTable)
{
    const std::pair<float, float> cases[] = {
        { 0.0f, 0.0f },    { 8.0f, 0.0f },    { 8.0001f, 0.0f }, { 10.0f, 0.667f },
        { 12.0f, 2.668f }, { 16.0f, 5.336f }, { 20.0f, 8.004f }, { 25.99f, 11.9993f },
        { 26.0f, 12.0f },  { 40.0f, 12.0f },  { -30.0f, 0.0f },
    };
    for (const auto& [difference, reduction] : cases)
        EXPECT_NEAR (transientReductionDb (difference), reduction, 1e-3f) << difference << " dB";
}

TEST (TransientControl, TurnsASuddenRiseDownAndLeavesSteadyMaterialAlone)
{
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 0.0f);
    processor.prepareToPlay (48000.0, 256);

    auto quietThenLoud = sine (48000.0, 220.0, 0.01f, 48000);
    const auto loud = sine (48000.0, 220.0, 0.2f, 9600);
    quietThenLoud.insert (quietThenLoud.end(), loud.begin(), loud.end());

    float lowest = 1.0f;
    juce::AudioBuffer<float> buffer (2, 1);
    for (size_t i = 0; i < quietThenLoud.size(); ++i)
    {
        buffer.setSample (0, 0, quietThenLoud[i]);
        buffer.setSample (1, 0, quietThenLoud[i]);
        processor.processBlock (buffer, noMidi);
        if (i >= 24000 && i < 48000) // the onset from silence has long passed
            ASSERT_EQ (Probe::transientGain (processor), 1.0f) << "steady sine at sample " << i;
        if (i >= 48000)
            lowest = std::min (lowest, Probe::transientGain (processor));
    }
    // A 26 dB jump drives the fast envelope well past 8 dB above the slow one.
    EXPECT_LT (lowest, std::pow (10.0f, -1.0f / 20.0f));
    EXPECT_GE (lowest, std::pow (10.0f, -12.0f / 20.0f) - 1e-4f);
}

TEST (Limiter, CeilingGainTable)
{
    const std::pair<float, float> cases[] = {
        { 0.0f, 1.0f },      { 0.5f, 1.0f },      { 0.89f, 1.0f },       { 0.8912f, 1.0f },
        { 1.0f, 0.891251f }, { 2.0f, 0.445625f }, { 10.0f, 0.0891251f },
    };
    for (const auto& [peak, gain] : cases)
        EXPECT_NEAR (ceilingGain (peak), gain, 2e-6f) << peak;
}

TEST (Limiter, NeverMovesBelowTheCeiling)
{
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 9.0f);
    processor.prepareToPlay (48000.0, 512);

    // The rider only ever cuts this sine (-13.5 dB RMS against the -31 dB target), so even
    // pushed by 9 dB its peaks stay at -1.5 dBFS or below.
    auto signal = sine (48000.0, 440.0, 0.3f, 96000);
    juce::AudioBuffer<float> buffer (2, 512);
    for (size_t start = 0; start + 512 <= signal.size(); start += 512)
    {
        for (int channel = 0; channel < 2; ++channel)
            std::copy_n (signal.begin() + (long) start, 512, buffer.getWritePointer (channel));
        processor.processBlock (buffer, noMidi);
        ASSERT_LE (buffer.getMagnitude (0, 512), ceiling);
        ASSERT_EQ (Probe::limiterGain (processor), 1.0f) << "block at " << start;
    }
}

// The promise of the output stage: nothing leaves above -1 dBFS. Before the look-ahead took the
// minimum over the whole delay, these signals went 0.5 to 5 dB over.
TEST (Limiter, OutputStaysUnderTheCeiling)
{
    struct Case
    {
        const char* name;
        float pushDb, targetDb;
        std::function<std::vector<float>()> signal;
    };
    const Case cases[] = {
        { "click at +6 dBFS after silence", 0.0f, -31.0f,
          []
          {
              std::vector<float> s (48000, 0.0f);
              s[24000] = 2.0f;
              return s;
          } },
        { "1 kHz burst at +6 dBFS", 0.0f, -31.0f,
          []
          {
              auto s = sine (48000.0, 1000.0, 2.0f, 4800, 24000);
              s.resize (48000, 0.0f);
              return s;
          } },
        { "loud speech, push +12, target -6", 12.0f, -6.0f,
          [] { return SpeechLikeSignal (48000.0, 7, -6.0f).take (48000 * 8); } },
    };

    for (const auto& c : cases)
        for (int blockSize : { 64, 512 })
        {
            SCOPED_TRACE (testing::Message() << c.name << ", block " << blockSize);
            TaviroAudioProcessor processor;
            setParameter (processor, "push", c.pushDb);
            processor.referenceDb = c.targetDb;
            processor.prepareToPlay (48000.0, blockSize);
            const auto out = render (processor, c.signal(), blockSize);
            EXPECT_LE (out.peak, ceiling * 1.000001f);
            EXPECT_GT (out.peak, 0.5f * ceiling); // the signal did get through
        }
}

// The gain must already sit at what a peak needs when that peak leaves the delay: a click
// after silence is met by the limiter gain that puts it at the ceiling, not by a last-moment
// correction.
TEST (Limiter, LooksAheadOverTheWholeDelay)
{
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 0.0f);
    processor.prepareToPlay (48000.0, 1);
    const auto delay = Probe::lookAheadSamples (processor);

    juce::AudioBuffer<float> buffer (2, 1);
    for (int i = 0; i <= 4000 + delay; ++i)
    {
        const auto x = i == 4000 ? 2.0f : 0.0f;
        buffer.setSample (0, 0, x);
        buffer.setSample (1, 0, x);
        processor.processBlock (buffer, noMidi);
        if (i == 4000 - 1)
            ASSERT_EQ (Probe::limiterGain (processor), 1.0f);
    }
    // The click came out now, at the gain its own peak asks for. (The rider was at unity; the
    // transient control had taken its first 0.1 % step down on the click.)
    EXPECT_NEAR (Probe::limiterGain (processor) * 2.0f * (1.0f - 0.75f / 720.0f), ceiling, 1e-4f);
    EXPECT_NEAR (std::abs (buffer.getSample (0, 0)), ceiling, 1e-4f);
}

TEST (PushGain, RampsFromUnityOverTwentyMillisecondsAfterPrepare)
{
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 6.0f);
    const auto target = juce::Decibels::decibelsToGain (6.0f);
    processor.prepareToPlay (48000.0, 480);

    juce::AudioBuffer<float> buffer (2, 480); // 10 ms
    buffer.clear();
    processor.processBlock (buffer, noMidi);
    EXPECT_NEAR (Probe::pushGain (processor), 1.0f + 0.5f * (target - 1.0f), 1e-4f);
    buffer.clear();
    processor.processBlock (buffer, noMidi);
    EXPECT_NEAR (Probe::pushGain (processor), target, 1e-5f);

    // And again after the next prepare, although push did not change.
    processor.prepareToPlay (48000.0, 480);
    EXPECT_FLOAT_EQ (Probe::pushGain (processor), 1.0f);
}

TEST (PushGain, ScalesTheOutputButNotTheOutputMeter)
{
    const auto signal = SpeechLikeSignal (48000.0, 3, -30.0f).take (48000 * 3);
    std::vector<float> meterReadings[2];
    Rendered outputs[2];
    const float pushes[] = { -6.0f, 12.0f };

    for (int k = 0; k < 2; ++k)
    {
        TaviroAudioProcessor processor;
        setParameter (processor, "push", pushes[k]);
        processor.prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        for (size_t start = 0; start + 512 <= signal.size(); start += 512)
        {
            for (int channel = 0; channel < 2; ++channel)
                std::copy_n (signal.begin() + (long) start, 512, buffer.getWritePointer (channel));
            processor.processBlock (buffer, noMidi);
            meterReadings[k].push_back (processor.outputLevelDb.load());
            outputs[k].peak = std::max (outputs[k].peak, buffer.getMagnitude (0, 512));
        }
    }

    EXPECT_EQ (meterReadings[0], meterReadings[1]);
    EXPECT_GT (outputs[1].peak, 2.0f * outputs[0].peak);
}
