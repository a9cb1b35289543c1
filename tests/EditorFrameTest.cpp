#include "support/EditorProbe.h"
#include "support/ProcessorProbe.h"

#include <gtest/gtest.h>

namespace
{
using Probe = TaviroEditorProbe;

// Counts what the host would hear about parameter changes.
struct HostListener : public juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++changes; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    int changes = 0;
};

juce::MouseEvent mouseAt (juce::Component& component, juce::Point<int> position)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto point = position.toFloat();
    return juce::MouseEvent (source, point, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &component, &component,
                             juce::Time::getCurrentTime(), point, juce::Time::getCurrentTime(), 1, false);
}

struct EditorFixture : public ::testing::Test
{
    TaviroAudioProcessor processor;
    std::unique_ptr<TaviroAudioProcessorEditor> editor { static_cast<TaviroAudioProcessorEditor*> (
        processor.createEditor()) };
};
} // namespace

TEST_F (EditorFixture, ChildrenSitOverTheirSlots)
{
    EXPECT_EQ (editor->getWidth(), 413);
    EXPECT_EQ (editor->getHeight(), 438);
    EXPECT_FALSE (editor->isResizable());

    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        { &editor->targetWheel, { 96, 141, 52, 185 } },    { &editor->zoneMeter, { 153, 141, 111, 185 } },
        { &editor->pushWheel, { 271, 141, 47, 185 } },     { &editor->tooltipLabel, { 56, 341, 300, 36 } },
        { editor->glowOverlay.get(), { 0, 0, 413, 438 } },
    };
    for (const auto& [child, bounds] : layout)
        EXPECT_EQ (child->getBounds(), bounds) << child->getName();

    EXPECT_FALSE (editor->tooltipLabel.isVisible());
    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), editor->glowOverlay.get());
    bool clicks = true, childClicks = true;
    editor->glowOverlay->getInterceptsMouseClicks (clicks, childClicks);
    EXPECT_FALSE (clicks);
    EXPECT_FALSE (childClicks);
}

TEST (EditorOpening, PushWheelGlidesUpWithoutTouchingThePushParameter)
{
    struct Case
    {
        float push;
        float before, afterTick5, afterTick10, atTick15;
    };
    const Case cases[] = {
        { 4.0f, 1.3f, 2.8f, 3.7f, 4.0f },
        { -6.0f, -6.0f, -6.0f, -6.0f, -6.0f }, // the drop is held at the range's bottom
        { 12.0f, 9.3f, 10.8f, 11.7f, 12.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.push);
        TaviroAudioProcessor processor;
        setParameter (processor, "push", c.push);
        HostListener host;
        processor.addListener (&host);
        std::unique_ptr<TaviroAudioProcessorEditor> editor (
            static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));

        EXPECT_NEAR (editor->pushWheel.getValue(), c.before, 1e-4);
        for (int tick = 1; tick <= 16; ++tick)
        {
            editor->timerCallback();
            if (tick == 5)
                EXPECT_NEAR (editor->pushWheel.getValue(), c.afterTick5, 1e-4);
            if (tick == 10)
                EXPECT_NEAR (editor->pushWheel.getValue(), c.afterTick10, 1e-4);
            if (tick >= 15)
            {
                EXPECT_NEAR (editor->pushWheel.getValue(), c.atTick15, 1e-4);
                EXPECT_FALSE (Probe::pushIntroActive (*editor));
            }
            EXPECT_FLOAT_EQ (*processor.parameters.getRawParameterValue ("push"), c.push);
        }
        EXPECT_EQ (host.changes, 0);
        editor.reset();
        processor.removeListener (&host);
    }
}

TEST_F (EditorFixture, TargetScaleRollsIntoPlace)
{
    EXPECT_TRUE (editor->targetWheel.spinActive);
    EXPECT_FLOAT_EQ (editor->targetWheel.spinOffsetDb, 3.0f);

    const std::pair<int, float> expected[] = {
        { 1, 2.572f }, { 10, 0.375f }, { 19, 0.000375f }, { 20, 0.0f }, { 25, 0.0f }
    };
    int tick = 0;
    for (const auto& [atTick, offset] : expected)
    {
        while (tick < atTick)
        {
            editor->timerCallback();
            ++tick;
        }
        EXPECT_NEAR (editor->targetWheel.spinOffsetDb, offset, 1e-3f) << "tick " << atTick;
        EXPECT_EQ (editor->targetWheel.spinActive, atTick < 20) << "tick " << atTick;
    }
    EXPECT_FLOAT_EQ (processor.referenceDb.load(), -31.0f); // the spin is drawn, never stored
}

TEST_F (EditorFixture, LogoOpensTheCataloguePage)
{
    std::vector<juce::String> opened;
    editor->openInBrowser = [&] (const juce::URL& url) { opened.push_back (url.toString (false)); };

    const std::pair<juce::Point<int>, bool> cases[] = {
        { { 186, 23 }, true },  { { 225, 87 }, true },  { { 186, 87 }, true },
        { { 205, 50 }, true },  { { 185, 50 }, false }, { { 226, 50 }, false },
        { { 200, 22 }, false }, { { 200, 88 }, false }, { { 20, 400 }, false },
    };
    for (const auto& [position, opens] : cases)
    {
        opened.clear();
        editor->mouseUp (mouseAt (*editor, position));
        EXPECT_EQ (opened.size(), opens ? 1u : 0u) << position.toString();
        if (opens && ! opened.empty())
            EXPECT_TRUE (opened.front().endsWith ("/all-plugins")) << opened.front();
        EXPECT_EQ (TaviroAudioProcessorEditor::isInLogoArea (position), opens) << position.toString();
    }
}

TEST_F (EditorFixture, TimerCarriesTheProcessorsValuesIntoTheChildren)
{
    processor.outputLevelDb = -12.5f;
    processor.inputLevelDb = -21.0f;
    processor.signalPresent = true;
    editor->timerCallback();
    EXPECT_FLOAT_EQ (editor->zoneMeter.outputLevelDb, -12.5f);
    EXPECT_FLOAT_EQ (editor->targetWheel.inputLevelDb, -21.0f);
    EXPECT_TRUE (editor->glowOverlay->isSignalActive());

    processor.signalPresent = false;
    editor->timerCallback();
    EXPECT_FALSE (editor->glowOverlay->isSignalActive());

    // The light position always lies inside the window, also for a pointer outside it.
    const auto light = editor->glowOverlay->getLightPosition();
    EXPECT_TRUE (light.x >= 0.0f && light.x <= 1.0f && light.y >= 0.0f && light.y <= 1.0f);
}

TEST_F (EditorFixture, ReopeningPlaysTheOpeningAgainAndLeavesTheProcessorAlone)
{
    for (int tick = 0; tick < 30; ++tick)
        editor->timerCallback();
    editor.reset();

    editor.reset (static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));
    EXPECT_TRUE (editor->targetWheel.spinActive);
    EXPECT_TRUE (Probe::pushIntroActive (*editor));
    EXPECT_TRUE (editor->glowOverlay->isFlashActive());
    EXPECT_FLOAT_EQ (*processor.parameters.getRawParameterValue ("push"), 4.0f);
    EXPECT_FLOAT_EQ (processor.referenceDb.load(), -31.0f);
}

TEST_F (EditorFixture, MissingBackgroundFallsBackToTheFillColour)
{
    Probe::backgroundImage (*editor) = juce::Image();
    juce::Image image (juce::Image::ARGB, 413, 438, true);
    juce::Graphics g (image);
    editor->paint (g);
    for (auto point : { juce::Point<int> (0, 0), { 206, 200 }, { 412, 437 } })
        EXPECT_EQ (image.getPixelAt (point.x, point.y), juce::Colour (0xffc8b9aa)) << point.toString();
}

TEST (EditorPictures, AreDecodedOnceAndShared)
{
    TaviroAudioProcessor processor;
    std::unique_ptr<TaviroAudioProcessorEditor> a (
        static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));
    std::unique_ptr<TaviroAudioProcessorEditor> b (
        static_cast<TaviroAudioProcessorEditor*> (processor.createEditor()));
    const auto& first = Probe::backgroundImage (*a);
    ASSERT_TRUE (first.isValid());
    EXPECT_EQ (first.getWidth(), 826);
    EXPECT_EQ (first.getHeight(), 876);
    EXPECT_EQ (first.getPixelData(), Probe::backgroundImage (*b).getPixelData());
    EXPECT_EQ (a->pushWheel.thumbImage.getBounds(), juce::Rectangle<int> (0, 0, 99, 47));
    EXPECT_EQ (a->zoneMeter.handleImage.getBounds(), juce::Rectangle<int> (0, 0, 40, 22));
}

TEST_F (EditorFixture, TooltipTextsReadTheControls)
{
    struct Case
    {
        std::function<void()> setUp;
        juce::Component* component;
        bool dragging;
        const char* text;
    };
    auto& target = editor->targetWheel;
    auto& push = editor->pushWheel;
    auto& meter = editor->zoneMeter;
    auto width = [this] (float w) { setParameter (processor, "bigBracketWidth", w); };

    const juce::String plusMinus (juce::CharPointer_UTF8 ("\xc2\xb1"));
    const Case cases[] = {
        { [&] { target.setValue (-31.0); }, &target, false, "target -31dB" },
        { [&] { target.setValue (-17.9); }, &target, false, "target -17dB" },
        { [&] { target.setValue (-6.0); }, &target, false, "target -6dB" },
        { [&] { processor.inputLevelDb = -30.0f; }, &target, false,
          "indicator light shows original input level\nset target to average input level" },
        { [&] { processor.inputLevelDb = -30.0f; }, &target, true, "target -6dB" },
        { [&] { processor.inputLevelDb = -50.0f; }, &target, false, "target -6dB" },
        { [&] { push.setValue (4.0); }, &push, false, "louder +4dB" },
        { [&] { push.setValue (0.0); }, &push, false, "louder +0dB" },
        { [&] { push.setValue (2.6); }, &push, false, "louder +2dB" },
        { [&] { push.setValue (-0.4); }, &push, false, "louder 0dB" },
        { [&] { push.setValue (-6.0); }, &push, false, "louder -6dB" },
        { [&] { push.setValue (12.0); }, &push, true, "louder +12dB" },
        { [&]
          {
              width (4.0f);
              meter.hoverMode = UpperBracket;
          },
          &meter, false,
          "ride zone \xc2\xb1"
          "2dB" },
        { [&]
          {
              width (3.9f);
              meter.hoverMode = LowerBracket;
          },
          &meter, false,
          "ride zone \xc2\xb1"
          "1dB" },
        { [&]
          {
              width (30.0f);
              meter.dragMode = UpperBracket;
              meter.hoverMode = MeterBody;
          },
          &meter, true,
          "ride zone \xc2\xb1"
          "15dB" },
        { [&]
          {
              meter.dragMode = NoRegion;
              processor.inputLevelDb = -20.0f;
          },
          &meter, false, "bold meter shows processed output level\nfaded meter shows original input level" },
    };

    for (const auto& c : cases)
    {
        c.setUp();
        editor->updateTooltipForComponent (c.component, c.dragging);
        EXPECT_EQ (editor->tooltipLabel.getText(), juce::String (juce::CharPointer_UTF8 (c.text)));
        EXPECT_TRUE (editor->tooltipVisible);
    }

    // A meter body in silence has nothing to say: the last text stays.
    processor.inputLevelDb = -60.0f;
    editor->updateTooltipForComponent (&meter, false);
    EXPECT_TRUE (editor->tooltipLabel.getText().startsWith ("bold meter"));
    editor->updateTooltipForComponent (nullptr, false);
    editor->updateTooltipForComponent (editor.get(), false);
    EXPECT_TRUE (editor->tooltipLabel.getText().startsWith ("bold meter"));
}
