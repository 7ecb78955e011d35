#pragma once
// A failed request in the user's words: what the program was doing, and what
// the system's error means, with the request's name and the error's number
// kept for whoever looks further. Texts are UTF-8.
#include <cstdint>
#include <string>

namespace telvar5 {

// What a request does, as an infinitive: "прочитать слово из буфера приема".
std::string requestPurpose(std::uint32_t code);

// The meaning of a system error code a request may fail with
// ("устройство не подключено" for 1167); empty for a code not in the table.
std::string systemErrorMeaning(std::uint32_t systemError);

// Why a request failed: the system error's meaning and number, "модуль не
// ответил" when the system told no error, or the size of a reply that came
// short of the bytes the program reads (completed, bytesReturned < replyRead).
std::string requestFailureReason(bool completed, std::uint32_t bytesReturned, std::uint32_t replySize,
                                 std::uint32_t systemError);

// "не удалось прочитать слово из буфера приема (ReqSIreadWord): устройство не
// подключено (ошибка 1167)".
std::string requestFailureText(std::uint32_t code, const std::string& reason);

} // namespace telvar5
