#include "PluginEditor.h"

TaviroAudioProcessorEditor::TaviroAudioProcessorEditor (TaviroAudioProcessor& processorToEdit)
    : AudioProcessorEditor (processorToEdit)
    , audioProcessor (processorToEdit)
{
    setSize (editorWidth, editorHeight);
    setResizable (false, false);
}

TaviroAudioProcessorEditor::~TaviroAudioProcessorEditor() = default;

void TaviroAudioProcessorEditor::paint (juce::Graphics& g) { g.fillAll (juce::Colour (fallbackColour)); }

void TaviroAudioProcessorEditor::resized() {}
