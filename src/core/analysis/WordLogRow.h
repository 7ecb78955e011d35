#pragma once
// One word of the sequential log as its window shows it, every field as text.
#include <string>

namespace telvar5 {

struct WordLogRow {
    std::string sinceStart; // seconds since the start of reception, to the millisecond: "12.345"
    std::string wallClock;  // ISO 8601 local time to the millisecond
    std::string channel;    // "1".."8"
    std::string label;      // octal, three digits
    std::string sdi;        // bits 9..10
    std::string data;       // bits 11..29, hex
    std::string ssm;        // bits 30..31
    std::string parity;     // "нечёт" as ARINC 429 sends it, "чёт" for a damaged word
    std::string word;       // eight hex digits
    std::string value;      // through the decimal format in force, "" without one
    std::string units;
    // Milliseconds since the label's previous word on the channel; "" for its
    // first, "в такте" when both were read in one tick, "…" not yet known.
    std::string sinceSameLabel;
};

} // namespace telvar5
