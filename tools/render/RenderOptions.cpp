#include "RenderOptions.h"

#include <cmath>

const char* const renderUsage =
    "usage: taviro-render INPUT... (-o OUTPUT | --out-dir DIR) [--target DB] [--zone DB] [--push DB]\n"
    "                     [--block N] [--bits 16|24|32] [--plot FILE.png] [--true-peak] [--json] [--quiet]\n"
    "\n"
    "Rides the level of vocal recordings with TAVIRO and writes WAV files of the same length,\n"
    "aligned sample for sample with their inputs.\n"
    "\n"
    "  -o OUTPUT        the output file (one input only)\n"
    "  --out-dir DIR    folder for the outputs, named after the inputs (several inputs run in parallel)\n"
    "  --target DB      target level, -60 ... -6 (default -31)\n"
    "  --zone DB        zone width, 2 ... 30 (default 4)\n"
    "  --push DB        push gain, -6 ... 12 (default 4)\n"
    "  --block N        host block size, 1 ... 65536 (default 512)\n"
    "  --bits B         16, 24 (default) or 32 (float)\n"
    "  --plot FILE.png  draw the ride over time (one input only)\n"
    "  --true-peak      also measure true peak (slower)\n"
    "  --json           print the report as JSON on standard output\n"
    "  --quiet          no progress bar and no text report\n";

juce::File RenderOptions::outputFor (size_t index) const
{
    if (outputDir != juce::File())
        return outputDir.getChildFile (inputs[index].getFileNameWithoutExtension() + ".wav");
    return output;
}

namespace
{
juce::File fileFromArgument (const juce::String& text)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (text);
}

// A number that is all number: "4", "-6.5", "1e1"; not "4dB", "", "nan".
std::optional<double> strictNumber (const juce::String& text)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789.-+eE"))
        return std::nullopt;

    char* end = nullptr;
    const auto value = std::strtod (trimmed.toRawUTF8(), &end);
    if (end == nullptr || *end != '\0' || ! std::isfinite (value))
        return std::nullopt;
    return value;
}

ParsedOptions failure (const juce::String& message) { return { std::nullopt, message }; }
} // namespace

ParsedOptions parseRenderOptions (const juce::StringArray& arguments)
{
    RenderOptions options;
    bool haveOutput = false;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        auto value = [&]() -> std::optional<juce::String>
        {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };

        auto numberInRange = [&] (const char* name, double low, double high, auto& target) -> juce::String
        {
            const auto text = value();
            if (! text)
                return juce::String (name) + " needs a value";
            const auto number = strictNumber (*text);
            if (! number || *number < low || *number > high)
                return juce::String (name) + " must be a number from " + juce::String (low) + " to "
                       + juce::String (high) + ", not \"" + *text + "\"";
            target = static_cast<std::decay_t<decltype (target)>> (*number);
            return {};
        };

        juce::String error;
        if (argument == "-h" || argument == "--help")
            options.help = true;
        else if (argument == "-o" || argument == "--output")
        {
            const auto text = value();
            if (! text || text->isEmpty())
                return failure ("-o needs an output file");
            options.output = fileFromArgument (*text);
            haveOutput = true;
        }
        else if (argument == "--out-dir")
        {
            const auto text = value();
            if (! text || text->isEmpty())
                return failure ("--out-dir needs a folder");
            options.outputDir = fileFromArgument (*text);
        }
        else if (argument == "--target")
            error = numberInRange ("--target", -60.0, -6.0, options.targetDb);
        else if (argument == "--zone")
            error = numberInRange ("--zone", 2.0, 30.0, options.zoneDb);
        else if (argument == "--push")
            error = numberInRange ("--push", -6.0, 12.0, options.pushDb);
        else if (argument == "--block")
        {
            double block = 0;
            error = numberInRange ("--block", 1.0, 65536.0, block);
            if (error.isEmpty() && block != std::floor (block))
                error = "--block must be a whole number";
            options.blockSize = (int) block;
        }
        else if (argument == "--bits")
        {
            const auto text = value();
            if (! text || (*text != "16" && *text != "24" && *text != "32"))
                return failure ("--bits must be 16, 24 or 32");
            options.bits = text->getIntValue();
        }
        else if (argument == "--plot")
        {
            const auto text = value();
            if (! text || text->isEmpty())
                return failure ("--plot needs a PNG file name");
            options.plot = fileFromArgument (*text);
            if (! options.plot.hasFileExtension ("png"))
                return failure ("--plot writes PNG: give it a file name ending in .png");
        }
        else if (argument == "--true-peak")
            options.truePeak = true;
        else if (argument == "--json")
            options.json = true;
        else if (argument == "--quiet" || argument == "-q")
            options.quiet = true;
        else if (argument.startsWith ("-") && argument != "-")
            return failure ("unknown option " + argument);
        else
            options.inputs.push_back (fileFromArgument (argument));

        if (error.isNotEmpty())
            return failure (error);
    }

    if (options.help)
        return { options, {} };
    if (options.inputs.empty())
        return failure ("no input file given");
    if (haveOutput == (options.outputDir != juce::File()))
        return failure ("give either -o OUTPUT (one input) or --out-dir DIR");
    if (haveOutput && options.inputs.size() > 1)
        return failure ("-o takes one input; use --out-dir for several");
    if (options.plot != juce::File() && options.inputs.size() > 1)
        return failure ("--plot takes one input");

    return { options, {} };
}

juce::String checkRenderPaths (const RenderOptions& options)
{
    for (const auto& input : options.inputs)
    {
        if (! input.existsAsFile())
            return "cannot read " + input.getFullPathName() + ": no such file";
        if (! input.hasReadAccess())
            return "cannot read " + input.getFullPathName() + ": permission denied";
    }

    if (options.outputDir != juce::File())
    {
        if (! options.outputDir.isDirectory())
            return "output folder " + options.outputDir.getFullPathName() + " does not exist";
        if (! options.outputDir.hasWriteAccess())
            return "cannot write to output folder " + options.outputDir.getFullPathName();
    }

    std::vector<juce::File> outputs;
    for (size_t i = 0; i < options.inputs.size(); ++i)
    {
        const auto output = options.outputFor (i);
        for (const auto& input : options.inputs)
            if (output == input)
                return "output " + output.getFullPathName() + " is also an input; choose another name";
        for (const auto& earlier : outputs)
            if (earlier == output)
                return "two inputs would both be written to " + output.getFullPathName();
        if (output == options.plot)
            return "the plot and the output are both " + output.getFullPathName();
        if (! output.getParentDirectory().isDirectory())
            return "output folder " + output.getParentDirectory().getFullPathName() + " does not exist";
        if (! output.getParentDirectory().hasWriteAccess())
            return "cannot write to " + output.getParentDirectory().getFullPathName();
        outputs.push_back (output);
    }

    if (options.plot != juce::File())
    {
        for (const auto& input : options.inputs)
            if (options.plot == input)
                return "the plot " + options.plot.getFullPathName() + " is also an input";
        if (! options.plot.getParentDirectory().isDirectory()
            || ! options.plot.getParentDirectory().hasWriteAccess())
            return "cannot write the plot to " + options.plot.getParentDirectory().getFullPathName();
    }
    return {};
}
