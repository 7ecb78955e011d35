#include "vdrv/LoopbackWiring.h"

namespace telvar5::vdrv {

void LoopbackWiring::clear()
{
    inputOf_.fill(-1);
    outputOf_.fill(-1);
}

LoopbackWiring::LoopbackWiring(const OutputWires& wires, int inputs, int outputs)
{
    clear();
    for (int out = 0; out < outputs && out < kMaxChannels; ++out) {
        const int in = wires[static_cast<std::size_t>(out)] - 1; // kNotWired gives -1
        if (in < 0 || in >= inputs || in >= kMaxChannels || outputOf_[static_cast<std::size_t>(in)] >= 0)
            continue;
        inputOf_[static_cast<std::size_t>(out)] = static_cast<std::int8_t>(in);
        outputOf_[static_cast<std::size_t>(in)] = static_cast<std::int8_t>(out);
    }
}

} // namespace telvar5::vdrv
