#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class TaviroAudioProcessor;
class TaviroAudioProcessorEditor;

// The meter's hover and drag regions; the tooltip reads them.
enum MeterRegion : int
{
    NoRegion = 0,
    UpperBracket = 1,
    LowerBracket = 2,
    MeterBody = 7
};

// The centre slot: input and processed level around the target, and the zone's brackets.
class VocalZoneMeter : public juce::Component
{
public:
    explicit VocalZoneMeter (TaviroAudioProcessor& processorToShow);
    ~VocalZoneMeter() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    TaviroAudioProcessor& processor;
    TaviroAudioProcessorEditor* editor = nullptr;
    float outputLevelDb = -60.0f; // copied in by the editor's timer
    float displayedOutputDb = -60.0f;
    float activity = 0.0f;
    int dragMode = NoRegion;
    int hoverMode = NoRegion;
    juce::Image handleImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VocalZoneMeter)
};
