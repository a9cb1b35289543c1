#include "PluginProcessor.h"
#include "PluginEditor.h"

#include <cmath>

namespace
{
const juce::Identifier transientThresholdId{ "transientThresholdDb" };
const juce::Identifier upwardCompThresholdId{ "upwardCompThresholdDb" };
const juce::Identifier referenceId{ "referenceDb" };

juce::String decibelText (float value, int /*maximumStringLength*/)
{
    return juce::String (value, 1) + " dB";
}

std::unique_ptr<juce::AudioParameterFloat> makeDecibelParameter (const juce::String& id,
                                                                 const juce::String& name,
                                                                 float minimum, float maximum)
{
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID{ id, 0 }, name,
        juce::NormalisableRange<float> (minimum, maximum, 0.1f, 1.0f), 4.0f,
        juce::AudioParameterFloatAttributes()
            .withLabel ({})
            .withCategory (juce::AudioProcessorParameter::genericParameter)
            .withStringFromValueFunction (decibelText));
}

// A setting restored from a saved project: absent or non-finite text gives the default, so
// nothing non-finite can reach the signal path from a damaged or hand-edited state.
float restoredSetting (const juce::ValueTree& tree, const juce::Identifier& id, float fallback)
{
    if (!tree.hasProperty (id))
        return fallback;

    const auto value = static_cast<float> (static_cast<double> (tree.getProperty (id)));
    return std::isfinite (value) ? value : fallback;
}
} // namespace

TaviroAudioProcessor::TaviroAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , parameters (*this, nullptr, "PARAMETERS", createParameterLayout())
{
}

TaviroAudioProcessor::~TaviroAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout TaviroAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add (makeDecibelParameter ("push", "Push", -6.0f, 12.0f));
    layout.add (makeDecibelParameter ("bigBracketWidth", "Zone Width", 2.0f, 30.0f));
    return layout;
}

const juce::String TaviroAudioProcessor::getName() const
{
    return "TAVIRO";
}

void TaviroAudioProcessor::prepareToPlay (double sampleRate, int /*maximumBlockSize*/)
{
    currentSampleRate = sampleRate;
    pushValue = parameters.getRawParameterValue ("push");
    zoneWidthValue = parameters.getRawParameterValue ("bigBracketWidth");
}

void TaviroAudioProcessor::releaseResources() {}

void TaviroAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const auto numInputChannels = getTotalNumInputChannels();
    if (numInputChannels == 0)
        return;

    for (auto channel = numInputChannels; channel < buffer.getNumChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());
}

double TaviroAudioProcessor::getTailLengthSeconds() const
{
    return 0.013;
}
bool TaviroAudioProcessor::acceptsMidi() const
{
    return false;
}
bool TaviroAudioProcessor::producesMidi() const
{
    return false;
}
bool TaviroAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* TaviroAudioProcessor::createEditor()
{
    return new TaviroAudioProcessorEditor (*this);
}

bool TaviroAudioProcessor::hasEditor() const
{
    return true;
}
int TaviroAudioProcessor::getNumPrograms()
{
    return 1;
}
int TaviroAudioProcessor::getCurrentProgram()
{
    return 0;
}
void TaviroAudioProcessor::setCurrentProgram (int) {}
const juce::String TaviroAudioProcessor::getProgramName (int)
{
    return {};
}
void TaviroAudioProcessor::changeProgramName (int, const juce::String&) {}

void TaviroAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = parameters.copyState();
    state.setProperty (transientThresholdId, static_cast<double> (transientThresholdDb), nullptr);
    state.setProperty (upwardCompThresholdId, static_cast<double> (upwardCompThresholdDb), nullptr);
    state.setProperty (referenceId, static_cast<double> (referenceDb.load()), nullptr);

    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void TaviroAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr)
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);
    if (xml == nullptr ||
        !xml->getTagName().equalsIgnoreCase (parameters.state.getType().toString()))
        return;

    auto tree = juce::ValueTree::fromXml (*xml);

    // A non-finite parameter value would pass the range's clamp as NaN; dropping it lets
    // the parameter fall back to its default, as for a value that was never saved.
    for (auto child : tree)
        if (child.hasProperty ("value") &&
            !std::isfinite (static_cast<float> (static_cast<double> (child.getProperty ("value")))))
            child.removeProperty ("value", nullptr);

    parameters.replaceState (tree);

    transientThresholdDb =
        restoredSetting (tree, transientThresholdId, defaultTransientThresholdDb);
    upwardCompThresholdDb =
        restoredSetting (tree, upwardCompThresholdId, defaultUpwardCompThresholdDb);
    referenceDb.store (restoredSetting (tree, referenceId, defaultReferenceDb));
}

bool TaviroAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo() &&
           layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new TaviroAudioProcessor();
}
