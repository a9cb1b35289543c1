#include "GlowOverlay.h"
#include "EditorPictures.h"

#include <gtest/gtest.h>

namespace
{
// Steps the overlay's clock and returns the halo after each tick (index 0 is tick 1).
std::vector<float> haloOverTicks (GlowOverlay& overlay, int ticks)
{
    std::vector<float> halo;
    for (int t = 0; t < ticks; ++t)
    {
        overlay.timerCallback();
        halo.push_back (overlay.getHaloIntensity());
    }
    return halo;
}

// A device picture: an opaque 20 x 20 square in the middle of a transparent 40 x 40 canvas.
juce::Image squareDevice()
{
    juce::Image device (juce::Image::ARGB, 40, 40, true);
    juce::Graphics g (device);
    g.setColour (juce::Colour (0x40ffffff)); // faint, but any alpha above 0 counts
    g.fillRect (10, 10, 20, 20);
    return device;
}

juce::Image render (GlowOverlay& overlay)
{
    juce::Image image (juce::Image::ARGB, overlay.getWidth(), overlay.getHeight(), true);
    juce::Graphics g (image);
    overlay.paint (g);
    return image;
}
} // namespace

TEST (GlowOverlay, OpeningSwellWithoutSignal)
{
    GlowOverlay overlay;
    overlay.startFlash();
    const auto halo = haloOverTicks (overlay, 120);

    const auto peak = std::max_element (halo.begin(), halo.end());
    EXPECT_NEAR (*peak, 0.61f, 0.01f);
    EXPECT_NEAR ((int) (peak - halo.begin()) + 1, 39, 2);
    EXPECT_GE (halo[61], 0.001f); // tick 62
    EXPECT_LT (halo[62], 0.001f); // tick 63
    EXPECT_FALSE (overlay.isFlashActive());
    EXPECT_NEAR (overlay.getCoreIntensity(), 0.35f, 0.001f);
}

TEST (GlowOverlay, BreathesWhileASignalIsPresentAndFallsWhenItStops)
{
    GlowOverlay overlay;
    overlay.setSignalActive (true);
    haloOverTicks (overlay, 200); // settle into the breath
    const auto breath = haloOverTicks (overlay, 90);
    EXPECT_NEAR (*std::min_element (breath.begin(), breath.end()), 0.02f, 0.015f);
    EXPECT_NEAR (*std::max_element (breath.begin(), breath.end()), 0.50f, 0.02f);

    // Stop at the top of a breath: the halo is nearly gone within ten ticks.
    while (overlay.getHaloIntensity() < 0.45f)
        overlay.timerCallback();
    overlay.setSignalActive (false);
    const auto fall = haloOverTicks (overlay, 10);
    EXPECT_LT (fall.back(), 0.01f);
}

TEST (GlowOverlay, IgnoresPointerMovesOfOnePercentOrLess)
{
    GlowOverlay overlay;
    const struct
    {
        float x, y;
        juce::Point<float> expected;
    } moves[] = {
        { 0.505f, 0.5f, { 0.5f, 0.5f } },    { 0.5f, 0.509f, { 0.5f, 0.5f } },
        { 0.52f, 0.5f, { 0.52f, 0.5f } },    { 0.52f, 0.0f, { 0.52f, 0.0f } },
        { 0.525f, 0.005f, { 0.52f, 0.0f } },
    };
    for (const auto& m : moves)
    {
        overlay.setLightPosition (m.x, m.y);
        EXPECT_EQ (overlay.getLightPosition(), m.expected) << m.x << ", " << m.y;
    }
}

TEST (GlowOverlay, MaskIsZeroOnTheDeviceAndFeathersOverEightPixels)
{
    const auto mask = GlowOverlay::buildDeviceMask (squareDevice(), 60, 60, 8);
    ASSERT_EQ (mask.getFormat(), juce::Image::SingleChannel);
    // The device is centred: its square covers 20 … 39 in the 60 x 60 mask.
    const struct
    {
        int x, y, alpha;
    } cases[] = {
        { 20, 20, 0 },  { 30, 30, 0 },   { 39, 39, 0 },   // on the device
        { 19, 30, 31 }, { 16, 30, 127 }, { 12, 30, 255 }, // 1, 4 and 8 px to the left
        { 40, 30, 31 }, { 30, 43, 127 }, { 30, 47, 255 }, // right and below
        { 19, 19, 45 },                                   // diagonal: sqrt (2) px
        { 0, 0, 255 },  { 59, 59, 255 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (mask.getPixelAt (c.x, c.y).getAlpha(), c.alpha) << c.x << ", " << c.y;
}

TEST (GlowOverlay, MaskOfTheRealDeviceCoversItsWholeSilhouette)
{
    const auto device = EditorPictures::glow();
    ASSERT_EQ (device.getBounds(), juce::Rectangle<int> (0, 0, 325, 386));
    const auto mask = GlowOverlay::buildDeviceMask (device, 413, 438, 8);
    int onDevice = 0;
    for (int y = 0; y < 386; ++y)
        for (int x = 0; x < 325; ++x)
            if (device.getPixelAt (x, y).getAlpha() > 0)
            {
                ++onDevice;
                ASSERT_EQ (mask.getPixelAt (x + 44, y + 26).getAlpha(), 0) << x << ", " << y;
            }
    EXPECT_GT (onDevice, 100000);                       // the whole rounded body, not an outline
    EXPECT_EQ (device.getPixelAt (0, 0).getAlpha(), 0); // outside the rounded corner
    EXPECT_EQ (mask.getPixelAt (5, 5).getAlpha(), 255);
}

TEST (GlowOverlay, MaskMultipliesTheAlphaOnly)
{
    juce::Image buffer (juce::Image::ARGB, 4, 1, true);
    const auto colour = juce::Colour::fromRGBA (200, 150, 100, 200);
    for (int x = 0; x < 4; ++x)
        buffer.setPixelAt (x, 0, colour);
    juce::Image mask (juce::Image::SingleChannel, 4, 1, true);
    const juce::uint8 alphas[] = { 255, 0, 128, 31 };
    for (int x = 0; x < 4; ++x)
        mask.setPixelAt (x, 0, juce::Colour::fromRGBA (0, 0, 0, alphas[x]));

    GlowOverlay::applyMask (buffer, mask);
    EXPECT_EQ (buffer.getPixelAt (0, 0).getAlpha(), 200);
    EXPECT_EQ (buffer.getPixelAt (1, 0).getARGB(), 0u);
    EXPECT_EQ (buffer.getPixelAt (2, 0).getAlpha(), (128u * 200u * 0x10102u) >> 24);
    EXPECT_EQ (buffer.getPixelAt (3, 0).getAlpha(), (31u * 200u * 0x10102u) >> 24);
    EXPECT_NEAR (buffer.getPixelAt (2, 0).getRed(), 200, 6); // the colour stays, up to 8-bit rounding
}

TEST (GlowOverlay, LightNeverLandsOnTheDevice)
{
    GlowOverlay overlay;
    overlay.setBounds (0, 0, 60, 60);
    overlay.setSignalActive (true);
    haloOverTicks (overlay, 60);

    const auto unmasked = render (overlay);
    EXPECT_GT (unmasked.getPixelAt (30, 30).getAlpha(), 0); // without a device the glow is everywhere

    overlay.setDeviceImage (squareDevice());
    const auto masked = render (overlay);
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            ASSERT_EQ (masked.getPixelAt (x, y).getAlpha(), 0) << x << ", " << y;
    EXPECT_GT (masked.getPixelAt (2, 2).getAlpha(), 0);
}

TEST (GlowOverlay, ZeroSizeDrawsNothing)
{
    GlowOverlay overlay;
    overlay.setSignalActive (true);
    haloOverTicks (overlay, 30);
    overlay.setBounds (0, 0, 0, 0);
    juce::Image image (juce::Image::ARGB, 10, 10, true);
    juce::Graphics g (image);
    overlay.paint (g);
    EXPECT_EQ (image.getPixelAt (5, 5).getARGB(), 0u);
}
