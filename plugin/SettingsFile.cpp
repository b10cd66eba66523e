// The window's settings file: the framework's properties file, read and written through the guarded reader and the checked writer.
#include "plugin/SettingsFile.h"

#include "kelm/DocumentReading.h"
#include "kelm/DocumentWriting.h"

namespace
{
juce::PropertiesFile::Options withoutSaving (juce::PropertiesFile::Options options)
{
    options.doNotSave = true;
    return options;
}

// The framework's names in its XML form.
const juce::Identifier fileTag ("PROPERTIES"), valueTag ("VALUE"), nameAttribute ("name"), valueAttribute ("val");
} // namespace

SettingsFile::SettingsFile (const Options& settingsOptions)
    : juce::PropertiesFile (juce::File(), withoutSaving (settingsOptions)), location (settingsOptions.getDefaultFile())
{
    reload();
}

SettingsFile::~SettingsFile()
{
    saveIfNeeded();
}

bool SettingsFile::reload()
{
    const juce::ScopedLock held (getLock());

    if (! location.exists())
        return true;

    const auto document = kelm::parseDocumentFile (location, maxBytes, maxDepth, maxElements);

    if (document == nullptr || ! document->hasTagName (fileTag))
        return false;

    for (auto* element : document->getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        // A value the framework stored as an element is read back as its text, as the framework does.
        if (name.isNotEmpty())
            getAllProperties().set (name, element->getFirstChildElement() != nullptr
                                              ? element->getFirstChildElement()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())
                                              : element->getStringAttribute (valueAttribute));
    }

    return true;
}

bool SettingsFile::save()
{
    const juce::ScopedLock held (getLock());

    // The base's save only stops its timer: it has no file.
    juce::PropertiesFile::save();

    if (location == juce::File() || location.isDirectory() || ! location.getParentDirectory().createDirectory())
        return false;

    juce::XmlElement document (fileTag);
    const auto& values = getAllProperties();

    for (int i = 0; i < values.size(); ++i)
    {
        auto* element = document.createNewChildElement (valueTag);
        element->setAttribute (nameAttribute, values.getAllKeys()[i]);
        element->setAttribute (valueAttribute, values.getAllValues()[i]);
    }

    juce::MemoryOutputStream text;
    document.writeTo (text);

    if (! kelm::replaceFileWith (location, text.getData(), text.getDataSize()))
        return false;

    setNeedsToBeSaved (false);
    return true;
}

bool SettingsFile::saveIfNeeded()
{
    const juce::ScopedLock held (getLock());
    return ! needsToBeSaved() || save();
}

void SettingsFile::timerCallback()
{
    saveIfNeeded();
}
