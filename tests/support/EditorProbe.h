#pragma once

#include "PluginEditor.h"

struct TaviroEditorProbe
{
    static juce::Image& backgroundImage (TaviroAudioProcessorEditor& e) { return e.backgroundImage; }
    static bool pushIntroActive (const TaviroAudioProcessorEditor& e) { return e.pushIntroActive; }
    static float pushIntroTarget (const TaviroAudioProcessorEditor& e) { return e.pushIntroTarget; }
};
