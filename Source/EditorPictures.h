#pragma once

#include <juce_graphics/juce_graphics.h>

// The pictures compiled into the plug-in, decoded once and shared by every editor.
namespace EditorPictures
{
juce::Image background(); // 826 x 876, the device at twice the window's resolution
juce::Image glow();       // 325 x 386, the device's lighting layer
juce::Image pushThumb();  // 99 x 47, the push wheel's thumb
juce::Image handle();     // 40 x 22, the zone bracket's handle
} // namespace EditorPictures
