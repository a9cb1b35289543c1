#include "RidePlot.h"

#include <cmath>

namespace
{
const juce::Colour background { 0xfffbf8f3 };
const juce::Colour gridColour { 0xffe2dbd0 };
const juce::Colour textColour { 0xff4a4138 };
const juce::Colour zoneColour { 0x4046a86b };
const juce::Colour targetColour { 0xff2f8a55 };
const juce::Colour inputColour { 0xffa39a90 };
const juce::Colour outputColour { 0xff1f5fbf };
const juce::Colour gainColour { 0xffd9731a };

constexpr float levelTopDb = 0.0f, levelBottomDb = -70.0f;
constexpr float gainRangeDb = 24.0f;

juce::String clockText (double seconds)
{
    const auto whole = (int) std::lround (seconds);
    return juce::String (whole / 60) + ":" + juce::String (whole % 60).paddedLeft ('0', 2);
}

// A tick spacing that gives about eight labels over the duration.
double tickStep (double duration)
{
    const double steps[] = { 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600 };
    for (auto step : steps)
        if (duration / step <= 10.0)
            return step;
    return 7200.0;
}

juce::Path curve (const std::vector<RideTracePoint>& trace, float RideTracePoint::*member,
                  const std::function<float (double)>& x, const std::function<float (float)>& y)
{
    juce::Path path;
    bool started = false;
    for (const auto& point : trace)
    {
        const auto px = x (point.seconds), py = y (point.*member);
        if (! started)
            path.startNewSubPath (px, py);
        else
            path.lineTo (px, py);
        started = true;
    }
    return path;
}
} // namespace

juce::Image drawRidePlot (const RenderReport& report)
{
    juce::Image image (juce::Image::RGB, ridePlotWidth, ridePlotHeight, true);
    juce::Graphics g (image);
    g.fillAll (background);

    const auto duration = juce::jmax (0.05, (double) report.frames / juce::jmax (1.0, report.sampleRate));
    const juce::Rectangle<float> levels (90.0f, 60.0f, 1450.0f, 330.0f);
    const juce::Rectangle<float> gains (90.0f, 420.0f, 1450.0f, 120.0f);

    auto x = [&] (double seconds)
    { return levels.getX() + (float) (seconds / duration) * levels.getWidth(); };
    auto levelY = [&] (float db)
    {
        const auto clamped = juce::jlimit (levelBottomDb, levelTopDb, db);
        return levels.getY() + (levelTopDb - clamped) / (levelTopDb - levelBottomDb) * levels.getHeight();
    };
    auto gainY = [&] (float db)
    {
        const auto clamped = juce::jlimit (-gainRangeDb, gainRangeDb, db);
        return gains.getCentreY() - clamped / gainRangeDb * gains.getHeight() * 0.5f;
    };

    // Title.
    g.setColour (textColour);
    g.setFont (juce::Font (22.0f, juce::Font::bold));
    g.drawText ("TAVIRO ride of " + report.input.getFileName(), 90, 12, 1000, 30,
                juce::Justification::centredLeft);
    g.setFont (juce::Font (15.0f));
    g.drawText ("target " + juce::String (report.targetDb, 1) + " dB, zone " + juce::String (report.zoneDb, 1)
                    + " dB wide, push " + juce::String (report.pushDb, 1) + " dB",
                90, 36, 1000, 20, juce::Justification::centredLeft);

    // Grids and scales.
    g.setFont (juce::Font (14.0f));
    for (float db = levelTopDb; db >= levelBottomDb; db -= 10.0f)
    {
        g.setColour (gridColour);
        g.drawHorizontalLine ((int) levelY (db), levels.getX(), levels.getRight());
        g.setColour (textColour);
        g.drawText (juce::String ((int) db) + " dB", 10, (int) levelY (db) - 8, 72, 16,
                    juce::Justification::centredRight);
    }
    for (float db = -gainRangeDb; db <= gainRangeDb; db += 12.0f)
    {
        g.setColour (db == 0.0f ? textColour.withAlpha (0.5f) : gridColour);
        g.drawHorizontalLine ((int) gainY (db), gains.getX(), gains.getRight());
        g.setColour (textColour);
        g.drawText ((db > 0 ? "+" : "") + juce::String ((int) db) + " dB", 10, (int) gainY (db) - 8, 72, 16,
                    juce::Justification::centredRight);
    }
    const auto step = tickStep (duration);
    for (double t = 0; t <= duration + 1e-9; t += step)
    {
        g.setColour (gridColour);
        g.drawVerticalLine ((int) x (t), levels.getY(), levels.getBottom());
        g.drawVerticalLine ((int) x (t), gains.getY(), gains.getBottom());
        g.setColour (textColour);
        g.drawText (step < 1.0 ? juce::String (t, 1) + " s" : clockText (t), (int) x (t) - 40,
                    (int) gains.getBottom() + 6, 80, 18, juce::Justification::centred);
    }
    g.setColour (textColour);
    g.drawText ("time (min:s)", (int) gains.getCentreX() - 100, (int) gains.getBottom() + 28, 200, 18,
                juce::Justification::centred);
    g.drawText ("level", (int) levels.getX() + 6, (int) levels.getY() + 2, 120, 16,
                juce::Justification::centredLeft);
    g.drawText ("rider gain", (int) gains.getX() + 4, (int) gains.getY() - 18, 120, 16,
                juce::Justification::centredLeft);

    // The zone the rider aims for.
    const auto upper = report.targetDb + report.zoneDb / 2.0f, lower = report.targetDb - report.zoneDb / 2.0f;
    g.setColour (zoneColour);
    g.fillRect (juce::Rectangle<float>::leftTopRightBottom (levels.getX(), levelY (upper), levels.getRight(),
                                                            levelY (lower)));
    g.setColour (targetColour);
    g.drawHorizontalLine ((int) levelY (report.targetDb), levels.getX(), levels.getRight());

    // The curves, clipped to their panels.
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (levels.toNearestInt());
        g.setColour (inputColour);
        g.strokePath (curve (report.trace, &RideTracePoint::inputDb, x, levelY), juce::PathStrokeType (1.6f));
        g.setColour (outputColour);
        g.strokePath (curve (report.trace, &RideTracePoint::outputDb, x, levelY),
                      juce::PathStrokeType (1.8f));
    }
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (gains.toNearestInt());
        g.setColour (gainColour);
        g.strokePath (curve (report.trace, &RideTracePoint::gainDb, x, gainY), juce::PathStrokeType (2.0f));
    }

    g.setColour (textColour.withAlpha (0.6f));
    g.drawRect (levels, 1.0f);
    g.drawRect (gains, 1.0f);

    // Legend.
    struct Entry
    {
        juce::Colour colour;
        juce::String text;
        bool band;
    };
    const Entry entries[] = {
        { inputColour,
          "input level (RMS over " + juce::String (juce::roundToInt (report.traceStepSeconds * 1000.0))
              + " ms)",
          false },
        { outputColour, "output level (after push)", false },
        { zoneColour, "ride zone (target +/- width/2)", true },
        { gainColour, "rider gain", false },
    };
    g.setFont (juce::Font (13.0f));
    auto legendY = 5.0f;
    for (const auto& entry : entries)
    {
        g.setColour (entry.colour);
        if (entry.band)
            g.fillRect (1190.0f, legendY + 2.0f, 36.0f, 9.0f);
        else
            g.fillRect (1190.0f, legendY + 5.0f, 36.0f, 3.0f);
        g.setColour (textColour);
        g.drawText (entry.text, 1234, (int) legendY, 360, 13, juce::Justification::centredLeft);
        legendY += 12.5f;
    }
    return image;
}

juce::String writeRidePlot (const RenderReport& report, const juce::File& file)
{
    const auto image = drawRidePlot (report);
    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);
    {
        auto stream = temporary.getFile().createOutputStream();
        juce::PNGImageFormat png;
        if (stream == nullptr || ! png.writeImageToStream (image, *stream))
            return "cannot write the plot " + file.getFullPathName();
    }
    if (! temporary.overwriteTargetFileWithTemporary())
        return "cannot write the plot " + file.getFullPathName();
    return {};
}
