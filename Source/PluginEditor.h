#pragma once

#include "PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

class TaviroAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit TaviroAudioProcessorEditor (TaviroAudioProcessor&);
    ~TaviroAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    static constexpr int editorWidth = 413;
    static constexpr int editorHeight = 438;
    static constexpr juce::uint32 fallbackColour = 0xffc8b9aa;

private:
    TaviroAudioProcessor& audioProcessor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TaviroAudioProcessorEditor)
};
