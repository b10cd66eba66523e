// The host state chunk, preset documents and the engine children of stored documents.
#include "plugin/PluginProcessor.h"

#include "kelm/DocumentReading.h"
#include "kelm/DocumentWriting.h"

#include <cmath>
#include <vector>

namespace
{
// The framework's XML chunk wrapper: magic word, text length, text, zero byte.
constexpr juce::uint32 chunkMagic = 0x21324356;
constexpr int chunkHeaderSize = 8;

/** The framework's wrapper, with the text on one line and without an XML declaration (the
    framework's own copyXmlToBinary writes one). */
void writeChunk (const juce::ValueTree& document, juce::MemoryBlock& destination)
{
    {
        juce::MemoryOutputStream out (destination, false);
        out.writeInt ((int) chunkMagic);
        out.writeInt (0);
        kelm::writeSingleLineXml (out, document);
        out.writeByte (0);
    }

    const auto textLength = (juce::uint32) destination.getSize() - (juce::uint32) (chunkHeaderSize + 1);
    const juce::uint32 littleEndian = juce::ByteOrder::swapIfBigEndian (textLength);
    destination.copyFrom (&littleEndian, 4, 4);
}

/** A stored number, or the current value when the property is missing. */
double readNumber (const juce::ValueTree& tree, const juce::String& key, double current)
{
    const auto* value = tree.getPropertyPointer (key);
    return value != nullptr ? (double) *value : current;
}

int readWholeNumber (const juce::ValueTree& tree, const juce::String& key, int current)
{
    const auto* value = tree.getPropertyPointer (key);
    return value != nullptr ? kelm::readWholeNumber (*value) : current;
}

/** NaN reads as unreadable and keeps the field: written back, it would not survive the text form. */
float readSingle (const juce::ValueTree& tree, const juce::String& key, float current)
{
    const double value = readNumber (tree, key, (double) current);
    return std::isnan (value) ? current : kelm::singleFromDouble (value);
}

/** Prepares a document to become the parameter state without disturbing parameters it does not
    set: a parameter without a "PARAM" child keeps its value (the framework would otherwise add an
    empty child and reset the parameter to its default), and a value that reads as NaN keeps the
    current value instead of reaching the audio. */
void keepUnsetParameterValues (juce::ValueTree& document, juce::AudioProcessorValueTreeState& parameterTree)
{
    const juce::Identifier paramType ("PARAM"), idKey ("id"), valueKey ("value");
    juce::StringArray present;

    for (auto child : document)
    {
        if (! child.hasType (paramType))
            continue;

        const auto id = child.getProperty (idKey).toString();
        present.add (id);

        const auto* value = child.getPropertyPointer (valueKey);

        if (value != nullptr && std::isnan ((double) *value))
            if (auto* current = parameterTree.getRawParameterValue (id))
                child.setProperty (valueKey, current->load(), nullptr);
    }

    // Added in the order the framework itself adds missing children: ascending identifier.
    juce::StringArray missing;

    for (auto* parameter : parameterTree.processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
            if (! present.contains (ranged->paramID))
                missing.add (ranged->paramID);

    missing.sort (false);

    for (const auto& id : missing)
    {
        juce::ValueTree child (paramType);
        child.setProperty (idKey, id, nullptr);
        child.setProperty (valueKey, parameterTree.getRawParameterValue (id)->load(), nullptr);
        document.appendChild (child, nullptr);
    }
}
} // namespace

juce::ValueTree CalythAudioProcessor::save_diffuser_parameters (int channel, const juce::String& type)
{
    const auto& record = *diffuserParameters[channel];
    juce::ValueTree tree (type);
    tree.setProperty (diffuserFeedKey, (double) record.feedback.load(), nullptr);
    tree.setProperty (diffuserDampKey, (double) record.damp.load(), nullptr);
    return tree;
}

juce::ValueTree CalythAudioProcessor::save_granulizer_parameters (int pole, int channel, const juce::String& type)
{
    const auto& record = *(*granulizerParameters[pole])[channel];
    const float sizeMs = kelm::singleFromDouble ((double) (record.size.load() * 1000.0f) / sampleRate.load());

    juce::ValueTree tree (type);
    tree.setProperty (densityKey, record.density.load(), nullptr);
    tree.setProperty (envelopeKey, record.envelope.load(), nullptr);
    tree.setProperty (sizeKey, (double) sizeMs, nullptr);
    tree.setProperty (speedKey, (double) record.speed.load(), nullptr);
    tree.setProperty (sizeRndKey, (double) record.sizeRnd.load(), nullptr);
    tree.setProperty (speedRndKey, (double) record.speedRnd.load(), nullptr);
    tree.setProperty (ampRndKey, (double) record.ampRnd.load(), nullptr);
    tree.setProperty (outGainKey, (double) record.gain.load(), nullptr);
    return tree;
}

juce::ValueTree CalythAudioProcessor::save_resonator_parameters (int pole, int channel, const juce::String& type)
{
    const auto& record = *(*resonatorParameters[pole])[channel];
    juce::ValueTree tree (type);
    tree.setProperty (resonatorFreqKey, (double) record.freq.load(), nullptr);
    tree.setProperty (resonatorFeedKey, (double) record.feedback.load(), nullptr);
    return tree;
}

void CalythAudioProcessor::restore_diffuser_parameters (int channel, const juce::ValueTree& tree)
{
    if (! tree.isValid())
        return;

    auto& record = *diffuserParameters[channel];
    record.feedback = readSingle (tree, diffuserFeedKey, record.feedback);
    record.damp = readSingle (tree, diffuserDampKey, record.damp);
}

void CalythAudioProcessor::restore_granulizer_parameters (int pole, int channel, const juce::ValueTree& tree)
{
    if (! tree.isValid())
        return;

    auto& record = *(*granulizerParameters[pole])[channel];
    record.density = readWholeNumber (tree, densityKey, record.density);
    record.envelope = readWholeNumber (tree, envelopeKey, record.envelope);

    // Stored in milliseconds; a missing size means 100 ms.
    const double sizeMs = readNumber (tree, sizeKey, 100.0);

    if (! std::isnan (sizeMs))
        record.size = kelm::singleFromDouble ((double) (kelm::singleFromDouble (sizeMs) * 0.001f) * sampleRate.load());

    record.speed = readSingle (tree, speedKey, record.speed);
    record.sizeRnd = readSingle (tree, sizeRndKey, record.sizeRnd);
    record.speedRnd = readSingle (tree, speedRndKey, record.speedRnd);
    record.ampRnd = readSingle (tree, ampRndKey, record.ampRnd);
    record.gain = readSingle (tree, outGainKey, record.gain);
}

void CalythAudioProcessor::restore_resonator_parameters (int pole, int channel, const juce::ValueTree& tree)
{
    if (! tree.isValid())
        return;

    auto& record = *(*resonatorParameters[pole])[channel];
    record.freq = readSingle (tree, resonatorFreqKey, record.freq);
    record.feedback = readSingle (tree, resonatorFeedKey, record.feedback);
}

void CalythAudioProcessor::appendEngineChildren (juce::ValueTree& document)
{
    for (int channel = 0; channel < numChannels; ++channel)
    {
        auto diffuser = save_diffuser_parameters (channel, diffuserKey);
        diffuser.setProperty (channelKey, channel, nullptr);
        document.appendChild (diffuser, nullptr);

        for (int pole = 0; pole < numPoles; ++pole)
        {
            auto granulizer = save_granulizer_parameters (pole, channel, granulizerKey);
            granulizer.setProperty (poleKey, pole, nullptr);
            granulizer.setProperty (channelKey, channel, nullptr);
            document.appendChild (granulizer, nullptr);

            auto resonator = save_resonator_parameters (pole, channel, resonatorKey);
            resonator.setProperty (poleKey, pole, nullptr);
            resonator.setProperty (channelKey, channel, nullptr);
            document.appendChild (resonator, nullptr);
        }
    }
}

void CalythAudioProcessor::applyEngineChildren (juce::ValueTree& document, bool readMetadata)
{
    const juce::Identifier diffuserType (diffuserKey), granulizerType (granulizerKey), resonatorType (resonatorKey),
        metadataType (metadataKey);
    const auto isPole = [] (int pole) { return pole >= 0 && pole < numPoles; };
    const auto isChannel = [] (int channel) { return channel >= 0 && channel < numChannels; };

    const int numChildren = document.getNumChildren();
    std::vector<bool> applied ((size_t) numChildren, false);
    bool anyApplied = false;

    for (int i = 0; i < numChildren; ++i)
    {
        const auto child = document.getChild (i);
        const auto type = child.getType();

        if (type == diffuserType)
        {
            const int channel = readWholeNumber (child, channelKey, -1);

            if (isChannel (channel))
            {
                restore_diffuser_parameters (channel, child);
                applied[(size_t) i] = anyApplied = true;
            }
        }
        else if (type == granulizerType || type == resonatorType)
        {
            const int pole = readWholeNumber (child, poleKey, -1);
            const int channel = readWholeNumber (child, channelKey, -1);

            if (isPole (pole) && isChannel (channel))
            {
                if (type == granulizerType)
                    restore_granulizer_parameters (pole, channel, child);
                else
                    restore_resonator_parameters (pole, channel, child);

                applied[(size_t) i] = anyApplied = true;
            }
        }
        else if (readMetadata && type == metadataType)
        {
            currentPresetName.set (child.getProperty (presetNameKey).toString());
            applied[(size_t) i] = anyApplied = true;
        }
    }

    if (! anyApplied)
        return;

    // Exactly the applied children go, whatever else shares their content; the others are put back
    // in their order, which costs one pass where removing each child by identity would cost a search.
    std::vector<juce::ValueTree> kept;
    kept.reserve ((size_t) numChildren);

    for (int i = 0; i < numChildren; ++i)
        if (! applied[(size_t) i])
            kept.push_back (document.getChild (i));

    document.removeAllChildren (nullptr);

    for (const auto& child : kept)
        document.appendChild (child, nullptr);
}

void CalythAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto document = parameterTree.copyState();
    appendEngineChildren (document);

    juce::ValueTree metadata (metadataKey);
    metadata.setProperty (presetNameKey, currentPresetName.get(), nullptr);
    document.appendChild (metadata, nullptr);

    {
        const juce::ScopedLock lock (ccMapper.getMapLock());

        if (ccMapper.ccMap.isValid())
            document.appendChild (ccMapper.ccMap.createCopy(), nullptr);
    }

    writeChunk (document, destData);
}

void CalythAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= chunkHeaderSize)
        return;

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != chunkMagic)
        return;

    const auto textLength = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (textLength <= 0)
        return;

    const auto xml = kelm::parseDocumentBytes (bytes + chunkHeaderSize,
                                               (size_t) juce::jmin (sizeInBytes - chunkHeaderSize, textLength));

    if (xml == nullptr)
        return;

    for (auto* element : xml->getChildIterator())
    {
        if (element->getTagName().equalsIgnoreCase (kelm::CCMapper::midiMapTag))
        {
            const juce::XmlElement map (*element);
            xml->removeChildElement (element, true);
            ccMapper.loadMapFromXml (map);
            break;
        }
    }

    auto document = juce::ValueTree::fromXml (*xml);

    if (! document.isValid())
        return;

    applyEngineChildren (document, true);
    keepUnsetParameterValues (document, parameterTree);
    parameterTree.replaceState (document);
}

juce::ValueTree CalythAudioProcessor::createPresetDocument()
{
    auto document = parameterTree.copyState();
    appendEngineChildren (document);
    return document;
}

bool CalythAudioProcessor::savePresetToFile (const juce::File& file)
{
    const auto xml = createPresetDocument().createXml();

    juce::XmlElement::TextFormat format;
    format.dtd = " ";
    format.customEncoding = "UTF-8";

    if (xml == nullptr)
        return false;

    juce::MemoryOutputStream text;
    xml->writeTo (text, format);

    if (! kelm::replaceFileWith (file, text.getData(), text.getDataSize()))
        return false;

    currentPresetName.set (file.getFileNameWithoutExtension());
    currentPresetPath.set (file.getFullPathName());
    return true;
}

void CalythAudioProcessor::applyPresetDocument (juce::ValueTree document)
{
    if (! document.isValid())
        return;

    applyEngineChildren (document, false);
    keepUnsetParameterValues (document, parameterTree);
    parameterTree.replaceState (document);
}

bool CalythAudioProcessor::loadPresetFromFile (const juce::File& file)
{
    // The name becomes the preset name, which the chunk stores as text.
    if (! kelm::isXmlText (file.getFileNameWithoutExtension()))
        return false;

    const auto xml = kelm::parseDocumentFile (file);

    if (xml == nullptr)
        return false;

    applyPresetDocument (juce::ValueTree::fromXml (*xml));
    currentPresetName.set (file.getFileNameWithoutExtension());
    currentPresetPath.set (file.getFullPathName());
    return true;
}
