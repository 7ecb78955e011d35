#pragma once
// Draws the texts of grid cells as runs of glyphs, each character's glyph and
// advance looked up once per font, where QPainter::drawText would shape every
// text anew. Only for a fixed-pitch font, whose characters are drawn one by one
// without kerning or ligatures, and for printable ASCII and Cyrillic letters;
// any other text goes to drawText, so the font's fallbacks still apply.
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace telvar5 {

class CellTextGlyphs {
public:
    // Glyphs from this font as the painter has it (resolved for its device); a no-op for the same font.
    void setFont(const QFont& font)
    {
        if (ready_ && font == font_)
            return;
        font_ = font;
        ready_ = true;
        glyphs_.fill(0);
        // drawText takes each script's characters from the font chosen for that script.
        const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Latin);
        if (!raw.isValid() || !QFontInfo(font).fixedPitch() || !(QRawFont::fromFont(font) == raw))
            return;
        const QRawFont cyrillic = QRawFont::fromFont(font, QFontDatabase::Cyrillic);
        const bool sameCyrillic = cyrillic.familyName() == raw.familyName()
            && cyrillic.styleName() == raw.styleName() && cyrillic.pixelSize() == raw.pixelSize();
        run_.setRawFont(raw);
        std::array<QChar, kUnits> units;
        for (std::size_t u = 0; u < kUnits; ++u)
            units[u] = QChar(static_cast<char16_t>(drawable(static_cast<char16_t>(u), sameCyrillic) ? u : 0));
        int count = static_cast<int>(kUnits);
        if (!raw.glyphIndexesForChars(units.data(), count, glyphs_.data(), &count) || count != int(kUnits)) {
            glyphs_.fill(0);
            return;
        }
        std::array<QPointF, kUnits> advances;
        raw.advancesForGlyphIndexes(glyphs_.data(), advances.data(), count);
        for (std::size_t u = 0; u < kUnits; ++u) {
            advances_[u] = advances[u].x();
            if (!drawable(static_cast<char16_t>(u), sameCyrillic))
                glyphs_[u] = 0;
        }
    }

    // Draws text with its baseline starting at (x, y), as painter.drawText(x, y, text)
    // does with the painter's font, which must be the one set here.
    void draw(QPainter& painter, int x, int y, const QString& text)
    {
        if (text.isEmpty())
            return;
        const auto size = static_cast<std::size_t>(text.size());
        if (runGlyphs_.size() < size) {
            runGlyphs_.resize(size);
            runPositions_.resize(size);
        }
        qreal advance = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const char16_t unit = text[static_cast<int>(i)].unicode();
            const quint32 glyph = unit < kUnits ? glyphs_[unit] : 0;
            if (glyph == 0) { // not a character drawn here: the font decides
                painter.drawText(x, y, text);
                return;
            }
            runGlyphs_[i] = glyph;
            runPositions_[i] = QPointF(advance, 0);
            advance += advances_[unit];
        }
        run_.setRawData(runGlyphs_.data(), runPositions_.data(), static_cast<int>(size));
        painter.drawGlyphRun(QPointF(x, y), run_);
    }

    // How far draw() advances over text as a glyph run; none for a text it leaves to drawText.
    std::optional<qreal> width(const QString& text) const
    {
        qreal advance = 0;
        for (const QChar c : text) {
            const char16_t unit = c.unicode();
            if (unit >= kUnits || glyphs_[unit] == 0)
                return std::nullopt;
            advance += advances_[unit];
        }
        return advance;
    }

private:
    // Basic Latin and Cyrillic up to the letters Windows-1251 has.
    static constexpr std::size_t kUnits = 0x460;

    static bool drawable(char16_t unit, bool cyrillic)
    {
        return (unit >= 0x20 && unit < 0x7F) || (cyrillic && unit >= 0x400 && unit < 0x460);
    }

    QFont font_;
    bool ready_ = false;
    std::array<quint32, kUnits> glyphs_{}; // 0: drawn by drawText
    std::array<qreal, kUnits> advances_{};
    std::vector<quint32> runGlyphs_;
    std::vector<QPointF> runPositions_;
    QGlyphRun run_;
};

} // namespace telvar5
