// Compares a rendered image with a committed reference PNG; CALYTH_UPDATE_REFERENCES=1 writes missing ones.
#pragma once

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <cstdlib>
#include <cstring>

namespace kelm::test
{
inline juce::File referenceFolder() { return juce::File (__FILE__).getSiblingFile ("reference"); }

inline bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}

/** Passes when every channel of every pixel is within the tolerance of the reference. */
inline ::testing::AssertionResult matchesReference (const juce::Image& actual, const juce::String& name, int tolerance = 6)
{
    const auto file = referenceFolder().getChildFile (name + ".png");

    if (! file.existsAsFile())
    {
        const char* update = std::getenv ("CALYTH_UPDATE_REFERENCES");

        if (update != nullptr && std::strcmp (update, "1") == 0)
            return writePng (actual, file) ? ::testing::AssertionSuccess() << "written " << file.getFullPathName()
                                           : ::testing::AssertionFailure() << "cannot write " << file.getFullPathName();

        return ::testing::AssertionFailure() << "missing reference " << file.getFullPathName();
    }

    const auto expected = juce::ImageFileFormat::loadFrom (file).convertedToFormat (juce::Image::ARGB);
    const auto got = actual.convertedToFormat (juce::Image::ARGB);

    if (expected.getBounds() != got.getBounds())
        return ::testing::AssertionFailure() << name << ": size " << got.getWidth() << "x" << got.getHeight()
                                             << ", reference " << expected.getWidth() << "x" << expected.getHeight();

    int bad = 0, worst = 0;
    for (int y = 0; y < got.getHeight(); ++y)
        for (int x = 0; x < got.getWidth(); ++x)
        {
            const auto a = got.getPixelAt (x, y), b = expected.getPixelAt (x, y);
            const int d = juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                                      std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue()));
            worst = juce::jmax (worst, d);
            bad += d > tolerance ? 1 : 0;
        }

    if (bad == 0)
        return ::testing::AssertionSuccess();

    const auto dump = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name + "-actual.png");
    writePng (got, dump);
    return ::testing::AssertionFailure() << name << ": " << bad << " pixels off by up to " << worst
                                         << "; rendering written to " << dump.getFullPathName();
}
} // namespace kelm::test
