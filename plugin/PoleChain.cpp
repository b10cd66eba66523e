// Resonator, diffuser and DC blocker.
#include "plugin/PoleChain.h"

void ResonatorState::blockUpdate (const ResonatorParameters&, double) {}
float ResonatorState::sampleUpdate (float input) { return input; }
void ResonatorState::reset() {}

AllpassDelayLine::AllpassDelayLine (float g, int d) : gain (g), delay (d) {}

DiffuserState::DiffuserState() : lines { { 0.72f, 1146 }, { 0.73f, 1411 }, { 0.76f, 1808 } } {}
void DiffuserState::blockUpdate (const DiffuserParameters&) {}
float DiffuserState::sampleUpdate (float) { return 0.0f; }
void DiffuserState::updateSamplerate (double) {}

void DcBlocker::updateSamplerate (double) {}
float DcBlocker::sampleUpdate (float x) { return x; }
