#include "core/formats/ShownLabelFormats.h"

#include "formats/LabelFormats.h"

namespace telvar5 {

void rebuildShownLabelFormats(RunState& run)
{
    buildLabelFormats(run.labelFormatTable, run.formats, run.curInputNo);
}

} // namespace telvar5
