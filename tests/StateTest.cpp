#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
juce::MemoryBlock stateOf (TaviroAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

// A block laid out as the framework lays it out, around any XML text.
juce::MemoryBlock blockWithXml (const juce::String& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (xml), block);
    return block;
}

// A block with a valid header around arbitrary text.
juce::MemoryBlock rawBlock (const char* text)
{
    const auto length = (juce::uint32) std::strlen (text);
    const juce::uint32 header[] = { juce::ByteOrder::swapIfBigEndian (0x21324356u),
                                    juce::ByteOrder::swapIfBigEndian (length) };
    juce::MemoryBlock block (header, sizeof (header));
    block.append (text, length + 1);
    return block;
}

float raw (TaviroAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

void setRaw (TaviroAudioProcessor& processor, const char* id, float value)
{
    auto* p = processor.parameters.getParameter (id);
    p->setValueNotifyingHost (p->convertTo0to1 (value));
}

struct Settings
{
    float push, width, reference, transient, upward;
};

Settings settingsOf (TaviroAudioProcessor& processor)
{
    return { raw (processor, "push"), raw (processor, "bigBracketWidth"), processor.referenceDb.load(),
             processor.transientThresholdDb, processor.upwardCompThresholdDb };
}

void expectSettings (TaviroAudioProcessor& processor, Settings expected)
{
    const auto actual = settingsOf (processor);
    EXPECT_NEAR (actual.push, expected.push, 1e-5f);
    EXPECT_NEAR (actual.width, expected.width, 1e-5f);
    EXPECT_FLOAT_EQ (actual.reference, expected.reference);
    EXPECT_FLOAT_EQ (actual.transient, expected.transient);
    EXPECT_FLOAT_EQ (actual.upward, expected.upward);
}

constexpr Settings defaults { 4.0f, 4.0f, -31.0f, 6.0f, -36.0f };

// A processor whose every setting differs from its default.
struct ChangedProcessor : public ::testing::Test
{
    void SetUp() override
    {
        setRaw (processor, "push", -2.5f);
        setRaw (processor, "bigBracketWidth", 17.3f);
        processor.referenceDb = -18.4f;
        processor.transientThresholdDb = 9.5f;
        processor.upwardCompThresholdDb = -41.0f;
    }

    static constexpr Settings changed { -2.5f, 17.3f, -18.4f, 9.5f, -41.0f };
    TaviroAudioProcessor processor;
};
} // namespace

TEST (StateBlock, LayoutOfASavedBlock)
{
    TaviroAudioProcessor processor;
    const auto block = stateOf (processor);
    const auto* bytes = static_cast<const unsigned char*> (block.getData());
    ASSERT_GT (block.getSize(), 9u);

    EXPECT_EQ (std::memcmp (bytes, "VC2!", 4), 0);
    const auto length = juce::ByteOrder::littleEndianInt (bytes + 4);
    EXPECT_EQ (length, block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const juce::String text (juce::CharPointer_UTF8 (reinterpret_cast<const char*> (bytes + 8)), length);
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE (text.containsChar ('\n'));
    EXPECT_EQ (text.fromFirstOccurrenceOf ("?>", false, false).trim(),
               "<PARAMETERS transientThresholdDb=\"6.0\" upwardCompThresholdDb=\"-36.0\" "
               "referenceDb=\"-31.0\"><PARAM id=\"bigBracketWidth\" value=\"4.0\"/>"
               "<PARAM id=\"push\" value=\"4.0\"/></PARAMETERS>");
}

TEST (StateBlock, SavingLeavesTheLiveTreeAlone)
{
    TaviroAudioProcessor processor;
    stateOf (processor);
    EXPECT_FALSE (processor.parameters.state.hasProperty ("referenceDb"));
}

TEST (StateBlock, FreshInstanceRoundTripsItsDefaults)
{
    TaviroAudioProcessor source, target;
    const auto block = stateOf (source);
    target.setStateInformation (block.getData(), (int) block.getSize());
    expectSettings (target, defaults);
}

TEST_F (ChangedProcessor, RoundTripRestoresEverySetting)
{
    const auto block = stateOf (processor);
    TaviroAudioProcessor restored;
    restored.setStateInformation (block.getData(), (int) block.getSize());
    expectSettings (restored, changed);

    // The settings keep their place in the tree, so a second save writes the same block.
    EXPECT_EQ (stateOf (restored), block);
}

TEST_F (ChangedProcessor, UnrecognisedBlocksChangeNothing)
{
    const auto valid = stateOf (processor);
    const auto* validBytes = static_cast<const char*> (valid.getData());

    auto withLength = [&] (juce::int32 length)
    {
        juce::MemoryBlock block (valid);
        const auto littleEndian = juce::ByteOrder::swapIfBigEndian ((juce::uint32) length);
        block.copyFrom (&littleEndian, 4, 4);
        return block;
    };
    auto withMagic = [&] (const char* magic)
    {
        juce::MemoryBlock block (valid);
        block.copyFrom (magic, 0, 4);
        return block;
    };

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "empty", juce::MemoryBlock() },
        { "eight bytes", juce::MemoryBlock (validBytes, 8) },
        { "wrong magic", withMagic ("VC1!") },
        { "zero length", withLength (0) },
        { "negative length", withLength (-5) },
        { "unparseable XML", rawBlock ("<PARAMETERS referenceDb=\"-10\"><PARAM") },
        { "not XML at all", rawBlock ("hello") },
        { "other root tag", blockWithXml ("<OTHERSTATE referenceDb=\"-10\"/>") },
    };

    for (const auto& [name, block] : cases)
    {
        SCOPED_TRACE (name);
        processor.setStateInformation (block.getData(), (int) block.getSize());
        expectSettings (processor, changed);
    }

    processor.setStateInformation (nullptr, 100);
    expectSettings (processor, changed);
}

TEST_F (ChangedProcessor, LengthBeyondTheBlockIsCutToTheBytesPresent)
{
    auto block = blockWithXml ("<PARAMETERS referenceDb=\"-12.5\"/>");
    const auto huge = juce::ByteOrder::swapIfBigEndian ((juce::uint32) 100000);
    block.copyFrom (&huge, 4, 4);
    processor.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_FLOAT_EQ (processor.referenceDb.load(), -12.5f);
}

TEST_F (ChangedProcessor, LowerCaseRootIsAccepted)
{
    const auto block = blockWithXml ("<parameters referenceDb=\"-20\" transientThresholdDb=\"7\" "
                                     "upwardCompThresholdDb=\"-30\"><PARAM id=\"push\" value=\"1.5\"/>"
                                     "</parameters>");
    processor.setStateInformation (block.getData(), (int) block.getSize());
    expectSettings (processor, { 1.5f, 4.0f, -20.0f, 7.0f, -30.0f });
}

TEST_F (ChangedProcessor, MissingSettingsFallBackToDefaults)
{
    const auto block = blockWithXml ("<PARAMETERS/>");
    processor.setStateInformation (block.getData(), (int) block.getSize());
    expectSettings (processor, defaults);
}

TEST_F (ChangedProcessor, SettingsAreNotClampedAndTextReadsAsZero)
{
    const auto block = blockWithXml ("<PARAMETERS referenceDb=\"abc\" transientThresholdDb=\"80\" "
                                     "upwardCompThresholdDb=\"-500\"/>");
    processor.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_FLOAT_EQ (processor.referenceDb.load(), 0.0f);
    EXPECT_FLOAT_EQ (processor.transientThresholdDb, 80.0f);
    EXPECT_FLOAT_EQ (processor.upwardCompThresholdDb, -500.0f);
}

TEST_F (ChangedProcessor, NonFiniteSettingsCountAsAbsent)
{
    for (const char* text : { "inf", "-inf", "nan", "1e999", "-1e999", "1e39" })
    {
        SCOPED_TRACE (text);
        const juce::String number (text);
        const auto block =
            blockWithXml ("<PARAMETERS referenceDb=\"" + number + "\" transientThresholdDb=\"" + number
                          + "\" upwardCompThresholdDb=\"" + number + "\"><PARAM id=\"push\" value=\"" + number
                          + "\"/><PARAM id=\"bigBracketWidth\" value=\"" + number + "\"/></PARAMETERS>");
        processor.setStateInformation (block.getData(), (int) block.getSize());
        expectSettings (processor, defaults);
        ChangedProcessor::SetUp();
    }
}
