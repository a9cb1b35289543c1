#pragma once

#include "RenderJob.h"

#include <juce_graphics/juce_graphics.h>

constexpr int ridePlotWidth = 1600;
constexpr int ridePlotHeight = 600;

// Draws the ride over time: input and output level against the zone, and the rider's gain.
juce::Image drawRidePlot (const RenderReport& report);

// Writes the picture as PNG through a temporary file; returns an error text or nothing.
juce::String writeRidePlot (const RenderReport& report, const juce::File& file);
