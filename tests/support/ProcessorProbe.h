#pragma once

#include "PluginProcessor.h"

#include <vector>

// Read access to the signal-path state, for the tests only.
struct TaviroProcessorProbe
{
    static float previousGain (const TaviroAudioProcessor& p) { return p.previousGain; }
    static float gainSmoothing (const TaviroAudioProcessor& p) { return p.gainSmoothing; }
    static float fastLevel (const TaviroAudioProcessor& p) { return p.fastLevel; }
    static float fastLevelCoefficient (const TaviroAudioProcessor& p) { return p.fastLevelCoefficient; }
    static float slowInputLevel (const TaviroAudioProcessor& p) { return p.slowInputLevel; }
    static float slowOutputLevel (const TaviroAudioProcessor& p) { return p.slowOutputLevel; }
    static float slowLevelCoefficient (const TaviroAudioProcessor& p) { return p.slowLevelCoefficient; }
    static float fastEnvelope (const TaviroAudioProcessor& p) { return p.fastEnvelope; }
    static float slowEnvelope (const TaviroAudioProcessor& p) { return p.slowEnvelope; }
    static float transientGain (const TaviroAudioProcessor& p) { return p.transientGain.getCurrentValue(); }
    static float pushGain (const TaviroAudioProcessor& p) { return p.pushGain.getCurrentValue(); }
    static float limiterGain (const TaviroAudioProcessor& p) { return p.limiterGain; }
    static int lookAheadSamples (const TaviroAudioProcessor& p) { return p.lookAheadSamples; }

    // Every value that carries over from block to block, to check none became non-finite.
    static std::vector<float> carriedState (const TaviroAudioProcessor& p)
    {
        return { p.previousGain,
                 p.gainSmoothing,
                 p.fastLevel,
                 p.slowInputLevel,
                 p.slowOutputLevel,
                 p.fastEnvelope,
                 p.slowEnvelope,
                 p.transientGain.getCurrentValue(),
                 p.pushGain.getCurrentValue(),
                 p.limiterGain,
                 p.riderLevelDb,
                 p.inputLevelDb.load(),
                 p.outputLevelDb.load() };
    }
};

// A processor that takes any bus layout, so the signal path can be driven with one input
// channel or none, as a host with another layout would.
class AnyLayoutProcessor : public TaviroAudioProcessor
{
public:
    bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }

    void useLayout (const juce::AudioChannelSet& input, const juce::AudioChannelSet& output)
    {
        BusesLayout layout;
        layout.inputBuses.add (input);
        layout.outputBuses.add (output);
        setBusesLayout (layout);
    }
};

inline void setParameter (TaviroAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
