#pragma once

#include "GlowOverlay.h"
#include "PitchWheelComponent.h"
#include "PluginProcessor.h"
#include "VocalZoneMeter.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

// The plug-in's window: a fixed picture of the device with the target wheel, the vocal zone
// meter and the push wheel in its three slots, a tooltip line under them and a glow over all.
class TaviroAudioProcessorEditor : public juce::AudioProcessorEditor, private juce::Timer
{
public:
    explicit TaviroAudioProcessorEditor (TaviroAudioProcessor&);
    ~TaviroAudioProcessorEditor() override;

    void mouseMove (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override; // public so that tests can step the editor's clock

    void updateTooltipForComponent (juce::Component* component, bool isDragging);

    static constexpr int editorWidth = 413;
    static constexpr int editorHeight = 438;
    static constexpr juce::uint32 fallbackColour = 0xffc8b9aa;

    // The logo mark's clickable area, in editor pixels, both ends included.
    static bool isInLogoArea (juce::Point<int> position) noexcept;
    static juce::URL catalogueUrl();

    // Opens a page in the browser; tests replace it to see the page without opening one.
    std::function<void (const juce::URL&)> openInBrowser = [] (const juce::URL& url)
    { url.launchInDefaultBrowser(); };

    juce::Component* hoveredComponent = nullptr;
    bool tooltipVisible = false;

private:
    friend struct TaviroEditorProbe; // lets the tests reach the frame's private state

    TaviroAudioProcessor& audioProcessor;

public:
    VocalZoneMeter zoneMeter;
    PitchWheelComponent targetWheel;
    PitchWheelComponent pushWheel;

private:
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> pushAttachment;
    juce::Image backgroundImage;
    juce::Image backgroundAtWindowScale; // the picture halved once for displays of scale 1
    juce::Image pushThumbImage;

public:
    juce::Label tooltipLabel;
    std::unique_ptr<GlowOverlay> glowOverlay;

private:
    juce::Image glowImage;
    bool pushIntroActive = true;
    int pushIntroTicks = 0;
    float pushIntroTarget = 0.0f;

public:
    bool announcementVisible = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TaviroAudioProcessorEditor)
};
