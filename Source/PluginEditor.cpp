#include "PluginEditor.h"

#include "EditorPictures.h"

namespace
{
constexpr float pushIntroDropDb = 2.7f;
constexpr int pushIntroLength = 15;
constexpr int spinInLength = 20;

juce::Font tooltipFont (bool bold)
{
    return juce::Font (juce::Font::getDefaultSansSerifFontName(), 12.0f,
                       bold ? juce::Font::bold : juce::Font::plain);
}

// Whole decibels as the tooltips show them: truncated toward zero, no plus sign.
juce::String wholeDecibels (float value) { return juce::String ((int) value); }
} // namespace

TaviroAudioProcessorEditor::TaviroAudioProcessorEditor (TaviroAudioProcessor& processorToEdit)
    : AudioProcessorEditor (processorToEdit)
    , audioProcessor (processorToEdit)
    , zoneMeter (processorToEdit)
    , targetWheel (true, processorToEdit)
    , pushWheel (false, processorToEdit)
{
    backgroundImage = EditorPictures::background();
    pushThumbImage = EditorPictures::pushThumb();
    const auto handle = EditorPictures::handle();

    pushWheel.thumbImage = pushThumbImage;
    zoneMeter.handleImage = handle;

    setSize (editorWidth, editorHeight);
    setResizable (false, false);

    zoneMeter.editor = this;
    targetWheel.editor = this;
    pushWheel.editor = this;

    addAndMakeVisible (zoneMeter);
    addAndMakeVisible (targetWheel);
    addAndMakeVisible (pushWheel);

    tooltipLabel.setFont (tooltipFont (true));
    tooltipLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    tooltipLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    tooltipLabel.setJustificationType (juce::Justification::centred);
    tooltipLabel.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (tooltipLabel);
    tooltipLabel.setVisible (false);

    pushAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (
        audioProcessor.parameters, "push", pushWheel);

    targetWheel.spinActive = true;
    targetWheel.spinOffsetDb = 3.0f;
    targetWheel.spinTicks = 0;

    glowImage = EditorPictures::glow();

    glowOverlay = std::make_unique<GlowOverlay>();
    glowOverlay->setDeviceImage (glowImage);
    glowOverlay->setInterceptsMouseClicks (false, false);
    addAndMakeVisible (*glowOverlay);
    glowOverlay->setBounds (0, 0, editorWidth, editorHeight);
    glowOverlay->toFront (false);
    glowOverlay->startFlash();

    // The push wheel glides up to its value as the window opens; the parameter stays put.
    pushIntroTarget = (float) pushWheel.getValue();
    pushWheel.setValue (pushIntroTarget - pushIntroDropDb, juce::dontSendNotification);

    startTimer (33);
}

TaviroAudioProcessorEditor::~TaviroAudioProcessorEditor()
{
    stopTimer();
    glowOverlay.reset();
}

bool TaviroAudioProcessorEditor::isInLogoArea (juce::Point<int> position) noexcept
{
    return position.x >= 186 && position.x <= 225 && position.y >= 23 && position.y <= 87;
}

juce::URL TaviroAudioProcessorEditor::catalogueUrl()
{
    return juce::URL (juce::String (TAVIRO_COMPANY_WEBSITE) + "/all-plugins");
}

void TaviroAudioProcessorEditor::mouseMove (const juce::MouseEvent& event)
{
    setMouseCursor (isInLogoArea (event.getPosition()) ? juce::MouseCursor::PointingHandCursor
                                                       : juce::MouseCursor::NormalCursor);
}

void TaviroAudioProcessorEditor::mouseUp (const juce::MouseEvent& event)
{
    if (isInLogoArea (event.getPosition()) && openInBrowser)
        openInBrowser (catalogueUrl());
}

void TaviroAudioProcessorEditor::paint (juce::Graphics& g)
{
    if (! backgroundImage.isValid())
    {
        g.fillAll (juce::Colour (fallbackColour));
        return;
    }

    auto drawBackground = [this] (juce::Graphics& target)
    {
        target.drawImage (backgroundImage, 0, 0, getWidth(), getHeight(), 0, 0, backgroundImage.getWidth(),
                          backgroundImage.getHeight());
    };

    // On a display of one pixel per point the picture is halved on every frame, and the
    // overlay repaints the whole window 30 times a second: keep the halved picture. It is
    // drawn exactly as the picture would be, then copied pixel for pixel.
    if (g.getInternalContext().getPhysicalPixelScaleFactor() != 1.0f)
    {
        drawBackground (g);
        return;
    }
    if (backgroundAtWindowScale.getWidth() != getWidth()
        || backgroundAtWindowScale.getHeight() != getHeight())
    {
        backgroundAtWindowScale = juce::Image (juce::Image::ARGB, getWidth(), getHeight(), true);
        juce::Graphics cache (backgroundAtWindowScale);
        drawBackground (cache);
    }
    g.drawImageAt (backgroundAtWindowScale, 0, 0);
}

void TaviroAudioProcessorEditor::resized()
{
    targetWheel.setVisible (true);
    pushWheel.setVisible (true);
    zoneMeter.setVisible (true);
    tooltipLabel.setVisible (true);

    targetWheel.setBounds (96, 141, 52, 185);
    zoneMeter.setBounds (153, 141, 111, 185);
    pushWheel.setBounds (271, 141, 47, 185);
    tooltipLabel.setBounds ((getWidth() - 300) / 2, 341, 300, 36);

    if (glowOverlay != nullptr)
    {
        glowOverlay->setBounds (0, 0, getWidth(), getHeight());
        glowOverlay->setVisible (true);
        glowOverlay->toFront (false);
    }
}

void TaviroAudioProcessorEditor::timerCallback()
{
    zoneMeter.outputLevelDb = audioProcessor.outputLevelDb.load();
    zoneMeter.repaint();

    targetWheel.inputLevelDb = audioProcessor.inputLevelDb.load();

    if (targetWheel.spinActive)
    {
        ++targetWheel.spinTicks;
        const auto x = (float) targetWheel.spinTicks / (float) spinInLength;
        if (x >= 1.0f)
        {
            targetWheel.spinActive = false;
            targetWheel.spinOffsetDb = 0.0f;
        }
        else
        {
            targetWheel.spinOffsetDb = 3.0f * (1.0f - x) * (1.0f - x) * (1.0f - x);
        }
    }
    targetWheel.repaint();

    if (hoveredComponent != nullptr && ! tooltipVisible)
        updateTooltipForComponent (hoveredComponent, false);
    if (tooltipVisible)
    {
        if (hoveredComponent == nullptr)
        {
            tooltipLabel.setVisible (false);
            tooltipVisible = false;
        }
        else
        {
            updateTooltipForComponent (hoveredComponent,
                                       juce::ModifierKeys::currentModifiers.isLeftButtonDown());
        }
    }

    if (pushIntroActive)
    {
        const auto n = ++pushIntroTicks;
        const auto d = 1.0f - (float) n / (float) pushIntroLength;
        pushWheel.setValue ((pushIntroTarget - pushIntroDropDb) + pushIntroDropDb * (1.0f - d * d),
                            juce::dontSendNotification);
        if (n >= pushIntroLength)
        {
            pushIntroActive = false;
            pushWheel.setValue (pushIntroTarget, juce::dontSendNotification);
        }
    }

    if (glowOverlay != nullptr)
    {
        glowOverlay->setSignalActive (audioProcessor.signalPresent.load());
        const auto mouse = getMouseXYRelative();
        glowOverlay->setLightPosition (juce::jlimit (0.0f, 1.0f, (float) mouse.x / (float) getWidth()),
                                       juce::jlimit (0.0f, 1.0f, (float) mouse.y / (float) getHeight()));
    }
}

void TaviroAudioProcessorEditor::updateTooltipForComponent (juce::Component* component, bool isDragging)
{
    if (component == nullptr)
        return;

    const auto inputDb = audioProcessor.inputLevelDb.load();
    juce::String text;
    bool bold = true;

    if (component == &targetWheel)
    {
        const auto value = (float) targetWheel.getValue();
        if (isDragging || ! (inputDb > -50.0f))
            text = "target " + wholeDecibels (value) + "dB";
        else
        {
            text = "indicator light shows original input level\nset target to average input level";
            bold = false;
        }
    }
    else if (component == &pushWheel)
    {
        const auto value = (float) pushWheel.getValue();
        text = "louder " + juce::String (value >= 0.0f ? "+" : "") + wholeDecibels (value) + "dB";
    }
    else if (component == &zoneMeter)
    {
        const auto region = zoneMeter.dragMode != NoRegion ? zoneMeter.dragMode : zoneMeter.hoverMode;
        if (region == UpperBracket || region == LowerBracket)
        {
            const auto width = audioProcessor.parameters.getRawParameterValue ("bigBracketWidth")->load();
            text = "ride zone " + juce::String (juce::CharPointer_UTF8 ("\xc2\xb1"))
                   + wholeDecibels (width * 0.5f) + "dB";
        }
        else if (region == MeterBody && inputDb > -50.0f)
        {
            text = "bold meter shows processed output level\nfaded meter shows original input level";
            bold = false;
        }
        else
            return;
    }
    else
        return;

    const auto font = tooltipFont (bold);
    if (tooltipLabel.getFont() != font)
        tooltipLabel.setFont (font);
    tooltipLabel.setText (text, juce::dontSendNotification);
    tooltipLabel.setVisible (true);
    tooltipVisible = true;
}
