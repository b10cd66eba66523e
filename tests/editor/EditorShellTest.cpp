// The editor shell: first size, the stored size and the scale, the fixed ratio and the shared tooltip window.
#include <gtest/gtest.h>

#include "WindowTestHelpers.h"
#include "editor/PluginEditor.h"

using namespace calyth::test;

namespace
{
std::unique_ptr<CalythAudioProcessorEditor> open (CalythAudioProcessor& p)
{
    return std::unique_ptr<CalythAudioProcessorEditor> (dynamic_cast<CalythAudioProcessorEditor*> (p.createEditorIfNeeded()));
}

juce::String sizeAndScale (CalythAudioProcessorEditor& e)
{
    return juce::String (e.getWidth()) + "x" + juce::String (e.getHeight()) + " " + e.mainComponent.getBounds().toString() + " "
           + juce::String (e.mainComponent.getTransform().mat00) + " " + juce::String (e.mainComponent.getTransform().mat11);
}

juce::File settingsFile() { return CalythAudioProcessor::makeSettingsFileOptions().getDefaultFile(); }

void storeSize (const juce::String& width, const juce::String& height)
{
    juce::PropertiesFile file (CalythAudioProcessor::makeSettingsFileOptions());
    file.setValue ("width", width);
    file.setValue ("height", height);
    file.saveIfNeeded();
}
} // namespace

TEST (EditorShell, OpensAtTheStoredSizeAndStoresItsOwnOnClosing)
{
    settingsFile().deleteFile();
    CalythAudioProcessor processor;
    ASSERT_TRUE (processor.hasEditor());
    {
        auto editor = open (processor);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (sizeAndScale (*editor), "480x600 0 0 480 600 1 1");
        EXPECT_EQ (editor->getConstrainer()->getFixedAspectRatio(), 0.8);
        EXPECT_EQ (editor->getConstrainer()->getMinimumWidth(), 120);
        EXPECT_TRUE (editor->isResizable());
        // Dragging the corner keeps the ratio and never goes below 120 wide.
        juce::Rectangle<int> dragged (0, 0, 40, 90);
        editor->getConstrainer()->checkBounds (dragged, editor->getBounds(), { 0, 0, 4000, 4000 }, false, false, true, true);
        EXPECT_EQ (dragged.getWidth() + dragged.getHeight() * 1000, 120 + 150 * 1000);
        // One tooltip window, shared with the engine panels.
        EXPECT_EQ (&editor->tooltipWindow.get(), &editor->mainComponent.poleEditors[2]->tooltipWindow.get());
        editor->setSize (600, 750);
        EXPECT_EQ (sizeAndScale (*editor), "600x750 0 0 480 600 1.25 1.25");
        processor.editorBeingDeleted (editor.get());
    }
    const auto stored = juce::parseXML (settingsFile());
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getChildByAttribute ("name", "width")->getStringAttribute ("val") + " "
                   + stored->getChildByAttribute ("name", "height")->getStringAttribute ("val"), "600 750");
    // The next window opens at it, also in another instance whose settings were read before the close.
    CalythAudioProcessor other;
    {
        auto editor = open (processor);
        EXPECT_EQ (sizeAndScale (*editor), "600x750 0 0 480 600 1.25 1.25");
        processor.editorBeingDeleted (editor.get());
    }
    storeSize ("500", "500");
    {
        auto editor = open (other);
        EXPECT_EQ (sizeAndScale (*editor), "500x500 0 0 480 600 1.04167 1.04167");
        other.editorBeingDeleted (editor.get());
    }
    // Sizes nobody could see or handle count as unreadable.
    for (const auto& [w, h] : { std::pair { "0", "0" }, std::pair { "100000", "125000" }, std::pair { "wide", "" } })
    {
        storeSize (w, h);
        auto editor = open (other);
        EXPECT_EQ (sizeAndScale (*editor), "480x600 0 0 480 600 1 1") << w;
        other.editorBeingDeleted (editor.get());
    }
}
