#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Minimum of the newest `length` values of a stream, in amortised O(1) per value and without
// allocating after prepare(). The limiter uses it so that its gain already sits at the level
// a peak needs while that peak is still travelling through the look-ahead delay.
//
// Glossary of the state:
//   entries   ring buffer of candidates (value, time); values rise from front to back, and
//             every entry is the minimum of the window from its own time on
//   front     index of the oldest candidate: the current minimum
//   count     number of candidates held
//   now       time stamp of the newest value pushed
//   length    number of newest values the minimum covers
class SlidingMinimum
{
public:
    void prepare (int windowLength)
    {
        length = windowLength < 1 ? 1 : windowLength;
        entries.assign (static_cast<std::size_t> (length) + 1, Entry {});
        reset();
    }

    void reset() noexcept
    {
        front = 0;
        count = 0;
        now = 0;
    }

    // Adds a value and returns the minimum of the newest `length` values, this one included.
    float push (float value) noexcept
    {
        ++now;
        const auto capacity = entries.size();

        while (count > 0 && entries[indexOf (count - 1, capacity)].value >= value)
            --count;

        entries[indexOf (count, capacity)] = { value, now };
        ++count;

        if (entries[front].time <= now - length)
        {
            front = front + 1 == capacity ? 0 : front + 1;
            --count;
        }

        return entries[front].value;
    }

private:
    struct Entry
    {
        float value = 1.0f;
        std::int64_t time = 0;
    };

    std::size_t indexOf (std::size_t offset, std::size_t capacity) const noexcept
    {
        const auto index = front + offset;
        return index >= capacity ? index - capacity : index;
    }

    std::vector<Entry> entries;
    std::size_t front = 0;
    std::size_t count = 0;
    std::int64_t now = 0;
    std::int64_t length = 1;
};
