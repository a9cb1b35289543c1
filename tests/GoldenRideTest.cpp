// Guards the sound: a fixed speech-like input rendered at 48 kHz in 512-sample blocks must
// come out as it did when the reference was recorded. A refactor that changes any gain law,
// smoother or the limiter moves these samples.
//
// To re-record the reference after a deliberate change of the sound, run
//     TAVIRO_REGENERATE_GOLDEN=1 build/tests/taviro_tests --gtest_filter='GoldenRide.*'
// and commit tests/data/golden_ride_48k_512.txt with a note on why the sound changed.
#include "support/ProcessorProbe.h"
#include "support/SpeechLikeSignal.h"

#include <gtest/gtest.h>

namespace
{
constexpr int blockSize = 512;
constexpr double sampleRate = 48000.0;
constexpr int seconds = 6;
constexpr int stride = 16; // every 16th frame of both channels is kept: 36,000 values

const juce::File goldenFile()
{
    return juce::File (TAVIRO_TEST_DATA_DIR).getChildFile ("golden_ride_48k_512.txt");
}

std::vector<float> renderReference()
{
    TaviroAudioProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);

    SpeechLikeSignal left (sampleRate, 21, -24.0f), right (sampleRate, 22, -27.0f);
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    std::vector<float> kept;

    for (int frame = 0; frame < (int) sampleRate * seconds; frame += blockSize)
    {
        for (int i = 0; i < blockSize; ++i)
        {
            buffer.setSample (0, i, left.next());
            buffer.setSample (1, i, right.next());
        }
        processor.processBlock (buffer, midi);
        for (int i = 0; i < blockSize; ++i)
            if ((frame + i) % stride == 0)
            {
                kept.push_back (buffer.getSample (0, i));
                kept.push_back (buffer.getSample (1, i));
            }
    }
    return kept;
}
} // namespace

TEST (GoldenRide, MatchesTheRecordedReference)
{
    const auto rendered = renderReference();

    if (juce::SystemStats::getEnvironmentVariable ("TAVIRO_REGENERATE_GOLDEN", {}).isNotEmpty())
    {
        juce::String text;
        text.preallocateBytes (rendered.size() * 14);
        for (auto value : rendered)
            text << juce::String (value, 8) << "\n";
        ASSERT_TRUE (goldenFile().replaceWithText (text));
        GTEST_SKIP() << "reference re-recorded in " << goldenFile().getFullPathName();
    }

    juce::StringArray lines;
    lines.addLines (goldenFile().loadFileAsString());
    lines.removeEmptyStrings();
    ASSERT_EQ ((size_t) lines.size(), rendered.size())
        << "missing or stale " << goldenFile().getFullPathName();

    // 2e-6 is about -114 dBFS: far below anything audible, far above float noise between
    // compilers for the same arithmetic.
    int mismatches = 0;
    for (size_t i = 0; i < rendered.size(); ++i)
        if (std::abs (rendered[i] - lines[(int) i].getFloatValue()) > 2.0e-6f && ++mismatches <= 10)
            ADD_FAILURE() << "frame " << (i / 2) * stride << " channel " << i % 2 << ": " << rendered[i]
                          << " != " << lines[(int) i];
    EXPECT_EQ (mismatches, 0);
}
