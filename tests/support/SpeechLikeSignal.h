#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// A deterministic stand-in for a spoken voice: a glottal pulse train with drifting pitch
// through two formant resonators, shaped into syllables of 4 to 6 per second with pauses,
// breathy noise bursts for consonants, and phrases whose level jumps by up to ±10 dB. The
// same seed always gives the same samples on every machine (no library randomness).
class SpeechLikeSignal
{
public:
    explicit SpeechLikeSignal (double sampleRateToUse, std::uint32_t seed = 1, float levelDb = -20.0f)
        : sampleRate (sampleRateToUse)
        , state (seed == 0 ? 1u : seed)
        , baseGain (dbToGain (levelDb))
    {
        startPhrase();
        startSyllable();
    }

    float next()
    {
        if (--syllableLeft <= 0)
            startSyllable();
        if (--phraseLeft <= 0)
            startPhrase();

        const auto t = 1.0 - (double) syllableLeft / (double) syllableLength;
        const auto envelope = voiced ? (float) std::pow (std::sin (3.14159265358979 * t), 0.6) : 0.0f;

        // Glottal source: a decaying pulse each period, pitch gliding within the syllable.
        const auto frequency =
            pitch * (1.0 + 0.08 * std::sin (6.2831853 * 5.0 * (double) position / sampleRate));
        phase += frequency / sampleRate;
        if (phase >= 1.0)
            phase -= 1.0;
        const auto pulse = (float) (std::exp (-phase * 12.0) - 0.08);

        const auto noise = uniform() * 2.0f - 1.0f;
        const auto source = voiced ? pulse + 0.03f * noise : (consonant ? noise * 0.5f : 0.0f);
        const auto consonantEnvelope = consonant ? (float) std::sin (3.14159265358979 * t) : 0.0f;

        const auto shaped = formant1.process (source) + 0.6f * formant2.process (source);
        ++position;
        return shaped * (voiced ? envelope : consonantEnvelope) * baseGain * phraseGain;
    }

    std::vector<float> take (size_t count)
    {
        std::vector<float> samples (count);
        for (auto& s : samples)
            s = next();
        return samples;
    }

private:
    struct Resonator
    {
        void set (double centre, double bandwidth, double rate)
        {
            const auto r = std::exp (-3.14159265358979 * bandwidth / rate);
            a1 = (float) (-2.0 * r * std::cos (6.28318530717959 * centre / rate));
            a2 = (float) (r * r);
            gain = (float) (1.0 - r);
        }

        float process (float x)
        {
            const auto y = gain * x - a1 * y1 - a2 * y2;
            y2 = y1;
            y1 = y;
            return y;
        }

        float a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
    };

    static float dbToGain (float db) { return std::pow (10.0f, db / 20.0f); }

    float uniform()
    {
        state = state * 1664525u + 1013904223u;
        return (float) (state >> 8) / 16777216.0f;
    }

    void startSyllable()
    {
        const auto kind = uniform();
        voiced = kind < 0.72f;
        consonant = ! voiced && kind < 0.85f; // the rest are short pauses
        syllableLength = (int) (sampleRate * (0.12 + 0.14 * uniform()));
        syllableLeft = syllableLength;
        pitch = 105.0 + 110.0 * uniform();
        formant1.set (350.0 + 500.0 * uniform(), 90.0, sampleRate);
        formant2.set (1100.0 + 1400.0 * uniform(), 140.0, sampleRate);
    }

    void startPhrase()
    {
        phraseLeft = (int) (sampleRate * (1.2 + 1.6 * uniform()));
        phraseGain = dbToGain (-10.0f + 20.0f * uniform());
    }

    double sampleRate;
    std::uint32_t state;
    float baseGain;
    float phraseGain = 1.0f;
    int phraseLeft = 0, syllableLeft = 0, syllableLength = 1;
    bool voiced = true, consonant = false;
    double pitch = 150.0, phase = 0.0;
    std::int64_t position = 0;
    Resonator formant1, formant2;
};
