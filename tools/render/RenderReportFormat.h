#pragma once

#include "RenderJob.h"

juce::String formatReportText (const RenderReport& report, bool truePeak);
juce::String formatReportJson (const std::vector<RenderReport>& reports, bool truePeak);
