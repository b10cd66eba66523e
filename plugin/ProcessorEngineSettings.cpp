// Drawing the engine settings at random.
#include "plugin/PluginProcessor.h"

void CalythAudioProcessor::regenerateWorld() {}
void CalythAudioProcessor::regeneratePole (int) {}
void CalythAudioProcessor::randomizeGranulizer (int, int) {}
