#pragma once

#include <algorithm>
#include <cmath>

// The two gain laws of the per-sample output stage, kept apart so they can be checked alone.

// Transient reduction in dB for a fast envelope `differenceDb` above the slow one: nothing up
// to 8 dB, then growing quadratically over the next 4 dB and by 0.667 dB per dB after that,
// never more than 12 dB.
inline float transientReductionDb (float differenceDb) noexcept
{
    if (! (differenceDb > 8.0f))
        return 0.0f;

    const auto over = differenceDb - 8.0f;
    return std::min (0.667f * over * (over < 4.0f ? over / 4.0f : 1.0f), 12.0f);
}

// -1 dBFS: no output sample goes above it.
constexpr float outputCeiling = 0.891250938f;

// Gain that puts a sample of magnitude `peak` exactly at the -1 dBFS ceiling; 1 below it.
inline float ceilingGain (float peak) noexcept
{
    if (! (peak > 0.89f)) // -1 dBFS is 0.8913: below this bound the logarithm cannot matter
        return 1.0f;

    const auto peakDb = 20.0f * std::log10 (peak);
    return peakDb > -1.0f ? std::pow (10.0f, -(peakDb + 1.0f) / 20.0f) : 1.0f;
}
