// The whole editor rendered headless and compared with a reference picture kept in
// tests/data/editor_snapshot.png. The render is also written next to the test binary as
// editor_snapshot_actual.png for a person to look at. After a deliberate change of the look:
//     TAVIRO_REGENERATE_SNAPSHOTS=1 build/tests/taviro_tests --gtest_filter='EditorSnapshot.*'
#include "PluginEditor.h"

#include <gtest/gtest.h>

TEST (EditorSnapshot, MatchesTheReferencePicture)
{
    TaviroAudioProcessor processor;
    processor.inputLevelDb = -36.0f;
    processor.outputLevelDb = -30.0f;
    processor.signalPresent = false;
    std::unique_ptr<TaviroAudioProcessorEditor> editor (
        static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));

    // A fixed moment: the opening animations over, the swell at its height, the light up left.
    for (int tick = 0; tick < 40; ++tick)
    {
        editor->timerCallback();
        editor->glowOverlay->timerCallback();
    }
    editor->glowOverlay->setLightPosition (0.2f, 0.15f);

    const auto actual = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    ASSERT_EQ (actual.getBounds(), juce::Rectangle<int> (0, 0, 413, 438));

    juce::PNGImageFormat png;
    const auto written = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                             .getSiblingFile ("editor_snapshot_actual.png");
    written.deleteFile();
    {
        juce::FileOutputStream stream (written);
        png.writeImageToStream (actual, stream);
    }

    const auto reference = juce::File (TAVIRO_TEST_DATA_DIR).getChildFile ("editor_snapshot.png");
    if (juce::SystemStats::getEnvironmentVariable ("TAVIRO_REGENERATE_SNAPSHOTS", {}).isNotEmpty())
    {
        ASSERT_TRUE (written.copyFileTo (reference));
        GTEST_SKIP() << "reference re-recorded in " << reference.getFullPathName();
    }

    const auto expected = juce::ImageFileFormat::loadFrom (reference);
    ASSERT_TRUE (expected.isValid()) << "missing " << reference.getFullPathName();
    ASSERT_EQ (expected.getBounds(), actual.getBounds());

    // Tolerance for font and anti-aliasing differences between machines: every channel
    // within 24 levels, and on average within 1.
    double total = 0;
    int worst = 0;
    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x)
        {
            const auto a = actual.getPixelAt (x, y), e = expected.getPixelAt (x, y);
            for (auto [p, q] : { std::pair<int, int> { a.getRed(), e.getRed() },
                                 { a.getGreen(), e.getGreen() },
                                 { a.getBlue(), e.getBlue() },
                                 { a.getAlpha(), e.getAlpha() } })
            {
                total += std::abs (p - q);
                worst = std::max (worst, std::abs (p - q));
            }
        }
    EXPECT_LE (worst, 24) << "see " << written.getFullPathName();
    EXPECT_LE (total / (actual.getWidth() * actual.getHeight() * 4.0), 1.0)
        << "see " << written.getFullPathName();
}
