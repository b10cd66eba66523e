// Headless pictures: every embedded image, and the plug-in window at a given scale, as PNG files.
#include <juce_gui_basics/juce_gui_basics.h>

#include "CalythBinaryData.h"
#include "editor/PluginEditor.h"
#include "plugin/PluginProcessor.h"

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
/** The editor of a fresh processor at the given width (the height follows the design's ratio), painted at
    the given pixel scale after one pass of its timer; optionally with one pole's engine panel open. */
int renderWindow (const juce::File& file, int width, float scale, int pole)
{
    CalythAudioProcessor processor;
    processor.setPlayConfigDetails (2, 2, 48000.0, 256);
    processor.prepareToPlay (48000.0, 256);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    editor->setSize (width, width * 600 / 480);

    auto& main = static_cast<CalythAudioProcessorEditor&> (*editor).mainComponent;

    if (juce::isPositiveAndBelow (pole, CalythAudioProcessor::numPoles))
        main.editPoleButtons[pole]->triggerClick();

    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    main.timerCallback();
    main.pad->timerCallback();
    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, scale);
    processor.editorBeingDeleted (editor.get());
    editor.reset();
    return writePng (image, file) ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    // The processor makes its presets folder and settings file under the home folder: use a scratch one.
    char home[] = "/tmp/calyth-snapshot-XXXXXX";
    if (::mkdtemp (home) != nullptr)
        ::setenv ("HOME", home, 1);

    const int result = [&]
    {
    juce::ScopedJuceInitialiser_GUI juce;
    const juce::StringArray args (argv + 1, argc - 1);

    const auto cwd = juce::File::getCurrentWorkingDirectory();

    if (args.size() == 2 && args[0] == "images")
        return renderImages (cwd.getChildFile (args[1]));

    if (args.size() >= 3 && args[0] == "window")
        return renderWindow (cwd.getChildFile (args[1]), args[2].getIntValue(), args.size() > 3 ? args[3].getFloatValue() : 1.0f,
                             args.size() > 4 ? args[4].getIntValue() : -1);

    std::cout << "usage: calyth_snapshot images FOLDER\n"
                 "       calyth_snapshot window OUT.png WIDTH [PIXEL-SCALE [POLE-PANEL]]\n";
    return 2;
    }();

    juce::File (home).deleteRecursively();
    return result;
}
