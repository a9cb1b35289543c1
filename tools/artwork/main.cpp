// Draws the editor's four pictures and writes them as PNG:
//   taviro-artwork OUTPUT_FOLDER
// background.png 826 x 876  the device on its backdrop, at twice the window's resolution
// glow.png       325 x 386  the device's lighting layer; its silhouette shapes the glow
// pushthumb.png   99 x 47   the push wheel's thumb
// handle.png      40 x 22   the zone bracket's handle
// The window is 413 x 438; everything here is laid out in window points.
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <iostream>

namespace
{
using juce::Colour;
using juce::Rectangle;

// The device's outline in window points, and where the editor puts its children.
const Rectangle<float> device { 44.0f, 26.0f, 325.0f, 386.0f };
constexpr float deviceCorner = 46.0f;
const Rectangle<float> targetSlot { 96.0f, 141.0f, 52.0f, 185.0f };
const Rectangle<float> meterSlot { 153.0f, 141.0f, 111.0f, 185.0f };
const Rectangle<float> pushSlot { 271.0f, 141.0f, 47.0f, 185.0f };
const Rectangle<float> tooltipPlate { 56.0f, 341.0f, 300.0f, 36.0f };
const juce::Point<float> logoCentre { 205.5f, 45.0f };

const Colour backdropTop { 0xffd9c9b5 }, backdropBottom { 0xffc9b7a1 };
const Colour deviceTop { 0xfff2e9dc }, deviceBottom { 0xffe3d5c2 };
const Colour ink { 0xff8a7763 };

void embossedText (juce::Graphics& g, const juce::String& text, Rectangle<float> area, const juce::Font& font,
                   Colour face)
{
    g.setFont (font);
    g.setColour (Colour (0xb0ffffff));
    g.drawText (text, area.translated (0.0f, 0.8f), juce::Justification::centred, false);
    g.setColour (Colour (0x50000000));
    g.drawText (text, area.translated (0.0f, -0.5f), juce::Justification::centred, false);
    g.setColour (face);
    g.drawText (text, area, juce::Justification::centred, false);
}

void embossedPath (juce::Graphics& g, const juce::Path& path, Colour face)
{
    g.setColour (Colour (0xb0ffffff));
    g.fillPath (path, juce::AffineTransform::translation (0.0f, 0.8f));
    g.setColour (Colour (0x55000000));
    g.fillPath (path, juce::AffineTransform::translation (0.0f, -0.5f));
    g.setColour (face);
    g.fillPath (path);
}

// The maker's mark: a ring around a voice wave that rises into the zone and settles.
juce::Path logoMark()
{
    juce::Path mark;
    const auto r = 15.0f;
    mark.addEllipse (logoCentre.x - r, logoCentre.y - r, 2 * r, 2 * r);
    mark.addEllipse (logoCentre.x - r + 2.2f, logoCentre.y - r + 2.2f, 2 * r - 4.4f, 2 * r - 4.4f);
    mark.setUsingNonZeroWinding (false);

    juce::Path wave;
    for (int i = 0; i <= 40; ++i)
    {
        const auto t = (float) i / 40.0f;
        const auto x = logoCentre.x - 10.0f + 20.0f * t;
        const auto envelope = std::sin (juce::MathConstants<float>::pi * t) * (1.0f - 0.55f * t);
        const auto y =
            logoCentre.y - 7.0f * envelope * std::sin (juce::MathConstants<float>::twoPi * 2.5f * t);
        if (i == 0)
            wave.startNewSubPath (x, y);
        else
            wave.lineTo (x, y);
    }
    juce::Path stroked;
    juce::PathStrokeType (1.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath (stroked, wave);
    mark.addPath (stroked);
    return mark;
}

void recessedSlot (juce::Graphics& g, Rectangle<float> slot, float corner, Colour fill)
{
    // A lip of light below and shade above makes the slot sit under the face.
    g.setColour (Colour (0x90ffffff));
    g.fillRoundedRectangle (slot.expanded (1.5f).translated (0.0f, 1.0f), corner + 1.5f);
    g.setColour (Colour (0x40000000));
    g.fillRoundedRectangle (slot.expanded (1.5f).translated (0.0f, -0.5f), corner + 1.5f);
    g.setColour (fill);
    g.fillRoundedRectangle (slot, corner);

    juce::Graphics::ScopedSaveState state (g);
    juce::Path clip;
    clip.addRoundedRectangle (slot, corner);
    g.reduceClipRegion (clip);
    g.setGradientFill (juce::ColourGradient (Colour (0x45000000), 0.0f, slot.getY(), Colour (0x00000000),
                                             0.0f, slot.getY() + 14.0f, false));
    g.fillRect (slot);
    g.setGradientFill (juce::ColourGradient (Colour (0x00000000), 0.0f, slot.getBottom() - 10.0f,
                                             Colour (0x18000000), 0.0f, slot.getBottom(), false));
    g.fillRect (slot);
}

void screw (juce::Graphics& g, juce::Point<float> centre)
{
    const auto r = 4.0f;
    g.setGradientFill (juce::ColourGradient (Colour (0xfff7efe3), centre.x - r, centre.y - r,
                                             Colour (0xffb3a28c), centre.x + r, centre.y + r, false));
    g.fillEllipse (centre.x - r, centre.y - r, 2 * r, 2 * r);
    g.setColour (Colour (0x70000000));
    g.drawEllipse (centre.x - r, centre.y - r, 2 * r, 2 * r, 0.6f);
    g.drawLine (centre.x - 2.4f, centre.y + 1.2f, centre.x + 2.4f, centre.y - 1.2f, 0.9f);
}

juce::Image drawBackground()
{
    juce::Image image (juce::Image::ARGB, 826, 876, true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (2.0f));

    g.setGradientFill (juce::ColourGradient (backdropTop, 0.0f, 0.0f, backdropBottom, 0.0f, 438.0f, false));
    g.fillAll();

    juce::Path outline;
    outline.addRoundedRectangle (device, deviceCorner);
    juce::DropShadow (Colour (0x55302418), 22, { 0, 9 }).drawForPath (g, outline);
    g.setGradientFill (
        juce::ColourGradient (deviceTop, 0.0f, device.getY(), deviceBottom, 0.0f, device.getBottom(), false));
    g.fillPath (outline);
    g.setColour (Colour (0x80ffffff));
    g.strokePath (outline, juce::PathStrokeType (1.2f), juce::AffineTransform::translation (0.0f, 0.6f));
    g.setColour (Colour (0x40705a44));
    g.strokePath (outline, juce::PathStrokeType (0.8f));

    embossedPath (g, logoMark(), ink);
    embossedText (g, "HALDEN AUDIO", { 150.0f, 64.0f, 111.0f, 12.0f },
                  juce::Font (8.0f, juce::Font::bold).withExtraKerningFactor (0.25f), ink);
    embossedText (g, "TAVIRO", { 120.0f, 88.0f, 173.0f, 36.0f },
                  juce::Font (30.0f, juce::Font::bold).withExtraKerningFactor (0.18f), Colour (0xff6e5d4b));

    recessedSlot (g, targetSlot, 9.0f, Colour (0xfff6eee2));
    recessedSlot (g, meterSlot, 24.0f, Colour (0xff3b322b));
    recessedSlot (g, pushSlot, 9.0f, Colour (0xffe9dccb));

    // The push wheel's groove, and a faint centre line in the target wheel.
    g.setColour (Colour (0x30000000));
    g.fillRoundedRectangle (pushSlot.getCentreX() - 1.5f, pushSlot.getY() + 12.0f, 3.0f,
                            pushSlot.getHeight() - 24.0f, 1.5f);
    g.setColour (Colour (0x60b4533a));
    g.fillRect (targetSlot.getX() + 6.0f, targetSlot.getCentreY() - 0.5f, targetSlot.getWidth() - 12.0f,
                1.0f);

    recessedSlot (g, tooltipPlate, 8.0f, Colour (0xff8d7b68));

    for (auto corner :
         { juce::Point<float> (70.0f, 52.0f), { 343.0f, 52.0f }, { 70.0f, 386.0f }, { 343.0f, 386.0f } })
        screw (g, corner);
    return image;
}

juce::Image drawGlowLayer()
{
    juce::Image image (juce::Image::ARGB, 325, 386, true);
    juce::Graphics g (image);
    const auto local = device.withPosition (0.0f, 0.0f);
    juce::Path outline;
    outline.addRoundedRectangle (local, deviceCorner);

    g.reduceClipRegion (outline);
    // A faint warm base everywhere on the device, so its whole silhouette counts.
    g.setColour (Colour (0x14fff6ea));
    g.fillAll();
    // Sheen from the top, shade towards the bottom.
    g.setGradientFill (
        juce::ColourGradient (Colour (0x96ffffff), 0.0f, 0.0f, Colour (0x00ffffff), 0.0f, 150.0f, false));
    g.fillRect (local.withHeight (150.0f));
    g.setGradientFill (
        juce::ColourGradient (Colour (0x00302010), 0.0f, 250.0f, Colour (0x40302010), 0.0f, 386.0f, false));
    g.fillRect (local.withTrimmedTop (250.0f));
    g.setGradientFill (
        juce::ColourGradient (Colour (0x50ffffff), 0.0f, 0.0f, Colour (0x00ffffff), 30.0f, 0.0f, false));
    g.fillRect (local.withWidth (30.0f));

    // The target wheel's slot is lit evenly.
    g.setColour (Colour (0xfff3eadc));
    g.fillRoundedRectangle (targetSlot.translated (-device.getX(), -device.getY()), 9.0f);
    return image;
}

juce::Image drawPushThumb()
{
    juce::Image image (juce::Image::ARGB, 99, 47, true);
    juce::Graphics g (image);
    const Rectangle<float> pill { 2.0f, 1.0f, 84.0f, 35.0f };
    juce::Path shape;
    shape.addRoundedRectangle (pill, 17.5f);
    juce::DropShadow (Colour (0x66000000), 5, { 1, 2 }).drawForPath (g, shape);
    g.setGradientFill (juce::ColourGradient (Colour (0xeb8a6343), 0.0f, pill.getY(), Colour (0xeb5e3f28),
                                             0.0f, pill.getBottom(), false));
    g.fillPath (shape);
    g.setColour (Colour (0x40ffffff));
    g.strokePath (shape, juce::PathStrokeType (1.2f),
                  juce::AffineTransform::translation (0.0f, 0.8f).scaled (1.0f));
    for (float dx : { -8.0f, 0.0f, 8.0f })
    {
        g.setColour (Colour (0x55000000));
        g.fillRoundedRectangle (pill.getCentreX() + dx - 1.0f, pill.getY() + 9.0f, 2.0f, 17.0f, 1.0f);
        g.setColour (Colour (0x35ffffff));
        g.fillRoundedRectangle (pill.getCentreX() + dx, pill.getY() + 9.5f, 1.5f, 17.0f, 0.75f);
    }
    return image;
}

juce::Image drawHandle()
{
    juce::Image image (juce::Image::ARGB, 40, 22, true);
    juce::Graphics g (image);
    g.setColour (Colour (0xfff5ecdc));
    g.fillRoundedRectangle (0.0f, 0.0f, 25.0f, 11.0f, 3.0f);
    g.setColour (Colour (0xffd8c8b2));
    g.fillRect (6.0f, 5.0f, 13.0f, 1.0f);
    return image;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat png;
    return stream.openedOk() && png.writeImageToStream (image, stream);
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    if (argc != 2)
    {
        std::cerr << "usage: taviro-artwork OUTPUT_FOLDER" << std::endl;
        return 2;
    }
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    if (! folder.isDirectory())
    {
        std::cerr << "taviro-artwork: " << folder.getFullPathName() << " is not a folder" << std::endl;
        return 1;
    }

    const std::pair<const char*, juce::Image> pictures[] = {
        { "background.png", drawBackground() },
        { "glow.png", drawGlowLayer() },
        { "pushthumb.png", drawPushThumb() },
        { "handle.png", drawHandle() },
    };
    for (const auto& [name, image] : pictures)
        if (! writePng (image, folder.getChildFile (name)))
        {
            std::cerr << "taviro-artwork: cannot write " << folder.getChildFile (name).getFullPathName()
                      << std::endl;
            return 1;
        }
    return 0;
}
