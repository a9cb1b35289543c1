// Loads the built plug-in bundles through JUCE's hosting classes, the way a DAW sees them.
#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

namespace
{
struct Bundle
{
    const char* format;
    const char* path;
};

void PrintTo (const Bundle& bundle, std::ostream* out) { *out << bundle.format; }

std::unique_ptr<juce::AudioPluginInstance> loadPlugin (const Bundle& bundle, juce::String& error)
{
    juce::AudioPluginFormatManager formats;
    formats.addDefaultFormats();

    for (auto* format : formats.getFormats())
    {
        if (format->getName() != bundle.format)
            continue;

        // VST3 takes the bundle's path; LV2 finds its plug-ins by URI after scanning a folder.
        juce::StringArray identifiers { bundle.path };
        if (format->getName() == "LV2")
            identifiers = format->searchPathsForPlugins (
                juce::FileSearchPath (juce::File (bundle.path).getParentDirectory().getFullPathName()), true,
                false);

        for (const auto& identifier : identifiers)
        {
            juce::OwnedArray<juce::PluginDescription> descriptions;
            format->findAllTypesForFile (descriptions, identifier);

            for (auto* description : descriptions)
                if (description->name == "TAVIRO")
                    return formats.createPluginInstance (*description, 48000.0, 512, error);
        }
    }

    error = juce::String ("no TAVIRO found in ") + bundle.path;
    return nullptr;
}

class HostCheck : public ::testing::TestWithParam<Bundle>
{
protected:
    void SetUp() override
    {
        juce::String error;
        plugin = loadPlugin (GetParam(), error);
        ASSERT_NE (plugin, nullptr) << error;
    }

    // The parameters of ours, without a bypass switch that a wrapper may add on its own.
    static std::vector<juce::AudioProcessorParameter*> ourParameters (juce::AudioPluginInstance& instance)
    {
        std::vector<juce::AudioProcessorParameter*> result;
        for (auto* p : instance.getParameters())
            if (p != instance.getBypassParameter())
                result.push_back (p);
        return result;
    }

    std::vector<juce::AudioProcessorParameter*> ourParameters() { return ourParameters (*plugin); }

    static juce::AudioProcessorParameter* parameterNamed (juce::AudioPluginInstance& instance,
                                                          const juce::String& name)
    {
        for (auto* p : instance.getParameters())
            if (p->getName (100) == name)
                return p;
        return nullptr;
    }

    static void processOneBlock (juce::AudioPluginInstance& instance)
    {
        instance.prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        buffer.clear();
        juce::MidiBuffer midi;
        instance.processBlock (buffer, midi);
        instance.releaseResources();
    }

    std::unique_ptr<juce::AudioPluginInstance> plugin;
};
} // namespace

TEST_P (HostCheck, ShowsItsNameAndStereoBuses)
{
    EXPECT_EQ (plugin->getName(), "TAVIRO");
    EXPECT_EQ (plugin->getMainBusNumInputChannels(), 2);
    EXPECT_EQ (plugin->getMainBusNumOutputChannels(), 2);
    EXPECT_TRUE (plugin->hasEditor());
    EXPECT_FALSE (plugin->acceptsMidi());
}

TEST_P (HostCheck, ListsTheTwoParametersInOrderWithTheirTexts)
{
    // VST3 hosts list parameters in the plug-in's order; JUCE's LV2 host sorts them by URI,
    // so there the plug-in's own order is read from the bundle's description instead.
    auto parameters = ourParameters();
    ASSERT_EQ (parameters.size(), 2u);
    if (juce::String (GetParam().format) == "LV2")
    {
        const auto ttl = juce::File (GetParam().path).getChildFile ("dsp.ttl").loadFileAsString();
        EXPECT_LT (ttl.indexOf ("plug:push"), ttl.indexOf ("plug:bigBracketWidth"));
        if (parameters[0]->getName (100) == "Zone Width")
            std::swap (parameters[0], parameters[1]);
    }
    EXPECT_EQ (parameters[0]->getName (100), "Push");
    EXPECT_EQ (parameters[1]->getName (100), "Zone Width");

    struct Case
    {
        size_t index;
        float normalised;
        const char* text;
    };
    const Case cases[] = {
        { 0, 0.0f, "-6.0 dB" }, { 0, 10.0f / 18.0f, "4.0 dB" }, { 0, 1.0f, "12.0 dB" },
        { 1, 0.0f, "2.0 dB" },  { 1, 2.0f / 28.0f, "4.0 dB" },  { 1, 1.0f, "30.0 dB" },
    };

    // LV2 carries no text function: its hosts print the number, so only the value is compared.
    const bool exactTexts = juce::String (GetParam().format) != "LV2";
    auto expectText = [&] (const juce::String& actual, const juce::String& expected)
    {
        if (exactTexts)
            EXPECT_EQ (actual.trim(), expected);
        else
            EXPECT_NEAR (actual.getFloatValue(), expected.getFloatValue(), 1e-4f) << actual;
    };

    for (const auto& c : cases)
        expectText (parameters[c.index]->getText (c.normalised, 100), c.text);

    expectText (parameters[0]->getCurrentValueAsText(), "4.0 dB");
    expectText (parameters[1]->getCurrentValueAsText(), "4.0 dB");
}

TEST_P (HostCheck, StateSurvivesASaveAndRestore)
{
    auto* push = parameterNamed (*plugin, "Push");
    auto* width = parameterNamed (*plugin, "Zone Width");
    ASSERT_NE (push, nullptr);
    ASSERT_NE (width, nullptr);

    // Parameter changes reach an LV2 plug-in with the next processed block, as in a DAW.
    push->setValueNotifyingHost (0.0f);
    width->setValueNotifyingHost (1.0f);
    processOneBlock (*plugin);
    juce::MemoryBlock saved;
    plugin->getStateInformation (saved);
    ASSERT_GT (saved.getSize(), 0u);

    juce::String error;
    auto restored = loadPlugin (GetParam(), error);
    ASSERT_NE (restored, nullptr) << error;
    restored->setStateInformation (saved.getData(), (int) saved.getSize());
    processOneBlock (*restored);
    EXPECT_FLOAT_EQ (parameterNamed (*restored, "Push")->getValue(), 0.0f);
    EXPECT_FLOAT_EQ (parameterNamed (*restored, "Zone Width")->getValue(), 1.0f);
}

TEST_P (HostCheck, PassesAudioWithoutNaN)
{
    plugin->prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    for (int block = 0; block < 20; ++block)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (channel, i, 0.25f * std::sin (0.05f * (float) (block * 512 + i)));
        plugin->processBlock (buffer, midi);
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < 512; ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (channel, i)));
    }
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P (Bundles, HostCheck,
                          ::testing::Values (Bundle { "VST3", TAVIRO_VST3_BUNDLE },
                                             Bundle { "LV2", TAVIRO_LV2_BUNDLE }),
                          [] (const auto& info) { return std::string (info.param.format); });

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
