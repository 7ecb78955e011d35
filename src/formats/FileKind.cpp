#include "formats/FileKind.h"

#include <array>
#include <string>
#include <string_view>
#include <system_error>

namespace telvar5 {

namespace fs = std::filesystem;

namespace {

char16_t upperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool isDeviceBase(std::u16string_view base)
{
    constexpr std::array<std::u16string_view, 6> kWhole = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (const std::u16string_view name : kWhole)
        if (base == name)
            return true;
    // COM and LPT with one digit 0..9, or a superscript 1, 2 or 3.
    if (base.size() != 4 || (base.substr(0, 3) != u"COM" && base.substr(0, 3) != u"LPT"))
        return false;
    const char16_t last = base[3];
    return (last >= u'0' && last <= u'9') || last == u'\u00B9' || last == u'\u00B2' || last == u'\u00B3';
}

} // namespace

bool isWindowsDeviceName(const fs::path& path) noexcept
{
    try {
        const std::u16string text = path.u16string();
        if (text.size() >= 4 && (text[0] == u'\\' || text[0] == u'/') && (text[1] == u'\\' || text[1] == u'/') &&
            text[2] == u'.' && (text[3] == u'\\' || text[3] == u'/'))
            return true;
        // The last name, whichever separator came before it; a drive's colon ends a name too ("C:nul").
        const std::size_t cut = text.find_last_of(u"\\/:");
        std::u16string base = text.substr(cut == std::u16string::npos ? 0 : cut + 1);
        base = base.substr(0, base.find(u'.'));
        while (!base.empty() && base.back() == u' ')
            base.pop_back();
        for (char16_t& c : base)
            c = upperAscii(c);
        return isDeviceBase(base);
    } catch (...) {
        return false;
    }
}

FileKind fileKindOf(const fs::path& path) noexcept
{
#ifdef _WIN32
    if (isWindowsDeviceName(path))
        return FileKind::Other;
#endif
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found || (ec && !fs::exists(status)))
        return FileKind::Missing;
    if (fs::is_regular_file(status))
        return FileKind::Regular;
    if (fs::is_directory(status))
        return FileKind::Folder;
    return FileKind::Other;
}

} // namespace telvar5
