#include "GlowOverlay.h"

#include <cmath>
#include <vector>

GlowOverlay::GlowOverlay()
{
    setInterceptsMouseClicks (false, false);
    setOpaque (false);
    startTimerHz (frameRateHz);
}

GlowOverlay::~GlowOverlay() { stopTimer(); }

void GlowOverlay::setDeviceImage (const juce::Image& image)
{
    deviceImage = image;
    maskValid = false;
    needsRepaint = true;
}

void GlowOverlay::startFlash()
{
    flashActive = true;
    flashPhase = 0.0f;
}

void GlowOverlay::setSignalActive (bool active) { signalActive = active; }

void GlowOverlay::setLightPosition (float x, float y)
{
    // Pointer jitter of a pixel or so would repaint for nothing.
    if (std::abs (x - lightX) > 0.01f || std::abs (y - lightY) > 0.01f)
    {
        lightX = x;
        lightY = y;
        needsRepaint = true;
    }
}

void GlowOverlay::resized()
{
    if (getWidth() > 0 && getHeight() > 0)
    {
        glowBuffer = juce::Image (juce::Image::ARGB, getWidth(), getHeight(), true);
        needsRepaint = true;
    }
}

void GlowOverlay::timerCallback()
{
    constexpr auto twoPi = juce::MathConstants<float>::twoPi;
    const auto previousHalo = haloIntensity, previousCore = coreIntensity;

    auto breathingTarget = [this]
    {
        if (! signalActive)
            return 0.0f;
        breathPhase += breathSpeed;
        if (breathPhase >= twoPi)
            breathPhase -= twoPi;
        return minIntensity + (maxIntensity - minIntensity) * (std::sin (breathPhase) + 1.0f) / 2.0f;
    };

    float target;
    if (flashActive)
    {
        flashPhase += flashSpeed;
        if (flashPhase >= juce::MathConstants<float>::pi)
        {
            flashActive = false;
            flashPhase = 0.0f;
            target = breathingTarget();
        }
        else
        {
            target = std::sin (flashPhase) * maxIntensity;
            if (signalActive)
                breathingTarget(); // the breath keeps its pace under the swell
        }
    }
    else
    {
        target = breathingTarget();
    }

    haloIntensity += (haloIntensity > target ? fallCoefficient : riseCoefficient) * (target - haloIntensity);
    coreIntensity += riseCoefficient * (coreLevel - coreIntensity);

    if (std::abs (haloIntensity - previousHalo) > 0.001f || std::abs (coreIntensity - previousCore) > 0.001f
        || haloIntensity + coreIntensity > 0.001f || needsRepaint)
        repaint();
}

void GlowOverlay::paint (juce::Graphics& g)
{
    if ((haloIntensity < 0.001f && coreIntensity < 0.001f) || ! glowBuffer.isValid())
        return;

    if (deviceImage.isValid()
        && (! maskValid || ! deviceMask.isValid() || deviceMask.getBounds() != glowBuffer.getBounds()))
    {
        deviceMask =
            buildDeviceMask (deviceImage, glowBuffer.getWidth(), glowBuffer.getHeight(), featherRadius);
        lightRegion = regionOutsideMask (deviceMask);
        maskValid = true;
    }

    glowBuffer.clear (glowBuffer.getBounds());
    {
        juce::Graphics buffer (glowBuffer);
        // Where the mask is 0 the light would be wiped out again: do not draw it there.
        if (deviceImage.isValid())
            buffer.reduceClipRegion (lightRegion);
        const auto w = (float) glowBuffer.getWidth(), h = (float) glowBuffer.getHeight();
        const auto m = juce::jmax (w, h);

        if (const auto a = haloIntensity; a > 0.001f)
        {
            juce::ColourGradient halo (juce::Colours::white.withAlpha (a), w / 2.0f, h / 2.0f,
                                       outerColour.withAlpha (0.0f), w / 2.0f + 0.95f * m, h / 2.0f, true);
            halo.addColour (0.1, juce::Colours::white.withAlpha (0.85f * a));
            halo.addColour (0.25, warmColour.withAlpha (0.6f * a));
            halo.addColour (0.4, warmColour.withAlpha (0.35f * a));
            halo.addColour (0.55, outerColour.withAlpha (0.2f * a));
            halo.addColour (0.7, outerColour.withAlpha (0.1f * a));
            halo.addColour (1.0, outerColour.withAlpha (0.05f * a));
            buffer.setGradientFill (halo);
            buffer.fillAll();
        }

        if (const auto b = coreIntensity; b > 0.001f)
        {
            const auto cx = lightX * w, cy = lightY * h;
            juce::ColourGradient core (juce::Colours::white.withAlpha (b), cx, cy,
                                       outerColour.withAlpha (0.0f), cx + coreRadius * m, cy, true);
            core.addColour (0.15, juce::Colours::white.withAlpha (0.75f * b));
            core.addColour (0.3, warmColour.withAlpha (0.45f * b));
            core.addColour (0.5, outerColour.withAlpha (0.15f * b));
            core.addColour (0.7, outerColour.withAlpha (0.03f * b));
            buffer.setGradientFill (core);
            buffer.fillAll();
        }
    }

    if (deviceImage.isValid())
        applyMask (glowBuffer, deviceMask);

    g.setOpacity (1.0f);
    g.drawImageAt (glowBuffer, 0, 0);
}

juce::Image GlowOverlay::buildDeviceMask (const juce::Image& device, int width, int height, int featherRadius)
{
    juce::Image mask (juce::Image::SingleChannel, width, height, false);
    mask.clear (mask.getBounds(), juce::Colours::white); // full alpha everywhere

    const auto dw = device.getWidth(), dh = device.getHeight();
    const auto ox = (width - dw) / 2, oy = (height - dh) / 2;
    const auto radius = featherRadius;

    // Which device pixels count as opaque, with a border of `radius` so the search below
    // needs no bounds checks.
    const auto stride = dw + 2 * radius;
    std::vector<unsigned char> opaque ((size_t) (stride * (dh + 2 * radius)), 0);
    {
        const juce::Image::BitmapData pixels (device, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x)
                opaque[(size_t) ((y + radius) * stride + x + radius)] =
                    pixels.getPixelColour (x, y).getAlpha() > 0;
    }

    // The offsets within the radius, nearest first: the first opaque pixel found is the
    // nearest, which gives the same distance as searching the whole square.
    struct Offset
    {
        int index;
        float distance;
    };
    std::vector<Offset> offsets;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
        {
            const auto distance = std::sqrt ((float) (dx * dx + dy * dy));
            if (distance <= (float) radius)
                offsets.push_back ({ dy * stride + dx, distance });
        }
    std::stable_sort (offsets.begin(), offsets.end(),
                      [] (const Offset& a, const Offset& b) { return a.distance < b.distance; });

    const juce::Image::BitmapData out (mask, juce::Image::BitmapData::readWrite);
    for (int y = -radius; y < dh + radius; ++y)
    {
        const auto my = y + oy;
        if (my < 0 || my >= height)
            continue;
        for (int x = -radius; x < dw + radius; ++x)
        {
            const auto mx = x + ox;
            if (mx < 0 || mx >= width)
                continue;

            auto* alpha = out.getPixelPointer (mx, my);
            const auto centre = (y + radius) * stride + x + radius;
            if (opaque[(size_t) centre])
            {
                *alpha = 0; // the device itself: no light at all
                continue;
            }
            for (const auto& offset : offsets)
                if (opaque[(size_t) (centre + offset.index)])
                {
                    *alpha = (juce::uint8) (offset.distance / (float) radius * 255.0f);
                    break;
                }
        }
    }
    return mask;
}

juce::RectangleList<int> GlowOverlay::regionOutsideMask (const juce::Image& mask)
{
    // Runs of alpha above 0, row by row; rows with the same runs as the row above extend
    // that row's rectangles downwards, so straight edges give a handful of rectangles.
    juce::RectangleList<int> region;
    std::vector<juce::Rectangle<int>> open, runs;
    const juce::Image::BitmapData alphas (mask, juce::Image::BitmapData::readOnly);

    auto close = [&] (std::vector<juce::Rectangle<int>>& rectangles)
    {
        for (const auto& r : rectangles)
            region.addWithoutMerging (r);
        rectangles.clear();
    };

    for (int y = 0; y < alphas.height; ++y)
    {
        runs.clear();
        const auto* row = alphas.getLinePointer (y);
        for (int x = 0; x < alphas.width;)
        {
            if (row[x * alphas.pixelStride] == 0)
            {
                ++x;
                continue;
            }
            const auto start = x;
            while (x < alphas.width && row[x * alphas.pixelStride] != 0)
                ++x;
            runs.emplace_back (start, y, x - start, 1);
        }

        const auto sameRuns = runs.size() == open.size()
                              && std::equal (runs.begin(), runs.end(), open.begin(),
                                             [] (const auto& a, const auto& b) {
                                                 return a.getX() == b.getX() && a.getWidth() == b.getWidth();
                                             });
        if (sameRuns)
            for (auto& r : open)
                r.setHeight (r.getHeight() + 1);
        else
        {
            close (open);
            open = runs;
        }
    }
    close (open);
    return region;
}

void GlowOverlay::applyMask (juce::Image& buffer, const juce::Image& mask)
{
    const juce::Image::BitmapData pixels (buffer, juce::Image::BitmapData::readWrite);
    const juce::Image::BitmapData alphas (mask, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < pixels.height; ++y)
    {
        auto* pixel = reinterpret_cast<juce::PixelARGB*> (pixels.getLinePointer (y));
        const auto* k = alphas.getLinePointer (y);
        for (int x = 0; x < pixels.width; ++x, pixel = juce::addBytesToPointer (pixel, pixels.pixelStride))
        {
            const juce::uint32 maskAlpha = k[x * alphas.pixelStride];
            if (maskAlpha == 255)
                continue;
            if (maskAlpha == 0)
            {
                pixel->setARGB (0, 0, 0, 0);
                continue;
            }
            // The colour keeps its unpremultiplied value; only its alpha is scaled.
            auto colour = pixel->getUnpremultiplied();
            colour.setAlpha ((juce::uint8) ((maskAlpha * colour.getAlpha() * 0x10102u) >> 24));
            colour.premultiply();
            *pixel = colour;
        }
    }
}
