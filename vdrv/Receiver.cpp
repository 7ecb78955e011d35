#include "vdrv/Receiver.h"

namespace telvar5::vdrv {

void Receiver::start(Mode mode)
{
    cells_.fill(0);
    fresh_.reset();
    fileIndex_ = 0;
    mode_ = mode;
}

void Receiver::reset()
{
    *this = Receiver{};
}

void Receiver::receive(std::uint32_t word)
{
    if (mode_ == Mode::Stopped)
        return;
    const std::uint8_t cell = mode_ == Mode::Address ? static_cast<std::uint8_t>(word & 0xFFu) : fileIndex_++;
    cells_[cell] = word;
    fresh_.set(cell);
    ++wordsReceived_;
    lastWord_ = word;
}

void Receiver::skip(std::uint64_t n)
{
    if (mode_ == Mode::Stopped)
        return;
    wordsReceived_ += n;
    if (mode_ == Mode::File)
        fileIndex_ = static_cast<std::uint8_t>(fileIndex_ + n % kCells);
}

std::uint32_t Receiver::readCell(std::uint16_t cell)
{
    if (cell >= kCells || !fresh_.test(cell))
        return 0;
    fresh_.reset(cell);
    return cells_[cell];
}

} // namespace telvar5::vdrv
