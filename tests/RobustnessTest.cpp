#include "support/ProcessorProbe.h"
#include "support/SpeechLikeSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using Probe = TaviroProcessorProbe;

namespace
{
juce::MidiBuffer noMidi;
constexpr auto inf = std::numeric_limits<float>::infinity();
const auto notANumber = std::numeric_limits<float>::quiet_NaN();

void expectFiniteState (const TaviroAudioProcessor& processor)
{
    for (auto value : Probe::carriedState (processor))
        ASSERT_TRUE (std::isfinite (value));
}

bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (channel, i)))
                return false;
    return true;
}
} // namespace

// A broken upstream plug-in sends NaN or infinity. The bad samples are taken as silence: the
// processor then behaves exactly like one that was sent zeros there, before and after.
TEST (NonFiniteInput, IsTreatedAsSilenceAndPoisonsNothing)
{
    const float badValues[] = { notANumber, inf, -inf };
    const auto speech = SpeechLikeSignal (48000.0, 11, -25.0f).take (512 * 40);

    for (auto bad : badValues)
        for (int badBlock : { 0, 10 })
            for (int badChannel : { 0, 1 })
            {
                SCOPED_TRACE (testing::Message()
                              << "value " << bad << " block " << badBlock << " channel " << badChannel);
                TaviroAudioProcessor broken, clean;
                broken.prepareToPlay (48000.0, 512);
                clean.prepareToPlay (48000.0, 512);

                juce::AudioBuffer<float> a (2, 512), b (2, 512);
                for (int block = 0; block < 40; ++block)
                {
                    for (int channel = 0; channel < 2; ++channel)
                    {
                        std::copy_n (speech.begin() + block * 512, 512, a.getWritePointer (channel));
                        std::copy_n (speech.begin() + block * 512, 512, b.getWritePointer (channel));
                    }
                    if (block == badBlock)
                        for (int i : { 0, 7, 300, 511 })
                        {
                            a.setSample (badChannel, i, bad);
                            b.setSample (badChannel, i, 0.0f);
                        }

                    broken.processBlock (a, noMidi);
                    clean.processBlock (b, noMidi);
                    ASSERT_TRUE (allFinite (a)) << "block " << block;
                    expectFiniteState (broken);
                    for (int channel = 0; channel < 2; ++channel)
                        for (int i = 0; i < 512; ++i)
                            ASSERT_EQ (a.getSample (channel, i), b.getSample (channel, i))
                                << "block " << block;
                }
            }
}

TEST (NonFiniteInput, HugeFiniteSamplesDoNotOverflowTheDetector)
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    for (float huge : { 1.0e20f, -3.0e38f, std::numeric_limits<float>::max() })
    {
        buffer.clear();
        buffer.setSample (0, 10, huge);
        buffer.setSample (1, 200, huge);
        processor.processBlock (buffer, noMidi);
        ASSERT_TRUE (allFinite (buffer));
        expectFiniteState (processor);
    }

    // Clean material rides normally again afterwards.
    SpeechLikeSignal speech (48000.0, 5, -25.0f);
    for (int block = 0; block < 400; ++block)
    {
        for (int i = 0; i < 256; ++i)
            buffer.setSample (0, i, speech.next());
        buffer.copyFrom (1, 0, buffer, 0, 0, 256);
        processor.processBlock (buffer, noMidi);
        ASSERT_TRUE (allFinite (buffer));
        ASSERT_LE (buffer.getMagnitude (0, 256), 0.8913f * 1.001f);
    }
    expectFiniteState (processor);
    EXPECT_GT (processor.inputLevelDb.load(), -45.0f);
}

TEST (ExtremeSettings, AnyFiniteTargetWidthAndPushGivesFiniteOutput)
{
    const float targets[] = { -60.0f, -6.0f, 0.0f, 100.0f, -1.0e6f, 1.0e30f, -1.0e30f, 3.0e38f, -3.0e38f };
    const float pushes[] = { -6.0f, 12.0f };
    const float widths[] = { 2.0f, 30.0f };
    const auto speech = SpeechLikeSignal (48000.0, 2, -20.0f).take (512 * 20);

    for (auto target : targets)
        for (auto push : pushes)
            for (auto width : widths)
            {
                SCOPED_TRACE (testing::Message()
                              << "target " << target << " push " << push << " width " << width);
                TaviroAudioProcessor processor;
                setParameter (processor, "push", push);
                setParameter (processor, "bigBracketWidth", width);
                processor.referenceDb = target;
                processor.prepareToPlay (48000.0, 512);
                juce::AudioBuffer<float> buffer (2, 512);
                for (int block = 0; block < 20; ++block)
                {
                    for (int channel = 0; channel < 2; ++channel)
                        std::copy_n (speech.begin() + block * 512, 512, buffer.getWritePointer (channel));
                    processor.processBlock (buffer, noMidi);
                    ASSERT_TRUE (allFinite (buffer));
                    ASSERT_LE (buffer.getMagnitude (0, 512), 0.8913f * 1.001f);
                }
                expectFiniteState (processor);
            }
}

TEST (ExtremeSettings, NonFiniteTargetFallsBackToTheDefault)
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    processor.referenceDb = notANumber;
    juce::AudioBuffer<float> buffer (2, 512);
    for (int block = 0; block < 10; ++block)
    {
        for (int i = 0; i < 512; ++i)
            buffer.setSample (0, i, 0.05f * std::sin (0.03f * (float) i));
        buffer.copyFrom (1, 0, buffer, 0, 0, 512);
        processor.processBlock (buffer, noMidi);
        ASSERT_TRUE (allFinite (buffer));
    }
    expectFiniteState (processor);
}
