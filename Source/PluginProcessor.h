#pragma once

#include "Announcement.h"
#include "RideZone.h"
#include "SlidingMinimum.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <cstdint>
#include <vector>

class TaviroAudioProcessor : public juce::AudioProcessor
{
public:
    TaviroAudioProcessor();
    ~TaviroAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    // The rider's linear gain at the end of the last block. Audio-thread state: only for
    // offline analysis on the thread that calls processBlock.
    float getRiderGain() const noexcept { return previousGain; }

    static constexpr float defaultReferenceDb = -31.0f;
    static constexpr float defaultTransientThresholdDb = 6.0f;
    static constexpr float defaultUpwardCompThresholdDb = -36.0f;

    // Shared with the editor: the editor reads and writes these directly (atomics are
    // each read whole; nothing relies on an ordering between them).
    juce::AudioProcessorValueTreeState parameters;
    float riderLevelDb = -60.0f;
    std::atomic<float> inputLevelDb { -60.0f };
    std::atomic<float> outputLevelDb { -60.0f };
    std::atomic<float> referenceDb { defaultReferenceDb };
    std::atomic<int> zoneState { static_cast<int> (RideZoneState::Inside) };
    std::atomic<bool> signalPresent { false };
    std::atomic<float>* pushValue = nullptr;
    std::atomic<float>* zoneWidthValue = nullptr;
    std::vector<Announcement> announcements;
    std::int64_t lastAnnouncementCheckMs = 0;
    float transientThresholdDb = defaultTransientThresholdDb;
    float upwardCompThresholdDb = defaultUpwardCompThresholdDb;

private:
    friend struct TaviroProcessorProbe; // lets the tests look at the signal-path state

    void prepareOutputStage (double sampleRate, int maximumBlockSize);
    void processOutputStage (float* left, float* right, int numSamples) noexcept;
    void shapeChunk (float* left, float* right, bool mono, int numSamples, float& riddenSquaresLeft,
                     float& riddenSquaresRight) noexcept;
    void delayAndLimitChunk (float* left, float* right, bool mono, int numSamples) noexcept;

    // Block stage: the rider.
    float previousGain = 1.0f;  // rider gain reached at the end of the last block
    float gainSmoothing = 0.0f; // one-pole coefficient of the rider gain, per block
    float fastLevel = 0.0f;     // block RMS smoothed over 30 ms (linear)
    float fastLevelCoefficient = 0.0f;
    float slowInputLevel = 0.0f;  // block RMS smoothed over 300 ms (linear)
    float slowOutputLevel = 0.0f; // ridden, transient-controlled RMS over 300 ms (linear)
    float slowLevelCoefficient = 0.0f;

    // Per-sample stage: transient control, push and the output ceiling.
    float fastEnvelope = 0.0f;
    float fastEnvelopeAttack = 0.0f, fastEnvelopeRelease = 0.0f;
    float slowEnvelope = 0.0f;
    float slowEnvelopeAttack = 0.0f, slowEnvelopeRelease = 0.0f;
    juce::SmoothedValue<float> transientGain { 1.0f };
    juce::SmoothedValue<float> pushGain { 1.0f };
    juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear> limiterDelay { 256 };
    SlidingMinimum limiterTargetWindow; // the limiter's look-ahead: d5 + 1 newest targets
    std::vector<float> limiterGains;    // the limiter's gain per sample of the current chunk
    float limiterGain = 1.0f;
    float limiterAttack = 0.0f, limiterRelease = 0.0f;
    int lookAheadSamples = 0;
    double currentSampleRate = 44100.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TaviroAudioProcessor)
};
