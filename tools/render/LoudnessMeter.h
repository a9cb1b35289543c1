#pragma once

#include <ebur128.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

// EBU R 128 measurement of one signal through libebur128: integrated loudness, loudness
// range and peaks. Frames arrive planar, as JUCE holds them.
class LoudnessMeter
{
public:
    LoudnessMeter (int channelsToUse, double sampleRate, bool measureTruePeak)
        : channels (channelsToUse)
        , state (ebur128_init ((unsigned) channelsToUse, (unsigned long) sampleRate,
                               EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK
                                   | (measureTruePeak ? EBUR128_MODE_TRUE_PEAK : 0)))
        , truePeak (measureTruePeak)
    {
        if (channels == 1 && state != nullptr)
            ebur128_set_channel (state.get(), 0, EBUR128_DUAL_MONO);
    }

    bool isValid() const { return state != nullptr; }

    void add (const float* const* planar, int numFrames)
    {
        interleaved.resize ((size_t) numFrames * (size_t) channels);
        for (int i = 0; i < numFrames; ++i)
            for (int c = 0; c < channels; ++c)
                interleaved[(size_t) (i * channels + c)] = planar[c][i];
        ebur128_add_frames_float (state.get(), interleaved.data(), (size_t) numFrames);
    }

    double integratedLufs() const
    {
        double value = 0;
        return ebur128_loudness_global (state.get(), &value) == EBUR128_SUCCESS ? value : nan();
    }

    double loudnessRangeLu() const
    {
        double value = 0;
        return ebur128_loudness_range (state.get(), &value) == EBUR128_SUCCESS ? value : nan();
    }

    double samplePeakDb() const { return peakDb (&ebur128_sample_peak); }
    double truePeakDb() const { return truePeak ? peakDb (&ebur128_true_peak) : nan(); }

private:
    struct Destroy
    {
        void operator() (ebur128_state* s) const { ebur128_destroy (&s); }
    };

    static double nan() { return std::numeric_limits<double>::quiet_NaN(); }

    double peakDb (int (*measure) (ebur128_state*, unsigned, double*)) const
    {
        double highest = 0;
        for (int c = 0; c < channels; ++c)
        {
            double value = 0;
            if (measure (state.get(), (unsigned) c, &value) != EBUR128_SUCCESS)
                return nan();
            highest = std::max (highest, value);
        }
        return highest > 0 ? 20.0 * std::log10 (highest) : -std::numeric_limits<double>::infinity();
    }

    int channels;
    std::unique_ptr<ebur128_state, Destroy> state;
    bool truePeak;
    std::vector<float> interleaved;
};
