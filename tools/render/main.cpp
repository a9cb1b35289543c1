// taviro-render: rides vocal recordings offline with the plug-in's own processor.
#include "RenderJob.h"
#include "RenderOptions.h"
#include "RenderReportFormat.h"
#include "RidePlot.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace
{
// One line on standard error, redrawn in place: percentage, elapsed time, speed.
class ProgressBar
{
public:
    ProgressBar (juce::int64 totalFramesToDo, double audioSecondsPerFrame)
        : totalFrames (juce::jmax<juce::int64> (1, totalFramesToDo))
        , secondsPerFrame (audioSecondsPerFrame)
    {
    }

    void draw (juce::int64 framesDone, double elapsed)
    {
        const auto fraction = juce::jlimit (0.0, 1.0, (double) framesDone / (double) totalFrames);
        const int width = 30;
        const auto filled = (int) (fraction * width);
        const auto speed = elapsed > 0 ? (double) framesDone * secondsPerFrame / elapsed : 0.0;
        std::cerr << "\r[" << std::string ((size_t) filled, '#')
                  << std::string ((size_t) (width - filled), '-') << "] "
                  << juce::String (fraction * 100.0, 0).paddedLeft (' ', 3) << "%  "
                  << juce::String (elapsed, 1) << " s  " << juce::String (juce::roundToInt (speed))
                  << "x real time  " << std::flush;
    }

    void finish() { std::cerr << "\n" << std::flush; }

private:
    juce::int64 totalFrames;
    double secondsPerFrame;
};

int fail (const juce::String& message, int code)
{
    std::cerr << "taviro-render: " << message << std::endl;
    return code;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce; // fonts and images for the plot

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = parseRenderOptions (arguments);
    if (! parsed.options)
        return fail (parsed.error + "\n" + renderUsage, 2);
    const auto& options = *parsed.options;
    if (options.help)
    {
        std::cout << renderUsage;
        return 0;
    }

    if (const auto error = checkRenderPaths (options); error.isNotEmpty())
        return fail (error, 1);

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    juce::int64 totalFrames = 0;
    double totalSeconds = 0;
    for (const auto& input : options.inputs)
    {
        juce::int64 frames = 0;
        double seconds = 0;
        if (const auto error = probeInput (formats, input, frames, seconds); error.isNotEmpty())
            return fail (error, 1);
        totalFrames += frames;
        totalSeconds += seconds;
    }

    // One processor per file, as many files at once as there are cores.
    std::vector<RenderResult> results (options.inputs.size());
    std::atomic<size_t> nextFile { 0 };
    std::atomic<juce::int64> framesDone { 0 };
    std::atomic<int> running { 0 };
    const auto workers = (int) juce::jmin (options.inputs.size(),
                                           (size_t) juce::jmax (1u, std::thread::hardware_concurrency()));

    const auto start = juce::Time::getMillisecondCounterHiRes();
    std::vector<std::thread> threads;
    running = workers;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back (
            [&]
            {
                for (auto index = nextFile++; index < options.inputs.size(); index = nextFile++)
                    results[index] = renderFile (options, index, framesDone);
                --running;
            });

    const bool showProgress = ! options.quiet && isatty (STDERR_FILENO) != 0;
    ProgressBar progress (totalFrames, totalFrames > 0 ? totalSeconds / (double) totalFrames : 0.0);
    while (running > 0)
    {
        if (showProgress)
            progress.draw (framesDone, (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0);
        std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }
    for (auto& thread : threads)
        thread.join();
    if (showProgress)
    {
        progress.draw (framesDone, (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0);
        progress.finish();
    }

    int exitCode = 0;
    std::vector<RenderReport> reports;
    for (const auto& result : results)
    {
        if (! result.ok)
        {
            fail (result.error, 1);
            exitCode = 1;
            continue;
        }
        reports.push_back (result.report);
        if (! options.quiet && ! options.json)
            std::cout << formatReportText (result.report, options.truePeak) << std::flush;
    }

    if (options.plot != juce::File() && ! reports.empty())
    {
        if (const auto error = writeRidePlot (reports.front(), options.plot); error.isNotEmpty())
            exitCode = fail (error, 1);
        else if (! options.quiet && ! options.json)
            std::cout << "  plot          " << options.plot.getFullPathName() << "\n";
    }

    if (options.json)
        std::cout << formatReportJson (reports, options.truePeak) << std::endl;

    if (reports.size() > 1 && ! options.quiet && ! options.json)
    {
        const auto elapsed = (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
        std::cout << reports.size() << " files, " << juce::String (totalSeconds, 1) << " s of audio in "
                  << juce::String (elapsed, 2) << " s ("
                  << juce::String (juce::roundToInt (totalSeconds / elapsed)) << " x real time)\n";
    }
    return exitCode;
}
