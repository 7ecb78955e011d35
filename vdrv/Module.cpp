#include "vdrv/Module.h"

#include <algorithm>

#include "protocol/ByteLayout.h"
#include "protocol/Requests.h"

namespace telvar5::vdrv {

Module::Module(const InterfaceConfig& config)
    : serial_(config.serial), inputs_(std::min<int>(config.inputs, kMaxChannels)),
      outputs_(std::min<int>(config.outputs, kMaxChannels))
{
    for (int ch = 0; ch < inputs_; ++ch)
        buses_[ch] = TrafficBus(config.traffic[ch]);
}

bool Module::listening(int index) const
{
    return initialised_ && index < inputs_ && receivers_[index].receiving() && buses_[index].hasTraffic()
        && inputCodeTakes(codes_[index], buses_[index].speed());
}

void Module::reschedule()
{
    nextEvent_ = kNever;
    for (int ch = 0; ch < inputs_; ++ch) {
        if (listening(ch))
            nextEvent_ = std::min(nextEvent_, buses_[ch].nextArrivalUs());
    }
}

void Module::advanceTo(Micros now)
{
    if (now < nextEvent_)
        return;
    for (int ch = 0; ch < inputs_; ++ch) {
        if (listening(ch))
            buses_[ch].deliverUntil(now, receivers_[ch]);
    }
    reschedule();
}

Receiver* Module::receiverFor(std::uint16_t channelNo)
{
    return channelNo >= 1 && channelNo <= inputs_ ? &receivers_[channelNo - 1] : nullptr;
}

Transmitter* Module::transmitterFor(std::uint16_t channelNo)
{
    return channelNo >= 1 && channelNo <= outputs_ ? &transmitters_[channelNo - 1] : nullptr;
}

void Module::stopAll(Micros now)
{
    for (Receiver& rx : receivers_)
        rx.stop();
    for (Transmitter& tx : transmitters_)
        tx.stop(now);
    reschedule();
}

void Module::resetModule(Micros now)
{
    for (Receiver& rx : receivers_)
        rx.reset();
    for (Transmitter& tx : transmitters_)
        tx.reset(now);
    codes_.fill(0);
    initialised_ = false;
    reschedule();
}

// Choices of this module (the program relies on none of them):
// - ReqDeviceReset stops every channel and leaves the module uninitialised;
//   the program always initialises again before it starts a channel.
// - ReqDeviceInitialization stops every channel too, so channels run at the
//   new rates only after a new start; a code above 2 refuses the request.
// - On a module that is not initialised the channel commands (starts, loads,
//   stops, word updates) are ignored, as the hardware would not run without
//   its rates; state requests answer 0 and reads answer word 0.
// - Channel numbers outside the module's counts are accepted and ignored in
//   the same way; the fixed fields of the records (1, 0xFFFF) are not checked.
// - The u16 of the ReqSIreadWord reply is 1 when the word is new, else 0.
bool Module::execute(Micros now, std::uint32_t code, const std::uint8_t* in, std::uint8_t* reply)
{
    switch (code) {
    case ReqSerialNumber:
        putU16(reply, serial_);
        return true;
    case ReqDeviceChoice:
        resetModule(now);
        putU16(reply, makeConfigWord(static_cast<std::uint32_t>(inputs_), static_cast<std::uint32_t>(outputs_)));
        return true;
    case ReqDeviceInitialization:
        if (std::any_of(in, in + kFreqCodesSize, [](std::uint8_t c) { return c > kMaxRateCode; }))
            return false;
        stopAll(now);
        std::copy(in, in + kFreqCodesSize, codes_.begin());
        initialised_ = true;
        return true;
    case ReqDeviceReset:
        stopAll(now);
        initialised_ = false;
        return true;
    case ReqSIstate: {
        const Receiver* rx = receiverFor(getU16(in));
        reply[0] = initialised_ && rx && rx->receiving() ? 1 : 0;
        return true;
    }
    case ReqSOstate: {
        const Transmitter* tx = transmitterFor(getU16(in));
        reply[0] = initialised_ && tx && tx->running(now) ? 1 : 0;
        return true;
    }
    case ReqSIaddressPusk:
    case ReqSIfilePusk: {
        const std::uint16_t channelNo = getU16(in);
        if (Receiver* rx = receiverFor(channelNo); rx && initialised_) {
            rx->start(code == ReqSIaddressPusk ? Receiver::Mode::Address : Receiver::Mode::File);
            buses_[channelNo - 1].resync(now);
            reschedule();
        }
        return true;
    }
    case ReqSIstopChannel:
        if (Receiver* rx = receiverFor(getU16(in)); rx && initialised_) {
            rx->stop();
            reschedule();
        }
        return true;
    case ReqSIreadWord: {
        Receiver* rx = receiverFor(getU16(in));
        const std::uint32_t word = rx && initialised_ ? rx->readCell(getU16(in + 4)) : 0;
        putU16(reply, word != 0 ? 1 : 0);
        putU32(reply + 2, word);
        return true;
    }
    case ReqSOsingleLoad:
    case ReqSOciclePusk: {
        const std::uint16_t channelNo = getU16(in);
        Transmitter* tx = transmitterFor(channelNo);
        if (!tx || !initialised_)
            return true;
        std::array<std::uint32_t, kTransmitWords> words;
        for (std::size_t i = 0; i < kTransmitWords; ++i)
            words[i] = getU32(in + kOutputHeaderSize + 4 * i);
        if (code == ReqSOsingleLoad)
            tx->load(words, getU16(in + 6)); // param3: the array size
        else
            tx->startCyclic(now, wordTimeUs(outputCodeSpeed(outputCode(channelNo))), words, getU16(in + 2)); // param1
        return true;
    }
    case ReqSOsinglePusk: {
        const std::uint16_t channelNo = getU16(in);
        if (Transmitter* tx = transmitterFor(channelNo); tx && initialised_)
            tx->startSingle(now, wordTimeUs(outputCodeSpeed(outputCode(channelNo))));
        return true;
    }
    case ReqSOstopChannel:
        if (Transmitter* tx = transmitterFor(getU16(in)); tx && initialised_)
            tx->stop(now);
        return true;
    case ReqSOwordUpdate:
        if (Transmitter* tx = transmitterFor(getU16(in)); tx && initialised_)
            tx->updateWord(now, getU16(in + 2), getU32(in + 4));
        return true;
    default:
        return false;
    }
}

bool Module::inject(Micros now, int channel, std::span<const std::uint32_t> words, std::string& error)
{
    if (channel < 1 || channel > inputs_) {
        error = "the module has no input channel " + std::to_string(channel);
        return false;
    }
    Receiver& rx = receivers_[channel - 1];
    if (!initialised_ || !rx.receiving()) {
        error = "input channel " + std::to_string(channel) + " is not receiving";
        return false;
    }
    advanceTo(now); // the bus's words that came before go first
    for (std::uint32_t w : words)
        rx.receive(w);
    return true;
}

const Transmitter* Module::transmitterAt(Micros now, int channel)
{
    if (channel < 1 || channel > outputs_)
        return nullptr;
    Transmitter& tx = transmitters_[channel - 1];
    tx.recordUntil(now);
    return &tx;
}

bool Module::consumeFault()
{
    if (faults_.vanished || faults_.failAll)
        return true;
    if (faults_.failNext > 0) {
        --faults_.failNext;
        return true;
    }
    return false;
}

ModuleSnapshot Module::snapshot(Micros now)
{
    advanceTo(now);
    ModuleSnapshot s;
    s.serial = serial_;
    s.inputs = static_cast<std::uint8_t>(inputs_);
    s.outputs = static_cast<std::uint8_t>(outputs_);
    s.initialised = initialised_;
    s.faults = faults_;
    for (int ch = 0; ch < kMaxChannels; ++ch) {
        ReceiverSnapshot& r = s.receivers[ch];
        r.mode = receivers_[ch].mode();
        r.code = codes_[ch];
        r.hasTraffic = buses_[ch].hasTraffic();
        r.busSpeed = buses_[ch].speed();
        r.listening = listening(ch);
        r.wordsReceived = receivers_[ch].wordsReceived();
        r.lastWord = receivers_[ch].lastWord();
        Transmitter& tx = transmitters_[ch];
        tx.recordUntil(now);
        TransmitterSnapshot& t = s.transmitters[ch];
        t.state = tx.state(now);
        t.code = codes_[kMaxChannels + ch];
        t.count = tx.count();
        t.wordsSent = tx.wordsSent();
    }
    return s;
}

} // namespace telvar5::vdrv
