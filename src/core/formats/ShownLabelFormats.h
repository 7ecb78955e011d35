#pragma once
// The per-label formats of the displayed input channel, rebuilt from the
// format tables. Either formats editor does it on closing, so the input grid
// shows the edited formats at once, not at the next change of channel.
#include "core/RunState.h"

namespace telvar5 {

void rebuildShownLabelFormats(RunState& run);

} // namespace telvar5
