#include "formats/InputGridText.h"

#include "formats/DecimalText.h"
#include "formats/WordText.h"

namespace telvar5 {

std::string_view inputGridCellText(int column, int cellIndex, std::uint32_t word, std::uint32_t cycleNo,
                                   const LabelFormatTable& labelFormats, CellText& out)
{
    switch (column) {
    case 0: return cellNumberText(cellIndex, out);
    case 1: return inputAddressText(word, out);
    case 2: return inputCodeHexText(word, out);
    case 3: return codeOctalText(word, out);
    case 4: return ssmText(word, out);
    case 5: return decimalText(word, labelFormats, out);
    case 6: return codeBinaryText(word, out);
    case 7: return cycleNumberText(cycleNo, out);
    default:
        out.clear();
        return out.view();
    }
}

} // namespace telvar5
