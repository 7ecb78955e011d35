#pragma once
// The host's journal: one line for each request that crossed the stand-in
// driver, with every byte as it went, so a test can hold it against the
// protocol table:
//   #12 control if=0 0x2220EC ReqSIreadWord in=6: 01 00 01 00 05 00 out=6/6: 00 00 83 e0 01 60 ok
//   #13 control if=0 0x2220E8 ReqSIstate in=2: 01 00 out=0/2 error 1167
//   #1 open if=2 handle 0x1000 ok          #2 open if=1 error 5          #9 close handle 0x1000
#include <cstdint>
#include <string>

#include "standin/StandInExchange.h"

namespace telvar5::standin {

std::string journalLine(const T5siRequest& request, const T5siReply& reply);

} // namespace telvar5::standin
