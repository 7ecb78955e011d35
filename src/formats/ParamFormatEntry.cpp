#include "formats/ParamFormatEntry.h"

#include "formats/FieldText.h"

namespace telvar5 {

std::string_view ParamFormatEntry::formatTag() const
{
    return fieldText(bytes.data() + kTagOffset, kTagSize);
}

void ParamFormatEntry::setFormatTag(std::string_view text)
{
    setFieldText(bytes.data() + kTagOffset, kTagSize - 1, text);
}

bool ParamFormatEntry::inUse() const
{
    return label() != 0 && channel() != 0 && bytes[kTagOffset] != 0;
}

} // namespace telvar5
