#include "PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
juce::RangedAudioParameter& parameter (TaviroAudioProcessor& processor, const char* id)
{
    auto* p = processor.parameters.getParameter (id);
    EXPECT_NE (p, nullptr) << id;
    return *p;
}
} // namespace

TEST (Parameters, ExactlyTwoInHostOrder)
{
    TaviroAudioProcessor processor;
    const auto& list = processor.getParameters();
    ASSERT_EQ (list.size(), 2);

    auto* push = dynamic_cast<juce::AudioParameterFloat*> (list[0]);
    auto* width = dynamic_cast<juce::AudioParameterFloat*> (list[1]);
    ASSERT_NE (push, nullptr);
    ASSERT_NE (width, nullptr);
    EXPECT_EQ (push->paramID, "push");
    EXPECT_EQ (push->getName (100), "Push");
    EXPECT_EQ (width->paramID, "bigBracketWidth");
    EXPECT_EQ (width->getName (100), "Zone Width");
    EXPECT_EQ (push->getVersionHint(), 0);
    EXPECT_EQ (width->getVersionHint(), 0);
}

TEST (Parameters, RangesDefaultsAndTexts)
{
    struct Case
    {
        const char* id;
        float start, end, defaultValue;
        const char *textAtStart, *textAtDefault, *textAtEnd;
    };

    const Case cases[] = {
        { "push", -6.0f, 12.0f, 4.0f, "-6.0 dB", "4.0 dB", "12.0 dB" },
        { "bigBracketWidth", 2.0f, 30.0f, 4.0f, "2.0 dB", "4.0 dB", "30.0 dB" },
    };

    TaviroAudioProcessor processor;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        auto& typed = dynamic_cast<juce::AudioParameterFloat&> (parameter (processor, c.id));
        juce::AudioProcessorParameter& p = typed;
        const auto& range = typed.getNormalisableRange();
        EXPECT_FLOAT_EQ (range.start, c.start);
        EXPECT_FLOAT_EQ (range.end, c.end);
        EXPECT_FLOAT_EQ (range.interval, 0.1f);
        EXPECT_FLOAT_EQ (range.skew, 1.0f);
        EXPECT_FLOAT_EQ (typed.get(), c.defaultValue);
        EXPECT_FLOAT_EQ (typed.convertFrom0to1 (p.getDefaultValue()), c.defaultValue);
        EXPECT_TRUE (typed.getLabel().isEmpty());
        EXPECT_EQ (p.getCategory(), juce::AudioProcessorParameter::genericParameter);
        EXPECT_EQ (p.getText (0.0f, 0), c.textAtStart);
        EXPECT_EQ (p.getText (p.getDefaultValue(), 0), c.textAtDefault);
        EXPECT_EQ (p.getText (1.0f, 0), c.textAtEnd);
        EXPECT_EQ (p.getCurrentValueAsText(), c.textAtDefault);
        EXPECT_FLOAT_EQ (*processor.parameters.getRawParameterValue (c.id), c.defaultValue);
    }
}

TEST (Parameters, NormalisationIsLinear)
{
    TaviroAudioProcessor processor;
    auto& push = parameter (processor, "push");
    EXPECT_NEAR (push.convertTo0to1 (3.0f), 0.5f, 1e-6f);
    auto& width = parameter (processor, "bigBracketWidth");
    EXPECT_NEAR (width.convertTo0to1 (16.0f), 0.5f, 1e-6f);
}

TEST (Parameters, TypedTextSnapsToTheTenthGrid)
{
    TaviroAudioProcessor processor;
    auto& width = parameter (processor, "bigBracketWidth");
    width.setValueNotifyingHost (width.getValueForText ("2.34"));
    EXPECT_NEAR (*processor.parameters.getRawParameterValue ("bigBracketWidth"), 2.3f, 1e-5f);
    EXPECT_EQ (width.getCurrentValueAsText(), "2.3 dB");

    // The framework reads the number at the start of the text, so the unit may be typed too.
    auto& push = parameter (processor, "push");
    push.setValueNotifyingHost (push.getValueForText ("-2.0 dB"));
    EXPECT_NEAR (*processor.parameters.getRawParameterValue ("push"), -2.0f, 1e-5f);

    // Out-of-range text lands on the range ends.
    push.setValueNotifyingHost (push.getValueForText ("40"));
    EXPECT_EQ (push.getCurrentValueAsText(), "12.0 dB");
}
