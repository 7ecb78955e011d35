#include "vdrv/Module.h"

#include <algorithm>

#include "protocol/ByteLayout.h"
#include "protocol/Requests.h"

namespace telvar5::vdrv {

Module::Module(const InterfaceConfig& config)
    : serial_(config.serial), inputs_(std::min<int>(config.inputs, kMaxChannels)),
      outputs_(std::min<int>(config.outputs, kMaxChannels)), wiring_(config.wires, inputs_, outputs_)
{
    for (int ch = 0; ch < inputs_; ++ch)
        buses_[ch] = TrafficBus(config.traffic[ch]);
    for (const FaultSetting& f : config.faults)
        faults_.apply(f);
}

bool Module::hearsTraffic(int input) const
{
    return initialised_ && input < inputs_ && receivers_[input].receiving() && buses_[input].hasTraffic()
        && inputCodeTakes(codes_[input], buses_[input].speed());
}

// Input code c hears exactly the speed of output code c.
Receiver* Module::listenerOf(int output)
{
    const int input = wiring_.inputOf(output);
    if (!initialised_ || input < 0)
        return nullptr;
    Receiver& rx = receivers_[input];
    return rx.receiving() && inputCodeTakes(codes_[input], outputSpeed(output)) ? &rx : nullptr;
}

// Every running transmitter counts, heard or not, so that its record is always
// up to date and a receiver starting later never gets words sent before it.
void Module::reschedule()
{
    nextEvent_ = kNever;
    for (int ch = 0; ch < outputs_; ++ch)
        nextEvent_ = std::min(nextEvent_, transmitters_[ch].nextWordUs());
    for (int ch = 0; ch < inputs_; ++ch) {
        if (hearsTraffic(ch))
            nextEvent_ = std::min(nextEvent_, buses_[ch].nextArrivalUs());
    }
}

void Module::advanceTo(Micros now)
{
    if (now < nextEvent_)
        return;
    // Transmitters first: a bus they give back carries traffic only after their last word.
    for (int ch = 0; ch < outputs_; ++ch)
        transmitters_[ch].sendUntil(now, listenerOf(ch));
    for (int ch = 0; ch < inputs_; ++ch) {
        if (hearsTraffic(ch))
            buses_[ch].deliverUntil(now, receivers_[ch]);
    }
    reschedule();
}

void Module::passBus(int output, Micros now)
{
    const int input = wiring_.inputOf(output);
    if (input < 0)
        return;
    const Micros end = transmitters_[output].endUs();
    if (end > now || buses_[input].held())
        buses_[input].holdUntil(end);
}

Receiver* Module::receiverFor(std::uint16_t channelNo)
{
    return channelNo >= 1 && channelNo <= inputs_ ? &receivers_[channelNo - 1] : nullptr;
}

Transmitter* Module::transmitterFor(std::uint16_t channelNo)
{
    return channelNo >= 1 && channelNo <= outputs_ ? &transmitters_[channelNo - 1] : nullptr;
}

void Module::resetModule(Micros now)
{
    for (Receiver& rx : receivers_)
        rx.reset();
    for (int ch = 0; ch < outputs_; ++ch) {
        transmitters_[ch].reset(now);
        passBus(ch, now);
    }
    codes_.fill(0);
    initialised_ = false;
    reschedule();
}

void Module::transmitRequest(Micros now, std::uint32_t code, const std::uint8_t* in)
{
    const std::uint16_t channelNo = getU16(in);
    Transmitter* tx = transmitterFor(channelNo);
    if (!tx || !initialised_)
        return;
    const int output = channelNo - 1;
    if (code == ReqSOsinglePusk) {
        tx->startSingle(now, outputWordTime(output));
    } else {
        Transmitter::Words words;
        for (std::size_t i = 0; i < kTransmitWords; ++i)
            words[i] = getU32(in + kOutputHeaderSize + 4 * i);
        if (code == ReqSOsingleLoad) {
            tx->load(words, getU16(in + 6)); // param3: the array size
            return;
        }
        tx->startCyclic(now, outputWordTime(output), words, getU16(in + 2)); // param1
    }
    passBus(output, now);
    reschedule();
}

// Choices of this module (the program relies on none of them):
// - Each of the three resets (ReqDeviceChoice, ReqDeviceReset,
//   ReqDeviceInitialization) leaves the module as a card just reset: every
//   receiver stopped with its cells empty, every transmitter idle with its
//   arrays cleared. So no word from before a reset is read back after it as
//   if it were new. ReqDeviceChoice and ReqDeviceReset also forget the bit
//   rates and leave the module uninitialised; the program always initialises
//   again before it starts a channel.
// - ReqDeviceInitialization takes the new rates, so channels run at them only
//   after a new start; a code above 2 refuses the request (nothing is reset).
// - On a module that is not initialised the channel commands (starts, loads,
//   stops, word updates) are ignored, as the hardware would not run without
//   its rates; state requests answer 0 and reads answer word 0.
// - Channel numbers outside the module's counts are accepted and ignored in
//   the same way; the fixed fields of the records (1, 0xFFFF) are not checked.
// - The u16 of the ReqSIreadWord reply is 1 when the word is new, else 0.
// - A word an output sends reaches the input it is wired to when it is complete
//   on the bus; the word on the bus at a stop or a new start is cut off, never sent.
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
        resetModule(now);
        std::copy(in, in + kFreqCodesSize, codes_.begin());
        initialised_ = true;
        return true;
    case ReqDeviceReset:
        resetModule(now);
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
    case ReqSOciclePusk:
    case ReqSOsinglePusk:
        transmitRequest(now, code, in);
        return true;
    case ReqSOstopChannel: {
        const std::uint16_t channelNo = getU16(in);
        if (Transmitter* tx = transmitterFor(channelNo); tx && initialised_) {
            tx->stop(now);
            passBus(channelNo - 1, now);
            reschedule();
        }
        return true;
    }
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
    advanceTo(now); // every running transmitter is in the next event
    return &transmitters_[channel - 1];
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
        r.listening = hearsTraffic(ch);
        r.wordsReceived = receivers_[ch].wordsReceived();
        r.lastWord = receivers_[ch].lastWord();
        if (ch < inputs_) {
            const int out = wiring_.outputOf(ch);
            r.busHeldBy = out >= 0 && transmitters_[out].running(now) ? static_cast<std::uint8_t>(out + 1) : 0;
        }
        const Transmitter& tx = transmitters_[ch];
        TransmitterSnapshot& t = s.transmitters[ch];
        t.state = tx.state(now);
        t.code = codes_[kMaxChannels + ch];
        t.count = tx.count();
        t.wordsSent = tx.wordsSent();
        t.wiredInput = ch < outputs_ ? static_cast<std::uint8_t>(wiring_.inputOf(ch) + 1) : kNotWired;
    }
    return s;
}

} // namespace telvar5::vdrv
