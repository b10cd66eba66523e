// Headless pictures: every embedded image, and the plug-in window at a given scale, as PNG files.
#include <juce_gui_basics/juce_gui_basics.h>

#include "CalythBinaryData.h"

#include <iostream>

namespace
{
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}

/** Each SVG drawn 240 units high on a mid-grey ground, so both dark and light parts show. */
int renderImages (const juce::File& folder)
{
    folder.createDirectory();

    for (int i = 0; i < CalythBinaryData::namedResourceListSize; ++i)
    {
        const juce::String file (CalythBinaryData::originalFilenames[i]);

        if (! file.endsWithIgnoreCase (".svg"))
            continue;

        int size = 0;
        const auto* data = CalythBinaryData::getNamedResource (CalythBinaryData::namedResourceList[i], size);
        auto drawable = juce::Drawable::createFromImageData (data, (size_t) size);

        if (drawable == nullptr)
        {
            std::cerr << "cannot read " << file << "\n";
            return 1;
        }

        const auto bounds = drawable->getDrawableBounds();
        const int height = 240;
        const int width = juce::jlimit (60, 1200, juce::roundToInt (height * bounds.getWidth() / bounds.getHeight()));
        juce::Image image (juce::Image::ARGB, width, height, true);
        juce::Graphics g (image);
        g.fillAll (juce::Colour (0xFF808080));
        drawable->drawWithin (g, image.getBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);

        if (! writePng (image, folder.getChildFile (juce::File (file).getFileNameWithoutExtension() + ".png")))
            return 1;
    }

    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() == 2 && args[0] == "images")
        return renderImages (juce::File::getCurrentWorkingDirectory().getChildFile (args[1]));

    std::cout << "usage: calyth_snapshot images FOLDER\n";
    return 2;
}
