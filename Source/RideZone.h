#pragma once

// Where the rider level sits relative to the ride zone; the meter compares these numbers.
enum class RideZoneState : int
{
    Inside = 0,
    Outside = 1,
    FarOutside = 2,
    Gated = 3
};

struct RideCorrection
{
    float correctionDb; // gain the rider aims for, in dB, within [-24, +24]
    RideZoneState state;
};

// The rider's gain computer: places the block's level against the zone
// referenceDb ± widthDb / 2 and says how far to move it. Pure, so it can be checked alone.
RideCorrection computeRideCorrection (float levelDb, float referenceDb, float widthDb) noexcept;
