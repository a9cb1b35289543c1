#include "RideZone.h"

#include <gtest/gtest.h>

namespace
{
struct Case
{
    float levelDb, referenceDb, widthDb;
    float correctionDb;
    RideZoneState state;
};

const char* nameOf (RideZoneState s)
{
    switch (s)
    {
    case RideZoneState::Inside:
        return "Inside";
    case RideZoneState::Outside:
        return "Outside";
    case RideZoneState::FarOutside:
        return "FarOutside";
    case RideZoneState::Gated:
        return "Gated";
    }
    return "?";
}
} // namespace

// Tolerance 0.01 dB: the table's worked values are given to two decimals.
TEST (RideGainComputer, CorrectionAndStateTable)
{
    const Case cases[] = {
        // The worked example: target -31, width 4, zone -33 … -29.
        { -40.0f, -31.0f, 4.0f, 5.94f, RideZoneState::Outside },
        { -31.0f, -31.0f, 4.0f, 0.0f, RideZoneState::Inside },
        { -20.0f, -31.0f, 4.0f, -9.0f, RideZoneState::Outside },
        { -5.0f, -31.0f, 4.0f, -24.0f, RideZoneState::Outside },
        { -57.0f, -31.0f, 4.0f, 4.8f, RideZoneState::Outside },
        { -58.0f, -31.0f, 4.0f, 0.0f, RideZoneState::FarOutside },
        { -70.0f, -31.0f, 4.0f, 0.0f, RideZoneState::Gated },
        // Zone edges count as inside; just past them the correction starts 1:1.
        { -33.0f, -31.0f, 4.0f, 0.0f, RideZoneState::Inside },
        { -29.0f, -31.0f, 4.0f, 0.0f, RideZoneState::Inside },
        { -28.5f, -31.0f, 4.0f, -0.5f, RideZoneState::Outside },
        // The gate: just below -58 aims at unity.
        { -58.01f, -31.0f, 4.0f, 0.0f, RideZoneState::Gated },
        { -100.0f, -31.0f, 4.0f, 0.0f, RideZoneState::Gated },
        // Beyond 24 dB the slope is 1/1.2 and the state is far outside.
        { -57.5f, -31.0f, 4.0f, 3.45f, RideZoneState::FarOutside },
        { 10.0f, -31.0f, 4.0f, -24.0f, RideZoneState::FarOutside },
        { -4.0f, -31.0f, 4.0f, -24.0f, RideZoneState::FarOutside },
        // Wide zone: width 30 around -31 is -46 … -16.
        { -46.0f, -31.0f, 30.0f, 0.0f, RideZoneState::Inside },
        { -10.0f, -31.0f, 30.0f, -6.0f, RideZoneState::Outside },
        // A target above the wheel's range (restored from a state) can ask for more than
        // +24 dB before the clamp.
        { -40.0f, 20.0f, 4.0f, 24.0f, RideZoneState::FarOutside },
        { -20.0f, -6.0f, 2.0f, 11.22f, RideZoneState::Outside },
    };

    for (const auto& c : cases)
    {
        const auto result = computeRideCorrection (c.levelDb, c.referenceDb, c.widthDb);
        SCOPED_TRACE (testing::Message()
                      << "level " << c.levelDb << " target " << c.referenceDb << " width " << c.widthDb);
        EXPECT_NEAR (result.correctionDb, c.correctionDb, 0.01f);
        EXPECT_STREQ (nameOf (result.state), nameOf (c.state));
    }
}

TEST (RideGainComputer, NeverLeavesPlusMinus24AndStaysFinite)
{
    const float targets[] = { -60.0f, -31.0f, -6.0f, 0.0f, 40.0f, -1.0e30f, 1.0e30f, 3.0e38f, -3.0e38f };
    for (auto target : targets)
        for (float width : { 2.0f, 4.0f, 30.0f })
            for (float level = -100.0f; level <= 40.0f; level += 0.25f)
            {
                const auto correction = computeRideCorrection (level, target, width).correctionDb;
                ASSERT_TRUE (correction >= -24.0f && correction <= 24.0f)
                    << correction << " at level " << level << " target " << target;
            }
}
