// The grain cloud engine.
#include "plugin/GrainCloud.h"

namespace
{
float hann[GrainCloud::tableSize];
float tri[GrainCloud::tableSize];
}

const float* const GrainCloud::hannTable = hann;
const float* const GrainCloud::triTable = tri;

GrainCloud::GrainCloud() {}
void GrainCloud::blockUpdate (const Parameters& newParameters) { parameters = newParameters; }
float GrainCloud::sampleUpdate (float) { return 0.0f; }
void GrainCloud::updateSamplerate (double) {}
void GrainCloud::reset() {}
