#include "VocalZoneMeter.h"

#include "PluginProcessor.h"

VocalZoneMeter::VocalZoneMeter (TaviroAudioProcessor& processorToShow)
    : processor (processorToShow)
{
    setOpaque (false);
    setMouseCursor (juce::MouseCursor::NormalCursor);
}

VocalZoneMeter::~VocalZoneMeter() = default;

void VocalZoneMeter::paint (juce::Graphics&) {}

void VocalZoneMeter::resized() {}
