#pragma once
// The per-label formats of the displayed input channel, rebuilt from the
// format tables: on a change of input channel, at initialisation, and when
// either formats editor closes, so the input grid shows edited formats at once.
#include "core/RunState.h"

namespace telvar5 {

void rebuildShownLabelFormats(RunState& run);

} // namespace telvar5
