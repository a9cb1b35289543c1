#pragma once

#include "Announcement.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <cstdint>
#include <vector>

// Where the rider level sits relative to the ride zone; the meter compares these numbers.
enum class RideZoneState : int
{
    Inside = 0,
    Outside = 1,
    FarOutside = 2,
    Gated = 3
};

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

    static constexpr float defaultReferenceDb = -31.0f;
    static constexpr float defaultTransientThresholdDb = 6.0f;
    static constexpr float defaultUpwardCompThresholdDb = -36.0f;

    // Shared with the editor: the editor reads and writes these directly (atomics are
    // each read whole; nothing relies on an ordering between them).
    juce::AudioProcessorValueTreeState parameters;
    float riderLevelDb = -60.0f;
    std::atomic<float> inputLevelDb{ -60.0f };
    std::atomic<float> outputLevelDb{ -60.0f };
    std::atomic<float> referenceDb{ defaultReferenceDb };
    std::atomic<int> zoneState{ static_cast<int> (RideZoneState::Inside) };
    std::atomic<bool> signalPresent{ false };
    std::atomic<float>* pushValue = nullptr;
    std::atomic<float>* zoneWidthValue = nullptr;
    std::vector<Announcement> announcements;
    std::int64_t lastAnnouncementCheckMs = 0;
    float transientThresholdDb = defaultTransientThresholdDb;
    float upwardCompThresholdDb = defaultUpwardCompThresholdDb;

private:
    double currentSampleRate = 44100.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TaviroAudioProcessor)
};
