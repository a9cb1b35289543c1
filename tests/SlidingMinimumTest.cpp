#include "SlidingMinimum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

// Checked against the obvious definition over long pseudo-random streams, including the
// patterns that stress the candidate list: rising and falling runs and repeated values.
TEST (SlidingMinimum, MatchesABruteForceWindow)
{
    for (int length : { 1, 2, 3, 17, 241, 961 })
    {
        SlidingMinimum window;
        window.prepare (length);
        std::deque<float> recent;
        unsigned state = 12345u + (unsigned) length;

        for (int i = 0; i < 20000; ++i)
        {
            state = state * 1664525u + 1013904223u;
            float value;
            switch ((i / 500) % 4)
            {
            case 0:
                value = (float) (state >> 8) / 16777216.0f;
                break; // noise
            case 1:
                value = (float) (i % 700) / 700.0f;
                break; // rising runs
            case 2:
                value = 1.0f - (float) (i % 300) / 300.0f;
                break; // falling runs
            default:
                value = (state >> 30) == 0 ? 0.25f : 1.0f;
                break; // repeats
            }

            recent.push_back (value);
            if ((int) recent.size() > length)
                recent.pop_front();

            ASSERT_EQ (window.push (value), *std::min_element (recent.begin(), recent.end()))
                << "length " << length << " at " << i;
        }
    }
}

TEST (SlidingMinimum, ResetForgetsEverything)
{
    SlidingMinimum window;
    window.prepare (10);
    window.push (0.1f);
    window.reset();
    EXPECT_EQ (window.push (0.7f), 0.7f);
}
