#pragma once

#include <juce_core/juce_core.h>

// One message from the maker's announcement service. Values are kept exactly as they
// stand between the quotes of the reply: escape sequences are not decoded.
struct Announcement
{
    juce::String id;
    juce::String type;
    juce::String title;
    juce::String message;
    juce::String linkText;
    juce::String linkUrl;
};
