// taviro-render end to end: the built program on small generated files.
#include "support/SpeechLikeSignal.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

namespace
{
struct Run
{
    int exitCode = -1;
    juce::String output; // standard output, or standard error when asked for
};

Run runRender (juce::StringArray arguments, bool wantErrors = false)
{
    arguments.insert (0, TAVIRO_RENDER_PATH);
    juce::ChildProcess process;
    Run run;
    if (! process.start (arguments,
                         wantErrors ? juce::ChildProcess::wantStdErr : juce::ChildProcess::wantStdOut))
        return run;
    run.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    run.exitCode = (int) process.getExitCode();
    return run;
}

class RenderTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("taviro-render-test-"
                                    + juce::String::toHexString (juce::Random().nextInt64()));
        ASSERT_TRUE (folder.createDirectory());
    }

    void TearDown() override { folder.deleteRecursively(); }

    juce::File writeWav (const juce::String& name, const std::vector<std::vector<float>>& channels,
                         double rate = 48000.0)
    {
        auto file = folder.getChildFile (name);
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (
            file.createOutputStream().release(), rate, (unsigned) channels.size(), 24, {}, 0));
        std::vector<const float*> pointers;
        for (const auto& c : channels)
            pointers.push_back (c.data());
        writer->writeFromFloatArrays (pointers.data(), (int) pointers.size(), (int) channels[0].size());
        return file;
    }

    static juce::AudioBuffer<float> read (const juce::File& file, double* rate = nullptr)
    {
        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
        if (reader == nullptr)
            return {};
        juce::AudioBuffer<float> buffer ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, true);
        if (rate != nullptr)
            *rate = reader->sampleRate;
        return buffer;
    }

    // A speech-like take whose phrases jump by up to ±10 dB, in stereo.
    std::vector<std::vector<float>> speech (double seconds, float levelDb = -24.0f)
    {
        auto samples = SpeechLikeSignal (48000.0, 17, levelDb).take ((size_t) (48000 * seconds));
        return { samples, samples };
    }

    juce::var json (const juce::StringArray& arguments)
    {
        auto withJson = arguments;
        withJson.addArray ({ "--json", "--quiet" });
        const auto run = runRender (withJson);
        EXPECT_EQ (run.exitCode, 0) << run.output;
        return juce::JSON::parse (run.output)["files"][0];
    }

    juce::File folder;
};
} // namespace

TEST_F (RenderTool, OutputIsAsLongAsTheInputAndAlignedWithIt)
{
    std::vector<float> clickTrack (48000 * 2, 0.0f);
    clickTrack[30000] = 0.5f;
    const auto input = writeWav ("click.wav", { clickTrack, clickTrack });
    const auto output = folder.getChildFile ("click-out.wav");

    for (int block : { 512, 100, 4096 })
    {
        SCOPED_TRACE (block);
        ASSERT_EQ (runRender ({ input.getFullPathName(), "-o", output.getFullPathName(), "--block",
                                juce::String (block), "--quiet" })
                       .exitCode,
                   0);
        const auto rendered = read (output);
        ASSERT_EQ (rendered.getNumChannels(), 2);
        ASSERT_EQ (rendered.getNumSamples(), (int) clickTrack.size());

        int loudest = 0;
        for (int i = 0; i < rendered.getNumSamples(); ++i)
            if (std::abs (rendered.getSample (0, i)) > std::abs (rendered.getSample (0, loudest)))
                loudest = i;
        EXPECT_EQ (loudest, 30000);
    }
}

TEST_F (RenderTool, MonoStaysMonoAndKeepsItsSampleRate)
{
    auto samples = SpeechLikeSignal (44100.0, 3, -30.0f).take (44100);
    const auto input = writeWav ("mono.wav", { samples }, 44100.0);
    const auto output = folder.getChildFile ("mono-out.wav");
    ASSERT_EQ (
        runRender ({ input.getFullPathName(), "-o", output.getFullPathName(), "--quiet", "--bits", "32" })
            .exitCode,
        0);

    double rate = 0;
    const auto rendered = read (output, &rate);
    EXPECT_EQ (rendered.getNumChannels(), 1);
    EXPECT_EQ (rendered.getNumSamples(), 44100);
    EXPECT_EQ (rate, 44100.0);
}

TEST_F (RenderTool, SettingsReachTheProcessor)
{
    const auto input = writeWav ("speech.wav", speech (12.0)).getFullPathName();
    const auto output = folder.getChildFile ("out.wav").getFullPathName();

    const auto low = json ({ input, "-o", output, "--target", "-45", "--push", "0" });
    const auto high = json ({ input, "-o", output, "--target", "-25", "--push", "0" });
    // 20 dB apart in target; the rider's ±24 dB reach and its gate keep the result a bit closer.
    EXPECT_GT ((double) high["output_measure"]["integrated_lufs"]
                   - (double) low["output_measure"]["integrated_lufs"],
               10.0);

    const auto pushed = json ({ input, "-o", output, "--target", "-45", "--push", "6" });
    EXPECT_NEAR ((double) pushed["output_measure"]["integrated_lufs"]
                     - (double) low["output_measure"]["integrated_lufs"],
                 6.0, 0.3);
    EXPECT_EQ ((double) pushed["settings"]["push_db"], 6.0);

    const auto narrow = json ({ input, "-o", output, "--zone", "2" });
    const auto wide = json ({ input, "-o", output, "--zone", "30" });
    EXPECT_GT ((double) wide["zone_share"]["inside"], (double) narrow["zone_share"]["inside"] + 0.2);
}

TEST_F (RenderTool, LevelJumpsShrinkTheLoudnessRange)
{
    const auto input = writeWav ("jumps.wav", speech (30.0)).getFullPathName();
    const auto report = json ({ input, "-o", folder.getChildFile ("out.wav").getFullPathName() });
    const auto before = (double) report["input_measure"]["loudness_range_lu"];
    const auto after = (double) report["output_measure"]["loudness_range_lu"];
    EXPECT_GT (before, 8.0);
    EXPECT_LT (after, before * 0.6);
    EXPECT_LE ((double) report["output_measure"]["sample_peak_dbfs"], -1.0);
}

TEST_F (RenderTool, SeveralInputsGoToTheOutputFolder)
{
    const auto a = writeWav ("a.wav", speech (3.0));
    const auto b = writeWav ("b.wav", speech (2.0));
    const auto out = folder.getChildFile ("rendered");
    ASSERT_TRUE (out.createDirectory());
    const auto run =
        runRender ({ a.getFullPathName(), b.getFullPathName(), "--out-dir", out.getFullPathName() });
    ASSERT_EQ (run.exitCode, 0);
    EXPECT_EQ (read (out.getChildFile ("a.wav")).getNumSamples(), 48000 * 3);
    EXPECT_EQ (read (out.getChildFile ("b.wav")).getNumSamples(), 48000 * 2);
    EXPECT_TRUE (run.output.contains ("2 files"));
}

TEST_F (RenderTool, PlotShowsTheCurves)
{
    const auto input = writeWav ("plot.wav", speech (10.0));
    const auto plot = folder.getChildFile ("ride.png");
    ASSERT_EQ (runRender ({ input.getFullPathName(), "-o", folder.getChildFile ("o.wav").getFullPathName(),
                            "--plot", plot.getFullPathName(), "--quiet" })
                   .exitCode,
               0);

    const auto image = juce::ImageFileFormat::loadFrom (plot);
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 1600);
    EXPECT_EQ (image.getHeight(), 600);

    // Count the pixels of the output (blue) and gain (orange) curves, and of the zone band.
    int blue = 0, orange = 0, green = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            if (c.getBlue() > 150 && c.getRed() < 90)
                ++blue;
            if (c.getRed() > 180 && c.getGreen() > 80 && c.getGreen() < 150 && c.getBlue() < 80)
                ++orange;
            if (c.getGreen() > c.getRed() + 15 && c.getGreen() > c.getBlue() + 5)
                ++green;
        }
    EXPECT_GT (blue, 2000);
    EXPECT_GT (orange, 1500);
    EXPECT_GT (green, 10000);
}

TEST_F (RenderTool, BadInputGetsAClearMessageAndLeavesNoFile)
{
    const auto good = writeWav ("good.wav", speech (1.0)).getFullPathName();
    const auto notAudio = folder.getChildFile ("notes.wav");
    notAudio.replaceWithText ("these are not samples");
    const auto existing = folder.getChildFile ("existing.wav");
    existing.replaceWithText ("keep me");
    const auto output = folder.getChildFile ("new.wav").getFullPathName();
    const auto aFile = folder.getChildFile ("plain-file");
    aFile.replaceWithText ("x");

    struct Case
    {
        const char* name;
        juce::StringArray arguments;
        const char* message;
    };
    const Case cases[] = {
        { "missing input",
          { folder.getChildFile ("nope.wav").getFullPathName(), "-o", output },
          "no such file" },
        { "not audio",
          { notAudio.getFullPathName(), "-o", existing.getFullPathName() },
          "not an audio file" },
        { "target out of range",
          { good, "-o", output, "--target", "-70" },
          "--target must be a number from -60 to -6" },
        { "zone not a number", { good, "-o", output, "--zone", "wide" }, "--zone must be a number" },
        { "push out of range", { good, "-o", output, "--push", "13" }, "--push must be" },
        { "bad block", { good, "-o", output, "--block", "0" }, "--block must be" },
        { "bad bits", { good, "-o", output, "--bits", "20" }, "--bits must be 16, 24 or 32" },
        { "unknown option", { good, "-o", output, "--frobnicate" }, "unknown option --frobnicate" },
        { "output is the input", { good, "-o", good }, "is also an input" },
        { "no output", { good }, "give either -o" },
        { "two inputs, one -o", { good, good, "-o", output }, "-o takes one input" },
        { "output folder missing",
          { good, "--out-dir", folder.getChildFile ("absent").getFullPathName() },
          "does not exist" },
        { "output folder is a file",
          { good, "-o", aFile.getChildFile ("x.wav").getFullPathName() },
          "does not exist" },
        { "plot not png", { good, "-o", output, "--plot", "ride.jpg" }, "PNG" },
        { "no input", { "-o", output }, "no input file" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto run = runRender (c.arguments, true);
        EXPECT_NE (run.exitCode, 0);
        EXPECT_TRUE (run.output.contains (c.message)) << run.output;
        EXPECT_FALSE (juce::File (output).exists());
        EXPECT_EQ (existing.loadFileAsString(), "keep me");
    }

    // Nothing but the files made above is in the folder: no temporary leftovers.
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles, "*"), 4);
}
