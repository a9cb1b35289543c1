#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class TaviroAudioProcessor;
class TaviroAudioProcessorEditor;

// A vertical wheel: the target wheel sets referenceDb, the push wheel the "push" parameter.
class PitchWheelComponent : public juce::Slider
{
public:
    PitchWheelComponent (bool isTarget, TaviroAudioProcessor& processorToControl);
    ~PitchWheelComponent() override;

    void paint (juce::Graphics&) override;

    float dragStartValue = 0.0f;
    float dragStartY = 0.0f;
    TaviroAudioProcessor* processor;
    TaviroAudioProcessorEditor* editor = nullptr;
    const bool isTargetWheel;
    bool spinActive = false;
    float spinOffsetDb = 0.0f;
    int spinTicks = 0;
    juce::Image thumbImage;
    float inputLevelDb = -60.0f; // copied in by the editor's timer (target wheel)

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PitchWheelComponent)
};
