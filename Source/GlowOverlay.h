#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A click-through light over the whole editor: a halo that swells once when the window opens
// and breathes while a voice is present, and a small core that follows the mouse. The light
// shows only around the device: a mask cut from the device picture, feathered over a few
// pixels, removes it from the device itself.
class GlowOverlay : public juce::Component, public juce::Timer
{
public:
    GlowOverlay();
    ~GlowOverlay() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override; // public so that tests can step the animation

    void setDeviceImage (const juce::Image& image);
    void startFlash();
    void setSignalActive (bool active);
    void setLightPosition (float x, float y);

    float getHaloIntensity() const noexcept { return haloIntensity; }
    float getCoreIntensity() const noexcept { return coreIntensity; }
    juce::Point<float> getLightPosition() const noexcept { return { lightX, lightY }; }
    bool isFlashActive() const noexcept { return flashActive; }
    bool isSignalActive() const noexcept { return signalActive; }

    // The alpha mask of a width x height buffer with the device picture centred in it: 0 on
    // the device, rising to 255 over featherRadius pixels around its outline.
    static juce::Image buildDeviceMask (const juce::Image& device, int width, int height, int featherRadius);

    // The part of a mask's area where its alpha is above 0.
    static juce::RectangleList<int> regionOutsideMask (const juce::Image& mask);

    // Multiplies the alpha of an ARGB image by a single-channel mask of the same size.
    static void applyMask (juce::Image& buffer, const juce::Image& mask);

private:
    const juce::Colour outerColour { 0xffffffff };
    const juce::Colour warmColour { juce::Colours::seashell };
    const float breathSpeed = 0.14f;
    const float flashSpeed = 0.06f;
    const float riseCoefficient = 0.05f;
    const float fallCoefficient = 0.35f;
    const float coreLevel = 0.35f;
    const float coreRadius = 0.25f;
    const float maxIntensity = 0.85f;
    const float minIntensity = 0.0f;
    const int featherRadius = 8;
    const int frameRateHz = 30;

    juce::Image deviceImage;
    juce::Image glowBuffer;
    bool needsRepaint = true;
    float breathPhase = 0.0f;
    float haloIntensity = 0.0f;
    float coreIntensity = 0.0f;
    float lightX = 0.5f, lightY = 0.5f;
    bool flashActive = false;
    float flashPhase = 0.0f;
    bool signalActive = false;
    juce::Image deviceMask;
    juce::RectangleList<int> lightRegion; // where deviceMask is above 0
    bool maskValid = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GlowOverlay)
};
