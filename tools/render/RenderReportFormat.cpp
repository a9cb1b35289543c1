#include "RenderReportFormat.h"

#include <cmath>

namespace
{
juce::String decibels (double value, const char* unit)
{
    if (std::isnan (value))
        return "n/a";
    if (std::isinf (value))
        return value < 0 ? juce::String ("-inf ") + unit : juce::String ("+inf ") + unit;
    return juce::String (value, 1) + " " + unit;
}

juce::var number (double value)
{
    return std::isfinite (value) ? juce::var (std::round (value * 100.0) / 100.0) : juce::var();
}

const char* const zoneNames[] = { "inside", "outside", "far_outside", "gated" };
} // namespace

juce::String formatReportText (const RenderReport& r, bool truePeak)
{
    juce::String text;
    const auto duration = (double) r.frames / r.sampleRate;
    text << r.input.getFileName() << " -> " << r.output.getFullPathName() << "\n"
         << "  " << juce::String (duration, 1) << " s, " << juce::String (r.sampleRate / 1000.0, 1)
         << " kHz, " << (r.channels == 1 ? "mono" : "stereo") << "; target " << juce::String (r.targetDb, 1)
         << " dB, zone " << juce::String (r.zoneDb, 1) << " dB, push " << juce::String (r.pushDb, 1)
         << " dB\n"
         << "                     input      output\n"
         << "  loudness      " << decibels (r.inputLufs, "LUFS").paddedLeft (' ', 11)
         << decibels (r.outputLufs, "LUFS").paddedLeft (' ', 12) << "\n"
         << "  range         " << decibels (r.inputLraLu, "LU").paddedLeft (' ', 11)
         << decibels (r.outputLraLu, "LU").paddedLeft (' ', 12) << "\n"
         << "  sample peak   " << decibels (r.inputPeakDb, "dBFS").paddedLeft (' ', 11)
         << decibels (r.outputPeakDb, "dBFS").paddedLeft (' ', 12) << "\n";
    if (truePeak)
        text << "  true peak     " << decibels (r.inputTruePeakDb, "dBTP").paddedLeft (' ', 11)
             << decibels (r.outputTruePeakDb, "dBTP").paddedLeft (' ', 12) << "\n";
    text << "  rider level   inside the zone " << juce::String (100.0 * r.zoneShare[0], 1) << " %, outside "
         << juce::String (100.0 * r.zoneShare[1], 1) << " %, far outside "
         << juce::String (100.0 * r.zoneShare[2], 1) << " %, gated "
         << juce::String (100.0 * r.zoneShare[3], 1) << " %\n"
         << "  rider gain    largest boost " << juce::String (r.largestBoostDb, 1) << " dB, largest cut "
         << juce::String (r.largestCutDb, 1) << " dB\n"
         << "  speed         " << juce::String (juce::roundToInt (r.speed)) << " x real time ("
         << juce::String (r.seconds, 2) << " s)\n";
    return text;
}

juce::String formatReportJson (const std::vector<RenderReport>& reports, bool truePeak)
{
    juce::Array<juce::var> files;
    for (const auto& r : reports)
    {
        auto* file = new juce::DynamicObject();
        file->setProperty ("input", r.input.getFullPathName());
        file->setProperty ("output", r.output.getFullPathName());
        file->setProperty ("sample_rate", r.sampleRate);
        file->setProperty ("channels", r.channels);
        file->setProperty ("frames", r.frames);
        file->setProperty ("duration_s", number ((double) r.frames / r.sampleRate));

        auto* settings = new juce::DynamicObject();
        settings->setProperty ("target_db", number (r.targetDb));
        settings->setProperty ("zone_db", number (r.zoneDb));
        settings->setProperty ("push_db", number (r.pushDb));
        file->setProperty ("settings", settings);

        auto side = [&] (double lufs, double lra, double peak, double truePeakDb)
        {
            auto* object = new juce::DynamicObject();
            object->setProperty ("integrated_lufs", number (lufs));
            object->setProperty ("loudness_range_lu", number (lra));
            object->setProperty ("sample_peak_dbfs", number (peak));
            if (truePeak)
                object->setProperty ("true_peak_dbtp", number (truePeakDb));
            return juce::var (object);
        };
        file->setProperty ("input_measure",
                           side (r.inputLufs, r.inputLraLu, r.inputPeakDb, r.inputTruePeakDb));
        file->setProperty ("output_measure",
                           side (r.outputLufs, r.outputLraLu, r.outputPeakDb, r.outputTruePeakDb));

        auto* zones = new juce::DynamicObject();
        for (size_t s = 0; s < 4; ++s)
            zones->setProperty (zoneNames[s], number (r.zoneShare[s]));
        file->setProperty ("zone_share", zones);
        file->setProperty ("largest_boost_db", number (r.largestBoostDb));
        file->setProperty ("largest_cut_db", number (r.largestCutDb));
        file->setProperty ("seconds", number (r.seconds));
        file->setProperty ("speed_x_real_time", number (r.speed));
        files.add (juce::var (file));
    }

    auto* root = new juce::DynamicObject();
    root->setProperty ("files", files);
    return juce::JSON::toString (juce::var (root), false);
}
