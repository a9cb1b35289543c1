#include "PluginProcessor.h"
#include "OutputStageMath.h"
#include "PluginEditor.h"

#include <cmath>

namespace
{
const juce::Identifier transientThresholdId { "transientThresholdDb" };
const juce::Identifier upwardCompThresholdId { "upwardCompThresholdDb" };
const juce::Identifier referenceId { "referenceDb" };

// Time constants are counted in double, then the coefficient is formed in float.
float onePoleCoefficient (double seconds, double rate) { return std::exp (-1.0f / (float) (seconds * rate)); }

float envelopeDb (float level) { return juce::jmax (20.0f * std::log10 (level), -100.0f); }

// Silence reads -70 dB; anything else is floored at -100 dB.
float meterDb (float level) { return level > 0.0f ? envelopeDb (level) : -70.0f; }

float finiteOr (float value, float fallback) { return std::isfinite (value) ? value : fallback; }

std::pair<float, float> sumOfSquares (const float* left, const float* right, bool mono, int numSamples)
{
    auto sumLeft = 0.0f;
    for (int i = 0; i < numSamples; ++i)
        sumLeft += left[i] * left[i];
    if (mono)
        return { sumLeft, sumLeft };

    auto sumRight = 0.0f;
    for (int i = 0; i < numSamples; ++i)
        sumRight += right[i] * right[i];
    return { sumLeft, sumRight };
}

// Replaces NaN and infinities with silence and caps absurd magnitudes, whose squares would
// overflow the level detector.
void sanitise (float* samples, int numSamples)
{
    constexpr float largest = 1.0e15f;
    for (int i = 0; i < numSamples; ++i)
        samples[i] = std::isfinite (samples[i]) ? juce::jlimit (-largest, largest, samples[i]) : 0.0f;
}

juce::String decibelText (float value, int /*maximumStringLength*/)
{
    return juce::String (value, 1) + " dB";
}

std::unique_ptr<juce::AudioParameterFloat>
makeDecibelParameter (const juce::String& id, const juce::String& name, float minimum, float maximum)
{
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, 0 }, name, juce::NormalisableRange<float> (minimum, maximum, 0.1f, 1.0f),
        4.0f,
        juce::AudioParameterFloatAttributes()
            .withLabel ({})
            .withCategory (juce::AudioProcessorParameter::genericParameter)
            .withStringFromValueFunction (decibelText));
}

// A setting restored from a saved project: absent or non-finite text gives the default, so
// nothing non-finite can reach the signal path from a damaged or hand-edited state.
float restoredSetting (const juce::ValueTree& tree, const juce::Identifier& id, float fallback)
{
    if (! tree.hasProperty (id))
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
    limiterTargetWindow.prepare (257);
    limiterGains.assign (512, 1.0f);
}

TaviroAudioProcessor::~TaviroAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout TaviroAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add (makeDecibelParameter ("push", "Push", -6.0f, 12.0f));
    layout.add (makeDecibelParameter ("bigBracketWidth", "Zone Width", 2.0f, 30.0f));
    return layout;
}

const juce::String TaviroAudioProcessor::getName() const { return "TAVIRO"; }

void TaviroAudioProcessor::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    currentSampleRate = sampleRate;
    prepareOutputStage (sampleRate, maximumBlockSize);

    const auto blocksPerSecond = (float) sampleRate / (float) juce::jmax (1, maximumBlockSize);
    fastLevelCoefficient = std::exp (-1.0f / juce::jmax ((float) (0.03 * (double) blocksPerSecond), 1.0f));
    slowLevelCoefficient = onePoleCoefficient (0.3, blocksPerSecond);
    fastLevel = 0.0f;
    slowInputLevel = 0.0f;
    slowOutputLevel = 0.0f;

    previousGain = 1.0f;

    pushValue = parameters.getRawParameterValue ("push");
    zoneWidthValue = parameters.getRawParameterValue ("bigBracketWidth");

    setLatencySamples (lookAheadSamples);
}

void TaviroAudioProcessor::prepareOutputStage (double sampleRate, int maximumBlockSize)
{
    limiterDelay.prepare ({ sampleRate, (juce::uint32) juce::jmax (1, maximumBlockSize), 2 });
    lookAheadSamples = (int) (sampleRate * 5.0 / 1000.0);
    limiterDelay.setMaximumDelayInSamples (lookAheadSamples + 1);
    limiterDelay.setDelay ((float) lookAheadSamples);
    limiterDelay.reset();
    limiterTargetWindow.prepare (lookAheadSamples + 1);
    limiterGains.assign ((size_t) juce::jlimit (1, 8192, maximumBlockSize), 1.0f);

    fastEnvelopeAttack = onePoleCoefficient (0.001, sampleRate);
    fastEnvelopeRelease = onePoleCoefficient (0.02, sampleRate);
    slowEnvelopeAttack = onePoleCoefficient (0.025, sampleRate);
    slowEnvelopeRelease = onePoleCoefficient (0.15, sampleRate);
    fastEnvelope = 0.0f;
    slowEnvelope = 0.0f;

    transientGain.reset (sampleRate, 0.015);
    transientGain.setCurrentAndTargetValue (1.0f);
    pushGain.reset (sampleRate, 0.02);
    pushGain.setCurrentAndTargetValue (1.0f);

    limiterAttack = onePoleCoefficient (0.0005, sampleRate);
    limiterRelease = onePoleCoefficient (0.05, sampleRate);
    limiterGain = 1.0f;
}

void TaviroAudioProcessor::releaseResources() {}

void TaviroAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const auto numInputChannels = getTotalNumInputChannels();
    if (numInputChannels == 0)
        return;

    const auto numSamples = buffer.getNumSamples();
    for (auto channel = numInputChannels; channel < buffer.getNumChannels(); ++channel)
        buffer.clear (channel, 0, numSamples);

    const auto pushDb = finiteOr (pushValue != nullptr ? pushValue->load() : 0.0f, 0.0f);
    const auto widthDb = finiteOr (zoneWidthValue != nullptr ? zoneWidthValue->load() : 4.0f, 4.0f);
    const auto targetDb = finiteOr (referenceDb.load(), defaultReferenceDb);
    pushGain.setTargetValue (juce::Decibels::decibelsToGain (pushDb));

    if (numSamples > 0)
    {
        const auto blocksPerSecond = (float) currentSampleRate / (float) numSamples;
        const auto timeConstant = (10.0f + (widthDb - 2.0f) * 10.0f / 28.0f) / 1000.0f;
        gainSmoothing = onePoleCoefficient (timeConstant, blocksPerSecond);
    }
    else
    {
        gainSmoothing = 1.0f;
    }

    auto* left = buffer.getWritePointer (0);
    auto* right = numInputChannels > 1 ? buffer.getWritePointer (1) : left;
    const auto mono = left == right;

    auto blockRms = 0.0f;
    if (numSamples > 0)
    {
        auto squares = sumOfSquares (left, right, mono, numSamples);
        if (! std::isfinite (squares.first + squares.second))
        {
            // A broken upstream plug-in: silence what is not a number so no state is poisoned.
            sanitise (left, numSamples);
            if (! mono)
                sanitise (right, numSamples);
            squares = sumOfSquares (left, right, mono, numSamples);
        }
        blockRms = std::sqrt (juce::jmax (squares.first, squares.second) / (float) numSamples);
    }

    fastLevel = fastLevel * fastLevelCoefficient + blockRms * (1.0f - fastLevelCoefficient);
    riderLevelDb = meterDb (fastLevel);
    slowInputLevel = slowInputLevel * slowLevelCoefficient + blockRms * (1.0f - slowLevelCoefficient);
    inputLevelDb.store (meterDb (slowInputLevel));

    const auto correction = computeRideCorrection (riderLevelDb, targetDb, widthDb);
    zoneState.store (static_cast<int> (correction.state));

    const auto targetGain = juce::Decibels::decibelsToGain (correction.correctionDb);
    const auto gain = previousGain * gainSmoothing + targetGain * (1.0f - gainSmoothing);

    if (numSamples > 0)
    {
        // From the previous gain, stopping one step short of the new one.
        const auto difference = gain - previousGain;
        const auto n = (float) numSamples;
        for (int i = 0; i < numSamples; ++i)
            left[i] *= previousGain + (float) i * difference / n;
        if (! mono)
            for (int i = 0; i < numSamples; ++i)
                right[i] *= previousGain + (float) i * difference / n;
    }
    previousGain = gain;

    processOutputStage (left, right, numSamples);

    signalPresent.store (riderLevelDb > -50.0f);
}

void TaviroAudioProcessor::processOutputStage (float* left, float* right, int numSamples) noexcept
{
    const auto mono = left == right;
    auto riddenSquaresLeft = 0.0f, riddenSquaresRight = 0.0f;

    // The gains of the limiter are worked out a chunk ahead of the delay line, so the sample
    // loop keeps its state in registers; the delay line then runs through the chunk on its own.
    const auto chunkLength = (int) limiterGains.size();
    for (int start = 0; start < numSamples; start += chunkLength)
    {
        const auto n = juce::jmin (chunkLength, numSamples - start);
        shapeChunk (left + start, right + start, mono, n, riddenSquaresLeft, riddenSquaresRight);
        delayAndLimitChunk (left + start, right + start, mono, n);
    }

    const auto outRms =
        numSamples > 0 ? std::sqrt (juce::jmax (riddenSquaresLeft, riddenSquaresRight) / (float) numSamples)
                       : 0.0f;
    slowOutputLevel = slowOutputLevel * slowLevelCoefficient + outRms * (1.0f - slowLevelCoefficient);
    outputLevelDb.store (meterDb (slowOutputLevel));
}

// Transient control, push and the limiter's gain for every sample of the chunk. The pushed
// samples replace the ridden ones in place; the gains go to limiterGains.
void TaviroAudioProcessor::shapeChunk (float* left, float* right, bool mono, int numSamples,
                                       float& riddenSquaresLeft, float& riddenSquaresRight) noexcept
{
    // Below this ratio of the envelopes the 8 dB test in the log domain cannot pass, so steady
    // material costs no logarithm (8 dB is 2.512; the bound sits a little low on purpose).
    constexpr float transientRatioBound = 2.5f;

    auto fast = fastEnvelope, slow = slowEnvelope, gain = limiterGain;
    auto transient = transientGain;
    auto push = pushGain;
    auto sumLeft = riddenSquaresLeft, sumRight = riddenSquaresRight;
    auto* gains = limiterGains.data();

    for (int i = 0; i < numSamples; ++i)
    {
        const auto a = left[i];
        const auto b = right[i];

        const auto detector = (std::abs (a) + std::abs (b)) * 0.5f;
        const auto fastK = detector > fast ? fastEnvelopeAttack : fastEnvelopeRelease;
        fast = fast * fastK + detector * (1.0f - fastK);
        const auto slowK = detector > slow ? slowEnvelopeAttack : slowEnvelopeRelease;
        slow = slow * slowK + detector * (1.0f - slowK);

        auto transientTarget = 1.0f;
        if (fast > 1.0e-6f && slow > 1.0e-6f && fast > slow * transientRatioBound)
        {
            const auto reduction = transientReductionDb (envelopeDb (fast) - envelopeDb (slow));
            if (reduction > 0.0f)
                transientTarget = std::pow (10.0f, -reduction / 20.0f);
        }

        transient.setTargetValue (transientTarget);
        const auto tg = transient.getNextValue();
        const auto riddenLeft = a * tg;
        const auto riddenRight = b * tg;
        sumLeft += riddenLeft * riddenLeft;
        sumRight += riddenRight * riddenRight;

        const auto pg = push.getNextValue();
        const auto p = riddenLeft * pg;
        const auto q = riddenRight * pg;
        left[i] = p;
        if (! mono)
            right[i] = q;

        // Look ahead for real: the gain aims at what the loudest sample still inside the
        // delay needs, so it has fallen by the time that sample leaves.
        const auto windowTarget =
            limiterTargetWindow.push (ceilingGain (juce::jmax (std::abs (p), std::abs (q))));
        const auto k = gain > windowTarget ? limiterAttack : limiterRelease;
        gain = gain * k + windowTarget * (1.0f - k);
        gains[i] = gain;
    }

    fastEnvelope = fast;
    slowEnvelope = slow;
    limiterGain = gain;
    transientGain = transient;
    pushGain = push;
    riddenSquaresLeft = sumLeft;
    riddenSquaresRight = sumRight;
}

// Each sample leaves the look-ahead delay under the gain worked out when the sample d5
// samples later went in.
void TaviroAudioProcessor::delayAndLimitChunk (float* left, float* right, bool mono, int numSamples) noexcept
{
    // Both channels in one loop: the delay line's position updates are chains of integer
    // divisions, and two chains side by side cost little more than one.
    if (mono)
        for (int i = 0; i < numSamples; ++i)
        {
            limiterDelay.pushSample (0, left[i]);
            left[i] = limiterDelay.popSample (0);
        }
    else
        for (int i = 0; i < numSamples; ++i)
        {
            limiterDelay.pushSample (0, left[i]);
            limiterDelay.pushSample (1, right[i]);
            left[i] = limiterDelay.popSample (0);
            right[i] = limiterDelay.popSample (1);
        }

    const auto* gains = limiterGains.data();
    for (int i = 0; i < numSamples; ++i)
    {
        auto outLeft = left[i] * gains[i];
        auto outRight = right[i] * gains[i];

        // The attack closes all but e^-10 of the gap within the look-ahead, which leaves a few
        // ten-thousandths of a dB, or more for peaks far over full scale (a broken upstream
        // plug-in). The ceiling is a promise, so whatever is left is scaled away here.
        const auto outPeak = juce::jmax (std::abs (outLeft), std::abs (outRight));
        if (outPeak > outputCeiling)
        {
            const auto scale = outputCeiling / outPeak;
            outLeft *= scale;
            outRight *= scale;
        }
        left[i] = outLeft;
        if (! mono)
            right[i] = outRight;
    }
}

double TaviroAudioProcessor::getTailLengthSeconds() const { return 0.013; }
bool TaviroAudioProcessor::acceptsMidi() const { return false; }
bool TaviroAudioProcessor::producesMidi() const { return false; }
bool TaviroAudioProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* TaviroAudioProcessor::createEditor()
{
    return new TaviroAudioProcessorEditor (*this);
}

bool TaviroAudioProcessor::hasEditor() const { return true; }
int TaviroAudioProcessor::getNumPrograms() { return 1; }
int TaviroAudioProcessor::getCurrentProgram() { return 0; }
void TaviroAudioProcessor::setCurrentProgram (int) {}
const juce::String TaviroAudioProcessor::getProgramName (int) { return {}; }
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
    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (parameters.state.getType().toString()))
        return;

    auto tree = juce::ValueTree::fromXml (*xml);

    // A non-finite parameter value would pass the range's clamp as NaN; dropping it lets
    // the parameter fall back to its default, as for a value that was never saved.
    for (auto child : tree)
        if (child.hasProperty ("value")
            && ! std::isfinite (static_cast<float> (static_cast<double> (child.getProperty ("value")))))
            child.removeProperty ("value", nullptr);

    parameters.replaceState (tree);

    transientThresholdDb = restoredSetting (tree, transientThresholdId, defaultTransientThresholdDb);
    upwardCompThresholdDb = restoredSetting (tree, upwardCompThresholdId, defaultUpwardCompThresholdDb);
    referenceDb.store (restoredSetting (tree, referenceId, defaultReferenceDb));
}

bool TaviroAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo()
           && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() { return new TaviroAudioProcessor(); }
