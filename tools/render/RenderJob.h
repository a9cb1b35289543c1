#pragma once

#include "RenderOptions.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <array>
#include <atomic>
#include <functional>

// The ride over time, for the plot: levels are RMS over each step.
struct RideTracePoint
{
    double seconds;
    float inputDb, outputDb, gainDb;
};

struct RenderReport
{
    juce::File input, output;
    double sampleRate = 0;
    int channels = 0;
    juce::int64 frames = 0;
    double inputLufs = 0, outputLufs = 0, inputLraLu = 0, outputLraLu = 0;
    double inputPeakDb = 0, outputPeakDb = 0, inputTruePeakDb = 0, outputTruePeakDb = 0;
    std::array<double, 4> zoneShare {}; // inside, outside, far outside, gated: fractions of time
    float largestBoostDb = 0, largestCutDb = 0;
    double seconds = 0; // wall-clock time of the render
    double speed = 0;   // audio duration / wall-clock time
    float targetDb = 0, zoneDb = 0, pushDb = 0;
    double traceStepSeconds = 0.05;
    std::vector<RideTracePoint> trace;
};

struct RenderResult
{
    bool ok = false;
    juce::String error;
    RenderReport report;
};

// Opens every input first, so a bad file is reported before any work starts.
juce::String probeInput (juce::AudioFormatManager& formats, const juce::File& input, juce::int64& frames,
                         double& seconds);

// Renders input number `index` of the options. framesDone is advanced as the work goes on.
RenderResult renderFile (const RenderOptions& options, size_t index, std::atomic<juce::int64>& framesDone);
