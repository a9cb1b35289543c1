#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

// What the command line asked for, checked for range and consistency.
struct RenderOptions
{
    std::vector<juce::File> inputs;
    juce::File output;    // with a single input and -o
    juce::File outputDir; // with --out-dir
    float targetDb = -31.0f;
    float zoneDb = 4.0f;
    float pushDb = 4.0f;
    int blockSize = 512;
    int bits = 24;
    juce::File plot;
    bool truePeak = false;
    bool json = false;
    bool quiet = false;
    bool help = false;

    // Where the rendered version of input number `index` goes.
    juce::File outputFor (size_t index) const;
};

struct ParsedOptions
{
    std::optional<RenderOptions> options;
    juce::String error; // set when options is empty
};

ParsedOptions parseRenderOptions (const juce::StringArray& arguments);

// Checks that need the file system: inputs exist, outputs are writable and distinct.
juce::String checkRenderPaths (const RenderOptions& options);

extern const char* const renderUsage;
