#include "core/device/RequestFailureText.h"

#include <array>
#include <cstdio>
#include <utility>

#include "protocol/Requests.h"

namespace telvar5 {

namespace {

// Every request of the protocol, in the words of the command that sends it.
constexpr std::array<std::pair<std::uint32_t, const char*>, kRequestTable.size()> kPurposes{{
    {ReqDeviceChoice, "сбросить модуль при выборе"},
    {ReqDeviceInitialization, "инициализировать модуль"},
    {ReqDeviceReset, "остановить модуль"},
    {ReqSOsingleLoad, "загрузить массив для однократной выдачи"},
    {ReqSOsinglePusk, "запустить однократную выдачу"},
    {ReqSOstate, "узнать состояние выходного канала"},
    {ReqSOciclePusk, "запустить циклическую выдачу"},
    {ReqSOstopChannel, "остановить выдачу в выходном канале"},
    {ReqSOwordUpdate, "заменить слово при циклической выдаче"},
    {ReqSIaddressPusk, "запустить адресный прием"},
    {ReqSIstopChannel, "остановить прием во входном канале"},
    {ReqSIfilePusk, "запустить файловый прием"},
    {ReqSerialNumber, "прочитать серийный номер модуля"},
    {ReqSIstate, "узнать состояние входного канала"},
    {ReqSIreadWord, "прочитать слово из буфера приема"},
}};

// The errors a device request fails with on Windows: those the driver's
// statuses turn into, and those of a device that is gone or busy.
constexpr std::pair<std::uint32_t, const char*> kSystemErrors[] = {
    {1, "драйвер не знает такого запроса"},
    {2, "устройство не найдено"},
    {5, "отказано в доступе"},
    {6, "дескриптор устройства недействителен: модуль отключался, выберите его снова"},
    {8, "не хватает памяти"},
    {21, "устройство не готово"},
    {22, "устройство не понимает команду"},
    {31, "устройство не работает"},
    {50, "запрос не поддерживается"},
    {55, "устройство недоступно"},
    {87, "неверные параметры запроса"},
    {121, "истекло время ожидания"},
    {122, "мало места для ответа"},
    {170, "устройство занято"},
    {259, "модуль не найден"},
    {433, "устройство не существует"},
    {995, "запрос прерван"},
    {1117, "ошибка ввода-вывода устройства"},
    {1167, "устройство не подключено"},
    {1460, "истекло время ожидания"},
    {1784, "неверный буфер запроса"},
};

} // namespace

std::string requestPurpose(std::uint32_t code)
{
    for (const auto& [known, purpose] : kPurposes)
        if (known == code)
            return purpose;
    char text[48];
    std::snprintf(text, sizeof text, "выполнить запрос 0x%06X", static_cast<unsigned>(code));
    return text;
}

std::string systemErrorMeaning(std::uint32_t systemError)
{
    for (const auto& [known, meaning] : kSystemErrors)
        if (known == systemError)
            return meaning;
    return {};
}

std::string requestFailureReason(bool completed, std::uint32_t bytesReturned, std::uint32_t replySize,
                                 std::uint32_t systemError)
{
    if (completed)
        return "ответ неполный (" + std::to_string(bytesReturned) + " из " + std::to_string(replySize) + " байт)";
    if (systemError == 0)
        return "модуль не ответил";
    const std::string meaning = systemErrorMeaning(systemError);
    const std::string number = "ошибка " + std::to_string(systemError);
    return meaning.empty() ? "системная " + number : meaning + " (" + number + ")";
}

std::string requestFailureText(std::uint32_t code, const std::string& reason)
{
    std::string text = "не удалось " + requestPurpose(code);
    if (const RequestInfo* info = findRequest(code))
        text += " (" + std::string(info->name) + ")";
    return text + ": " + reason;
}

} // namespace telvar5
