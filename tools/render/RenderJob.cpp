#include "RenderJob.h"

#include "LoudnessMeter.h"
#include "PluginProcessor.h"

#include <cmath>
#include <future>

namespace
{
constexpr int chunkFrames = 32768;

float powerToDb (double meanSquare)
{
    return meanSquare > 1.0e-14 ? (float) (10.0 * std::log10 (meanSquare)) : -140.0f;
}

// Mean power of fixed-length windows of a signal, fed in pieces of any length.
class WindowedLevel
{
public:
    explicit WindowedLevel (int windowFrames)
        : window (windowFrames)
    {
    }

    void add (const float* const* channels, int numChannels, int start, int numFrames)
    {
        for (int i = start; i < start + numFrames; ++i)
        {
            double power = 0;
            for (int c = 0; c < numChannels; ++c)
                power += (double) channels[c][i] * (double) channels[c][i];
            sum += power / numChannels;
            if (++count == window)
                flush();
        }
    }

    void finish()
    {
        if (count > 0)
            flush();
    }

    std::vector<float> levelsDb;

private:
    void flush()
    {
        levelsDb.push_back (powerToDb (sum / count));
        sum = 0;
        count = 0;
    }

    int window;
    double sum = 0;
    int count = 0;
};

void setParameter (TaviroAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

juce::String describe (const juce::File& file) { return file.getFullPathName(); }
} // namespace

juce::String probeInput (juce::AudioFormatManager& formats, const juce::File& input, juce::int64& frames,
                         double& seconds)
{
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (input));
    if (reader == nullptr)
        return "cannot read " + describe (input)
               + ": not an audio file this tool reads (WAV, AIFF, FLAC, Ogg Vorbis)";
    if (reader->numChannels < 1 || reader->numChannels > 2)
        return "cannot ride " + describe (input) + ": it has " + juce::String (reader->numChannels)
               + " channels; mono and stereo files only";
    if (reader->sampleRate < 8000.0 || reader->sampleRate > 384000.0)
        return "cannot ride " + describe (input) + ": unsupported sample rate "
               + juce::String (reader->sampleRate);
    frames = reader->lengthInSamples;
    seconds = (double) frames / reader->sampleRate;
    return {};
}

RenderResult renderFile (const RenderOptions& options, size_t index, std::atomic<juce::int64>& framesDone)
{
    RenderResult result;
    auto& report = result.report;
    report.input = options.inputs[index];
    report.output = options.outputFor (index);
    report.targetDb = options.targetDb;
    report.zoneDb = options.zoneDb;
    report.pushDb = options.pushDb;

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (report.input));
    if (reader == nullptr)
    {
        result.error = "cannot read " + describe (report.input);
        return result;
    }

    const auto startTime = juce::Time::getMillisecondCounterHiRes();
    report.sampleRate = reader->sampleRate;
    report.channels = (int) reader->numChannels;
    report.frames = reader->lengthInSamples;
    const auto channels = report.channels;

    // Written next to the target and renamed over it only once complete: a failed run leaves
    // neither a partial file nor a damaged earlier one.
    juce::TemporaryFile temporary (report.output, juce::TemporaryFile::useHiddenFile);
    std::unique_ptr<juce::AudioFormatWriter> writer;
    {
        auto stream = temporary.getFile().createOutputStream();
        if (stream == nullptr)
        {
            result.error = "cannot write " + describe (report.output);
            return result;
        }
        juce::WavAudioFormat wav;
        writer.reset (
            wav.createWriterFor (stream.get(), report.sampleRate, (unsigned) channels, options.bits, {}, 0));
        if (writer == nullptr)
        {
            result.error = "cannot write " + juce::String (options.bits) + "-bit WAV at "
                           + juce::String (report.sampleRate) + " Hz to " + describe (report.output);
            return result;
        }
        stream.release(); // the writer owns it now
    }

    TaviroAudioProcessor processor;
    setParameter (processor, "push", options.pushDb);
    setParameter (processor, "bigBracketWidth", options.zoneDb);
    processor.referenceDb = options.targetDb;
    processor.prepareToPlay (report.sampleRate, options.blockSize);
    const auto latency = processor.getLatencySamples();

    LoudnessMeter inputMeter (channels, report.sampleRate, options.truePeak);
    LoudnessMeter outputMeter (channels, report.sampleRate, options.truePeak);
    if (! inputMeter.isValid() || ! outputMeter.isValid())
    {
        result.error = "cannot measure loudness at " + juce::String (report.sampleRate) + " Hz";
        return result;
    }

    // About 400 points over the whole file, between 50 ms and 400 ms apart: level curves of
    // speech are read best at roughly the pace of syllables and words.
    const auto duration = (double) report.frames / report.sampleRate;
    report.traceStepSeconds = juce::jlimit (0.05, 0.4, duration / 400.0);
    const auto traceWindow = juce::jmax (1, (int) std::lround (report.traceStepSeconds * report.sampleRate));
    WindowedLevel inputLevels (traceWindow), outputLevels (traceWindow);
    std::vector<float> gainsDb; // rider gain at the end of each trace window of the input
    std::array<juce::int64, 4> zoneFrames {};
    float largestBoost = 0, largestCut = 0;
    juce::int64 inputFramesRidden = 0;

    // Two sets of buffers, so the loudness of one chunk is measured on another core while
    // the next chunk is read and ridden.
    juce::AudioBuffer<float> inputChunks[2] = { { channels, chunkFrames }, { channels, chunkFrames } };
    juce::AudioBuffer<float> workChunks[2] = { { 2, chunkFrames }, { 2, chunkFrames } };
    std::future<void> inputMeasuring, outputMeasuring;
    juce::MidiBuffer midi;
    juce::int64 toSkip = latency, outputWritten = 0;
    const auto totalFrames = report.frames;

    auto ride = [&] (juce::AudioBuffer<float>& work, int numFrames, bool realInput)
    {
        for (int start = 0; start < numFrames; start += options.blockSize)
        {
            const auto n = juce::jmin (options.blockSize, numFrames - start);
            juce::AudioBuffer<float> block (work.getArrayOfWritePointers(), 2, start, n);
            processor.processBlock (block, midi);
            if (! realInput)
                continue;

            const auto gainDb = juce::Decibels::gainToDecibels (processor.getRiderGain(), -100.0f);
            largestBoost = juce::jmax (largestBoost, gainDb);
            largestCut = juce::jmin (largestCut, gainDb);
            zoneFrames[(size_t) juce::jlimit (0, 3, processor.zoneState.load())] += n;
            const auto before = inputFramesRidden / traceWindow;
            inputFramesRidden += n;
            for (auto w = before; w < inputFramesRidden / traceWindow; ++w)
                gainsDb.push_back (gainDb);
        }
    };

    auto emit = [&] (juce::AudioBuffer<float>& work, int numFrames) -> bool
    {
        const auto skip = (int) juce::jmin ((juce::int64) numFrames, toSkip);
        toSkip -= skip;
        const auto count = (int) juce::jmin ((juce::int64) (numFrames - skip), totalFrames - outputWritten);
        if (count <= 0)
            return true;

        if (outputMeasuring.valid())
            outputMeasuring.get();
        const float* outputChannels[2] = { work.getReadPointer (0, skip), work.getReadPointer (1, skip) };
        outputLevels.add (outputChannels, channels, 0, count);
        if (! writer->writeFromFloatArrays (outputChannels, channels, count))
            return false;
        outputWritten += count;
        outputMeasuring = std::async (std::launch::async, [&outputMeter, outputChannels, count]
                                      { outputMeter.add (outputChannels, count); });
        return true;
    };

    juce::int64 position = 0;
    int which = 0;
    bool writeFailed = false;
    while (position < totalFrames && ! writeFailed)
    {
        auto& input = inputChunks[which];
        auto& work = workChunks[which];
        const auto n = (int) juce::jmin ((juce::int64) chunkFrames, totalFrames - position);

        // This set's buffers were last measured two chunks ago; both measurements have been
        // waited for since (the meters take their chunks one after the other).
        input.clear();
        reader->read (&input, 0, n, position, true, true);
        if (inputMeasuring.valid())
            inputMeasuring.get();
        inputMeasuring = std::async (std::launch::async, [&inputMeter, &input, n]
                                     { inputMeter.add (input.getArrayOfReadPointers(), n); });
        inputLevels.add (input.getArrayOfReadPointers(), channels, 0, n);

        work.copyFrom (0, 0, input, 0, 0, n);
        work.copyFrom (1, 0, input, channels > 1 ? 1 : 0, 0, n);
        ride (work, n, true);
        writeFailed = ! emit (work, n);

        position += n;
        framesDone += n;
        which = 1 - which;
    }

    // Flush the look-ahead: the last input samples are still inside the delay.
    while (! writeFailed && outputWritten < totalFrames)
    {
        auto& work = workChunks[which];
        const auto n = (int) juce::jmin ((juce::int64) chunkFrames, (juce::int64) latency + 1);
        work.clear();
        ride (work, n, false);
        writeFailed = ! emit (work, n);
        which = 1 - which;
    }

    if (inputMeasuring.valid())
        inputMeasuring.get();
    if (outputMeasuring.valid())
        outputMeasuring.get();

    writer.reset(); // closes and completes the file
    if (writeFailed)
    {
        result.error = "failed writing " + describe (report.output) + " (disk full?)";
        return result;
    }
    if (! temporary.overwriteTargetFileWithTemporary())
    {
        result.error = "cannot replace " + describe (report.output);
        return result;
    }

    inputLevels.finish();
    outputLevels.finish();
    const auto points = juce::jmin (inputLevels.levelsDb.size(), outputLevels.levelsDb.size());
    report.trace.reserve (points);
    for (size_t i = 0; i < points; ++i)
        report.trace.push_back ({ (double) (i + 1) * traceWindow / report.sampleRate, inputLevels.levelsDb[i],
                                  outputLevels.levelsDb[i],
                                  gainsDb.empty() ? 0.0f : gainsDb[juce::jmin (i, gainsDb.size() - 1)] });

    report.inputLufs = inputMeter.integratedLufs();
    report.outputLufs = outputMeter.integratedLufs();
    report.inputLraLu = inputMeter.loudnessRangeLu();
    report.outputLraLu = outputMeter.loudnessRangeLu();
    report.inputPeakDb = inputMeter.samplePeakDb();
    report.outputPeakDb = outputMeter.samplePeakDb();
    report.inputTruePeakDb = inputMeter.truePeakDb();
    report.outputTruePeakDb = outputMeter.truePeakDb();
    for (size_t s = 0; s < 4; ++s)
        report.zoneShare[s] = totalFrames > 0 ? (double) zoneFrames[s] / (double) totalFrames : 0.0;
    report.largestBoostDb = largestBoost;
    report.largestCutDb = largestCut;
    report.seconds = (juce::Time::getMillisecondCounterHiRes() - startTime) / 1000.0;
    report.speed = report.seconds > 0 ? (double) totalFrames / report.sampleRate / report.seconds : 0.0;
    result.ok = true;
    return result;
}
