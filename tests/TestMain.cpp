#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// JUCE classes that touch the message manager (parameter attachments, editors, timers) need
// one to exist; the tests drive everything synchronously on this thread.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
