#include "support/ProcessorProbe.h"
#include "support/SpeechLikeSignal.h"

#include <gtest/gtest.h>

#include <cmath>

using Probe = TaviroProcessorProbe;

namespace
{
juce::MidiBuffer noMidi;

void process (TaviroAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    processor.processBlock (buffer, noMidi);
}

void fill (juce::AudioBuffer<float>& buffer, float value)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), value, buffer.getNumSamples());
}

// Runs a constant level through until every smoother has settled on it.
void settle (TaviroAudioProcessor& processor, float value, int blockSize, int blocks)
{
    juce::AudioBuffer<float> buffer (2, blockSize);
    for (int b = 0; b < blocks; ++b)
    {
        fill (buffer, value);
        process (processor, buffer);
    }
}
} // namespace

TEST (SignalPathCoefficients, GainSmoothingFollowsZoneWidth)
{
    // 10 ms at width 2 and 20 ms at width 30, counted in blocks of the current length.
    const struct
    {
        float width;
        double rate;
        int block;
        float expected;
    } cases[] = {
        { 2.0f, 44100.0, 512, 0.313f },
        { 30.0f, 44100.0, 512, 0.560f },
        { 16.0f, 44100.0, 512, std::exp (-1.0f / (44100.0f / 512.0f * 0.015f)) },
        { 2.0f, 48000.0, 64, std::exp (-1.0f / (750.0f * 0.01f)) },
    };

    for (const auto& c : cases)
    {
        TaviroAudioProcessor processor;
        setParameter (processor, "bigBracketWidth", c.width);
        processor.prepareToPlay (c.rate, c.block);
        settle (processor, 0.0f, c.block, 1);
        EXPECT_NEAR (Probe::gainSmoothing (processor), c.expected, 0.0005f)
            << "width " << c.width << " rate " << c.rate << " block " << c.block;
    }
}

TEST (SignalPathCoefficients, LevelSmoothersCountInLargestBlocks)
{
    const struct
    {
        double rate;
        int block;
        float fast, slow;
    } cases[] = {
        { 44100.0, 512, 0.6791f, 0.9620f },
        { 48000.0, 512, 0.7008f, 0.9651f },
        // Below one block per 30 ms the fast smoother is held at one block.
        { 44100.0, 4096, 0.3679f, 0.7340f },
    };

    for (const auto& c : cases)
    {
        TaviroAudioProcessor processor;
        processor.prepareToPlay (c.rate, c.block);
        EXPECT_NEAR (Probe::fastLevelCoefficient (processor), c.fast, 0.0005f) << c.rate << "/" << c.block;
        EXPECT_NEAR (Probe::slowLevelCoefficient (processor), c.slow, 0.0005f) << c.rate << "/" << c.block;
    }
}

TEST (SignalPathCoefficients, ReportsTheTrueLookAheadAsLatency)
{
    const std::pair<double, int> cases[] = {
        { 44100.0, 220 }, { 48000.0, 240 }, { 88200.0, 441 }, { 96000.0, 480 }, { 192000.0, 960 }
    };
    for (const auto& [rate, latency] : cases)
    {
        TaviroAudioProcessor processor;
        processor.prepareToPlay (rate, 512);
        EXPECT_EQ (processor.getLatencySamples(), latency) << rate;
        EXPECT_EQ (Probe::lookAheadSamples (processor), latency) << rate;
    }
}

TEST (BlockStage, RampStartsAtThePreviousGainAndOutputIsDelayedByTheLookAhead)
{
    constexpr int blockSize = 512;
    TaviroAudioProcessor processor;
    setParameter (processor, "push", 0.0f);
    processor.prepareToPlay (48000.0, blockSize);
    settle (processor, 0.01f, blockSize, 200); // -40 dB, ridden up towards the -31 dB zone

    processor.referenceDb = -45.0f; // now the rider has to cut
    juce::AudioBuffer<float> buffer (2, blockSize);
    for (int i = 0; i < blockSize; ++i)
        for (int channel = 0; channel < 2; ++channel)
            buffer.setSample (channel, i, 0.01f * (1.0f + 0.1f * std::sin (0.01f * (float) i)));
    const juce::AudioBuffer<float> input (buffer);

    const auto previous = Probe::previousGain (processor);
    process (processor, buffer);
    const auto reached = Probe::previousGain (processor);
    ASSERT_LT (reached, previous - 0.01f);

    const auto delay = Probe::lookAheadSamples (processor);
    for (int i = 0; i + delay < blockSize; ++i)
    {
        const auto ramp = previous + (float) i * (reached - previous) / (float) blockSize;
        for (int channel = 0; channel < 2; ++channel)
            ASSERT_EQ (buffer.getSample (channel, i + delay), input.getSample (channel, i) * ramp)
                << "sample " << i;
    }
}

TEST (BlockStage, PublishesLevelsZoneAndSignalFlag)
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);

    settle (processor, 0.0f, 512, 1);
    EXPECT_FLOAT_EQ (processor.inputLevelDb.load(), -70.0f);
    EXPECT_FLOAT_EQ (processor.outputLevelDb.load(), -70.0f);
    EXPECT_EQ (processor.zoneState.load(), (int) RideZoneState::Gated);
    EXPECT_FALSE (processor.signalPresent.load());

    settle (processor, 0.1f, 512, 300); // -20 dB: above the zone
    EXPECT_NEAR (processor.inputLevelDb.load(), -20.0f, 0.01f);
    EXPECT_EQ (processor.zoneState.load(), (int) RideZoneState::Outside);
    EXPECT_TRUE (processor.signalPresent.load());
    // The output meter reads the ridden level: 9 dB cut towards the zone's upper edge.
    EXPECT_NEAR (processor.outputLevelDb.load(), -29.0f, 0.05f);
}

TEST (BlockStage, PrepareRestartsFromUnityAndSilence)
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    settle (processor, 0.3f, 512, 100);
    ASSERT_LT (Probe::previousGain (processor), 0.5f);

    processor.prepareToPlay (44100.0, 256);
    EXPECT_FLOAT_EQ (Probe::previousGain (processor), 1.0f);
    EXPECT_FLOAT_EQ (Probe::fastLevel (processor), 0.0f);
    EXPECT_FLOAT_EQ (Probe::limiterGain (processor), 1.0f);

    juce::AudioBuffer<float> buffer (2, 256);
    fill (buffer, 0.0f);
    process (processor, buffer);
    EXPECT_FLOAT_EQ (processor.inputLevelDb.load(), -70.0f);
    EXPECT_FLOAT_EQ (processor.outputLevelDb.load(), -70.0f);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ (buffer.getSample (0, i), 0.0f); // no leftovers in the delay line
}

TEST (BlockStage, OneInputChannelRidesChannelZeroOnly)
{
    AnyLayoutProcessor processor;
    processor.useLayout (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
    ASSERT_EQ (processor.getTotalNumInputChannels(), 1);
    processor.prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    for (int b = 0; b < 300; ++b)
    {
        juce::FloatVectorOperations::fill (buffer.getWritePointer (0), 0.1f, 512);
        juce::FloatVectorOperations::fill (buffer.getWritePointer (1), 0.9f, 512); // not an input
        process (processor, buffer);
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (buffer.getSample (1, i), 0.0f);
    }
    // Only channel 0 was measured: -20 dB, not the 0.9 on the output-only channel.
    EXPECT_NEAR (processor.inputLevelDb.load(), -20.0f, 0.05f);
    EXPECT_GT (buffer.getSample (0, 511), 0.0f);
}

TEST (BlockStage, NoInputChannelsLeavesEverythingAlone)
{
    AnyLayoutProcessor processor;
    processor.useLayout (juce::AudioChannelSet::disabled(), juce::AudioChannelSet::stereo());
    ASSERT_EQ (processor.getTotalNumInputChannels(), 0);
    processor.prepareToPlay (48000.0, 64);

    juce::AudioBuffer<float> buffer (2, 64);
    fill (buffer, 0.5f);
    process (processor, buffer);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ (buffer.getSample (channel, i), 0.5f);
    EXPECT_FLOAT_EQ (processor.inputLevelDb.load(), -60.0f);
    EXPECT_FLOAT_EQ (processor.outputLevelDb.load(), -60.0f);
    EXPECT_EQ (processor.zoneState.load(), (int) RideZoneState::Inside);
}

TEST (BlockStage, EmptyBlocksKeepTheGainAndLeaveNoNaN)
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    settle (processor, 0.02f, 512, 50);
    const auto gain = Probe::previousGain (processor);

    juce::AudioBuffer<float> empty (2, 0);
    for (int i = 0; i < 10; ++i)
        process (processor, empty);

    EXPECT_FLOAT_EQ (Probe::previousGain (processor), gain);
    EXPECT_FLOAT_EQ (Probe::gainSmoothing (processor), 1.0f);
    for (auto value : Probe::carriedState (processor))
        EXPECT_TRUE (std::isfinite (value));
}
