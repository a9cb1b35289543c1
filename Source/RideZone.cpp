#include "RideZone.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float gateDb = -58.0f;
constexpr float linearSpanDb = 24.0f;     // the correction follows the distance 1:1 this far
constexpr float outerSlopeDivisor = 1.2f; // and with slope 1/1.2 beyond it
constexpr float maximumCorrectionDb = 24.0f;
} // namespace

RideCorrection computeRideCorrection (float levelDb, float referenceDb, float widthDb) noexcept
{
    if (levelDb < gateDb)
        return { 0.0f, RideZoneState::Gated };

    const auto lower = referenceDb - widthDb / 2.0f;
    const auto upper = referenceDb + widthDb / 2.0f;

    float correction = 0.0f;
    if (levelDb < lower - linearSpanDb)
        correction = (lower - linearSpanDb - levelDb) / outerSlopeDivisor + linearSpanDb;
    else if (levelDb < lower)
        correction = lower - levelDb;
    else if (levelDb > upper + linearSpanDb)
        correction = -((levelDb - (upper + linearSpanDb)) / outerSlopeDivisor + linearSpanDb);
    else if (levelDb > upper)
        correction = -(levelDb - upper);

    // Quiet material close to the gate is lifted less: the fade runs from 1 at the lower
    // edge to 0 at the gate. Rounding can push the ratio a hair past 1, hence the floor.
    if (correction > 0.0f)
    {
        const auto fade =
            std::sqrt (std::max (0.0f, 1.0f - (lower - levelDb) / std::max (1.0f, lower - gateDb)));
        correction *= fade;
    }

    // Only absurd targets (near the float range) can overflow into inf * 0 above.
    if (std::isnan (correction))
        correction = 0.0f;

    correction = std::clamp (correction, -maximumCorrectionDb, maximumCorrectionDb);

    auto state = RideZoneState::Inside;
    if (levelDb < lower - linearSpanDb || levelDb > upper + linearSpanDb)
        state = RideZoneState::FarOutside;
    else if (levelDb < lower || levelDb > upper)
        state = RideZoneState::Outside;

    return { correction, state };
}
