#include "EditorPictures.h"

#include "TaviroPictures.h"

namespace EditorPictures
{
juce::Image background()
{
    return juce::ImageCache::getFromMemory (TaviroPictures::background_png,
                                            TaviroPictures::background_pngSize);
}

juce::Image glow()
{
    return juce::ImageCache::getFromMemory (TaviroPictures::glow_png, TaviroPictures::glow_pngSize);
}

juce::Image pushThumb()
{
    return juce::ImageCache::getFromMemory (TaviroPictures::pushthumb_png, TaviroPictures::pushthumb_pngSize);
}

juce::Image handle()
{
    return juce::ImageCache::getFromMemory (TaviroPictures::handle_png, TaviroPictures::handle_pngSize);
}
} // namespace EditorPictures
