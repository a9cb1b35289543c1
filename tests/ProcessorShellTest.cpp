#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
using Set = juce::AudioChannelSet;

juce::AudioProcessor::BusesLayout layoutOf (std::vector<Set> inputs, std::vector<Set> outputs)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.addArray (inputs.data(), (int) inputs.size());
    layout.outputBuses.addArray (outputs.data(), (int) outputs.size());
    return layout;
}
} // namespace

TEST (ProcessorShell, FixedProperties)
{
    TaviroAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "TAVIRO");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_DOUBLE_EQ (processor.getTailLengthSeconds(), 0.013);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getNumPrograms(), 1);

    processor.setCurrentProgram (5);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    for (int index : { 0, 1, 5, -1 })
        EXPECT_TRUE (processor.getProgramName (index).isEmpty()) << index;
    processor.changeProgramName (0, "renamed");
    EXPECT_TRUE (processor.getProgramName (0).isEmpty());
}

TEST (ProcessorShell, DeclaresOneStereoBusEachWay)
{
    TaviroAudioProcessor processor;
    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getMainBusNumInputChannels(), 2);
    EXPECT_EQ (processor.getMainBusNumOutputChannels(), 2);
}

TEST (ProcessorShell, AcceptsOnlyStereoInAndOut)
{
    struct Case
    {
        const char* name;
        juce::AudioProcessor::BusesLayout layout;
        bool supported;
    };

    const Case cases[] = {
        { "stereo/stereo", layoutOf ({ Set::stereo() }, { Set::stereo() }), true },
        { "mono/mono", layoutOf ({ Set::mono() }, { Set::mono() }), false },
        { "mono/stereo", layoutOf ({ Set::mono() }, { Set::stereo() }), false },
        { "stereo/mono", layoutOf ({ Set::stereo() }, { Set::mono() }), false },
        { "no input bus", layoutOf ({}, { Set::stereo() }), false },
        { "disabled input", layoutOf ({ Set::disabled() }, { Set::stereo() }), false },
        { "no output bus", layoutOf ({ Set::stereo() }, {}), false },
        { "5.1/5.1", layoutOf ({ Set::create5point1() }, { Set::create5point1() }), false },
    };

    TaviroAudioProcessor processor;
    for (const auto& c : cases)
        EXPECT_EQ (processor.checkBusesLayoutSupported (c.layout), c.supported) << c.name;
}

TEST (ProcessorShell, SharedValuesBeforeTheFirstBlock)
{
    TaviroAudioProcessor processor;
    EXPECT_FLOAT_EQ (processor.inputLevelDb.load(), -60.0f);
    EXPECT_FLOAT_EQ (processor.outputLevelDb.load(), -60.0f);
    EXPECT_FLOAT_EQ (processor.referenceDb.load(), -31.0f);
    EXPECT_EQ (processor.zoneState.load(), static_cast<int> (RideZoneState::Inside));
    EXPECT_FALSE (processor.signalPresent.load());
    EXPECT_FLOAT_EQ (processor.riderLevelDb, -60.0f);
    EXPECT_FLOAT_EQ (processor.transientThresholdDb, 6.0f);
    EXPECT_FLOAT_EQ (processor.upwardCompThresholdDb, -36.0f);
    EXPECT_TRUE (processor.announcements.empty());
    EXPECT_EQ (processor.lastAnnouncementCheckMs, 0);
}

TEST (ProcessorShell, CreatesAFixedSizeEditor)
{
    TaviroAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    ASSERT_NE (dynamic_cast<TaviroAudioProcessorEditor*> (editor.get()), nullptr);
    EXPECT_EQ (editor->getWidth(), 413);
    EXPECT_EQ (editor->getHeight(), 438);
    EXPECT_FALSE (editor->isResizable());
}
