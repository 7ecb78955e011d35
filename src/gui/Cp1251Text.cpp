#include "gui/Cp1251Text.h"

namespace telvar5 {

QString textFromCp1251(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = qcharFromCp1251(byte);
    return text;
}

std::string cp1251FromText(QStringView text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character, and none the code page has.
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const std::optional<std::uint8_t> byte = pair ? std::nullopt : cp1251FromChar(text[i].unicode());
        bytes.push_back(byte ? static_cast<char>(*byte) : kCp1251Substitute);
        if (pair)
            ++i;
    }
    return bytes;
}

} // namespace telvar5
