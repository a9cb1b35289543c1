#include "PitchWheelComponent.h"

#include "PluginProcessor.h"

PitchWheelComponent::PitchWheelComponent (bool isTarget, TaviroAudioProcessor& processorToControl)
    : juce::Slider (juce::Slider::LinearVertical, juce::Slider::NoTextBox)
    , processor (&processorToControl)
    , isTargetWheel (isTarget)
{
    if (isTargetWheel)
    {
        setRange (-60.0, -6.0, 0.1);
        setValue (processor->referenceDb.load(), juce::dontSendNotification);
    }
    else
    {
        setRange (-6.0, 12.0, 0.1);
        setValue (0.0, juce::dontSendNotification);
    }

    setSliderStyle (juce::Slider::LinearVertical);
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    setSliderSnapsToMousePosition (false);

    if (isTargetWheel)
        onValueChange = [this] { processor->referenceDb.store ((float) getValue()); };
}

PitchWheelComponent::~PitchWheelComponent() = default;

void PitchWheelComponent::paint (juce::Graphics&) {}
