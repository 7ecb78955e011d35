#include "gui/IconSet.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace telvar5 {

namespace {

// Every icon is drawn on a 16 x 16 grid; the painter scales it to the pixmap.
const QColor kInk(40, 40, 40);
const QColor kGo(0, 150, 40);
const QColor kStop(210, 30, 30);
const QColor kInput(30, 100, 200);
const QColor kOutput(216, 112, 0);
const QColor kPaper(252, 252, 246);
const QColor kChip(55, 55, 60);
const QColor kBoard(20, 120, 60);
const QColor kGold(220, 180, 40);

QPen pen(const QColor& colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void play(QPainter& p, qreal x, qreal y, qreal h, const QColor& colour = kGo)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + h * 0.85, y + h / 2);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(pen(colour.darker(140), 0.8));
    p.setBrush(colour);
    p.drawPath(path);
}

void stopSquare(QPainter& p, const QRectF& r)
{
    p.setPen(pen(kStop.darker(140), 0.8));
    p.setBrush(kStop);
    p.drawRoundedRect(r, 1, 1);
}

// A vertical arrow: down (into the module) or up (out of it).
void arrow(QPainter& p, qreal x, qreal top, qreal bottom, bool down, const QColor& colour)
{
    p.setPen(pen(colour, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    const qreal tip = down ? bottom : top;
    const qreal back = down ? tip - 3 : tip + 3;
    QPainterPath head;
    head.moveTo(x - 2.6, back);
    head.lineTo(x, tip + (down ? 1 : -1));
    head.lineTo(x + 2.6, back);
    head.closeSubpath();
    p.setPen(pen(colour, 0.6));
    p.setBrush(colour);
    p.drawPath(head);
}

void sheet(QPainter& p, const QRectF& r = QRectF(2.5, 0.5, 11, 15))
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(pen(QColor(110, 110, 110)));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void chip(QPainter& p)
{
    p.setPen(pen(QColor(150, 150, 150), 1.0));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 3.5 + i * 3;
        p.drawLine(QPointF(0.5, y), QPointF(3, y));
        p.drawLine(QPointF(13, y), QPointF(15.5, y));
    }
    p.setPen(pen(Qt::black, 0.8));
    p.setBrush(kChip);
    p.drawRoundedRect(QRectF(3, 1.5, 10, 13), 1, 1);
    p.setBrush(QColor(200, 200, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(4.5, 3, 2, 2));
}

void text(QPainter& p, const QRectF& r, const QString& s, const QColor& colour, int px, bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(px);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, s);
}

void draw(QPainter& p, int index)
{
    switch (index) {
    case 0: // blank document
        sheet(p);
        break;
    case 1: { // pencil
        p.translate(8, 8);
        p.rotate(45);
        p.setPen(pen(kInk, 0.8));
        p.setBrush(QColor(240, 190, 40));
        p.drawRect(QRectF(-2, -7, 4, 10));
        QPainterPath tip;
        tip.moveTo(-2, 3);
        tip.lineTo(0, 7);
        tip.lineTo(2, 3);
        tip.closeSubpath();
        p.setBrush(QColor(240, 210, 170));
        p.drawPath(tip);
        break;
    }
    case 2: // arrows left, right, up, down
    case 3:
    case 4:
    case 5: {
        p.translate(8, 8);
        p.rotate(index == 2 ? 180 : index == 3 ? 0 : index == 4 ? -90 : 90);
        QPainterPath path;
        path.moveTo(-6, -2);
        path.lineTo(1, -2);
        path.lineTo(1, -6);
        path.lineTo(7, 0);
        path.lineTo(1, 6);
        path.lineTo(1, 2);
        path.lineTo(-6, 2);
        path.closeSubpath();
        p.setPen(pen(kInput.darker(140), 0.8));
        p.setBrush(kInput);
        p.drawPath(path);
        break;
    }
    case 6: // plus
    case 7: // minus
        p.setPen(Qt::NoPen);
        p.setBrush(index == 6 ? kGo : kStop);
        p.drawRect(QRectF(2, 6.5, 12, 3));
        if (index == 6)
            p.drawRect(QRectF(6.5, 2, 3, 12));
        break;
    case 8: // magnifier
        p.setPen(pen(kInk, 2.0));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
        p.setPen(pen(kInk, 1.2));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        break;
    case 9: // information
        p.setPen(Qt::NoPen);
        p.setBrush(kInput);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        text(p, QRectF(0, 0, 16, 16), QStringLiteral("i"), Qt::white, 12);
        break;
    case icon::Help:
        p.setPen(Qt::NoPen);
        p.setBrush(kInput);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        text(p, QRectF(0, 0.5, 16, 16), QStringLiteral("?"), Qt::white, 13);
        break;
    case icon::SIstop:
        stopSquare(p, QRectF(0.5, 3.5, 9, 9));
        arrow(p, 13, 2, 13, true, kInput);
        break;
    case icon::SOstop:
        stopSquare(p, QRectF(0.5, 3.5, 9, 9));
        arrow(p, 13, 3, 14, false, kOutput);
        break;
    case icon::SIaddress: // start, words go to their cells
        play(p, 0.5, 2.5, 11);
        p.setPen(pen(kInput.darker(130), 0.8));
        p.setBrush(QColor(210, 228, 250));
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF(10.5, 1.5 + i * 4.5, 5, 4));
        break;
    case icon::Exit: { // a door with an arrow going out
        p.setPen(pen(QColor(90, 60, 30), 0.8));
        p.setBrush(QColor(170, 120, 70));
        p.drawRect(QRectF(1.5, 1.5, 8, 13));
        p.setBrush(kGold);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(6.5, 8, 1.6, 1.6));
        p.setPen(pen(kStop, 1.8));
        p.drawLine(QPointF(6, 5), QPointF(13, 5));
        QPainterPath head;
        head.moveTo(11.5, 2);
        head.lineTo(15.5, 5);
        head.lineTo(11.5, 8);
        head.closeSubpath();
        p.setPen(pen(kStop, 0.6));
        p.setBrush(kStop);
        p.drawPath(head);
        break;
    }
    case icon::SIfile: // start, words go one after another into a file
        play(p, 0.5, 2.5, 11);
        p.setPen(pen(kInput.darker(130), 0.8));
        p.setBrush(QColor(210, 228, 250));
        p.drawRect(QRectF(9.5, 1.5, 6, 13));
        p.setPen(pen(kInput, 1.0));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(11, 4 + i * 3), QPointF(14, 4 + i * 3));
        break;
    case icon::SOcyclic: { // a loop
        p.setPen(pen(kGo, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(1.5, 2.5, 11, 11), 100 * 16, 290 * 16);
        QPainterPath head;
        head.moveTo(5, 0.5);
        head.lineTo(9, 3);
        head.lineTo(5, 5.8);
        head.closeSubpath();
        p.setPen(pen(kGo, 0.6));
        p.setBrush(kGo);
        p.drawPath(head);
        arrow(p, 13.5, 6, 15, false, kOutput);
        break;
    }
    case icon::SOsingle: // start once: play and a bar
        play(p, 0.5, 3, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(kGo.darker(120));
        p.drawRect(QRectF(8.5, 3, 2, 10));
        arrow(p, 13.5, 3, 14, false, kOutput);
        break;
    case icon::Open: { // a folder
        p.setPen(pen(QColor(150, 110, 20), 0.8));
        p.setBrush(QColor(240, 200, 80));
        QPainterPath back;
        back.moveTo(0.5, 3);
        back.lineTo(5.5, 3);
        back.lineTo(7, 4.5);
        back.lineTo(14.5, 4.5);
        back.lineTo(14.5, 13.5);
        back.lineTo(0.5, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        QPainterPath front;
        front.moveTo(2.5, 7);
        front.lineTo(15.5, 7);
        front.lineTo(14.5, 13.5);
        front.lineTo(0.5, 13.5);
        front.closeSubpath();
        p.setBrush(QColor(252, 222, 120));
        p.drawPath(front);
        break;
    }
    case icon::Save: // a diskette
        p.setPen(pen(QColor(20, 50, 110), 0.8));
        p.setBrush(QColor(50, 100, 190));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(30, 60, 130));
        p.drawRect(QRectF(9, 2.5, 1.5, 3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 9, 9, 5.5));
        break;
    case icon::DeviceChoice: { // a board and a magnifier: find and pick a module
        p.setPen(pen(kBoard.darker(150), 0.8));
        p.setBrush(kBoard);
        p.drawRect(QRectF(0.5, 1.5, 12, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(kGold);
        for (int i = 0; i < 5; ++i)
            p.drawRect(QRectF(2 + i * 2, 10.5, 1, 2));
        p.setBrush(kChip);
        p.drawRect(QRectF(3, 3.5, 4, 4));
        p.setPen(pen(kInk, 2.0));
        p.drawLine(QPointF(12, 12), QPointF(15, 15));
        p.setPen(pen(kInk, 1.0));
        p.setBrush(QColor(200, 230, 255, 220));
        p.drawEllipse(QRectF(7.5, 6.5, 6, 6));
        break;
    }
    case icon::Timer: { // a clock
        p.setPen(pen(kInk, 1.0));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(pen(QColor(120, 120, 120), 0.8));
        for (int i = 0; i < 12; i += 3) {
            const qreal a = i * std::numbers::pi / 6;
            p.drawLine(QPointF(8 + 5.2 * std::sin(a), 8 - 5.2 * std::cos(a)),
                       QPointF(8 + 6.2 * std::sin(a), 8 - 6.2 * std::cos(a)));
        }
        p.setPen(pen(kInk, 1.4));
        p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
        p.setPen(pen(kStop, 1.2));
        p.drawLine(QPointF(8, 8), QPointF(11.5, 10));
        break;
    }
    case icon::DeviceReset: // the module stopped
        chip(p);
        stopSquare(p, QRectF(7, 7, 8.5, 8.5));
        break;
    case icon::Clear: // the array set to zero
        sheet(p);
        p.setPen(pen(kInput, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 4.5, 5, 8));
        break;
    case icon::Test: { // the array filled with a test pattern
        sheet(p);
        QPainterPath steps;
        steps.moveTo(4, 13);
        steps.lineTo(4, 11);
        steps.lineTo(6.5, 11);
        steps.lineTo(6.5, 8);
        steps.lineTo(9, 8);
        steps.lineTo(9, 5);
        steps.lineTo(11.5, 5);
        steps.lineTo(11.5, 3);
        p.setPen(pen(QColor(140, 40, 170), 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(steps);
        break;
    }
    case icon::DeviceInit: { // the module started
        chip(p);
        p.setPen(pen(Qt::white, 0.8));
        p.setBrush(kGo);
        p.drawEllipse(QRectF(6.5, 6.5, 9, 9));
        play(p, 9.5, 8.5, 5, Qt::white);
        break;
    }
    case icon::Formats: // decimal formats: a number with a decimal point
        p.setPen(pen(QColor(110, 110, 110), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 3.5, 15, 9));
        text(p, QRectF(0, 3, 16, 10), QStringLiteral("0,5"), kInput.darker(120), 8);
        break;
    case icon::ParamFormats: { // a table: label -> format
        p.setPen(pen(QColor(110, 110, 110), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 1.5, 15, 13));
        p.setBrush(QColor(210, 228, 250));
        p.drawRect(QRectF(0.5, 1.5, 6, 13));
        for (int i = 1; i < 3; ++i)
            p.drawLine(QPointF(0.5, 1.5 + i * 13.0 / 3), QPointF(15.5, 1.5 + i * 13.0 / 3));
        p.setPen(pen(kOutput, 1.2));
        for (int i = 0; i < 3; ++i) {
            const qreal y = 3.7 + i * 13.0 / 3;
            p.drawLine(QPointF(8.5, y), QPointF(13.5, y));
        }
        break;
    }
    default:
        break;
    }
}

QPixmap render(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p, index);
    return pixmap;
}

} // namespace

IconSet::IconSet()
{
    for (int i = 0; i < kCount; ++i) {
        icons_[static_cast<std::size_t>(i)].addPixmap(render(i, 16));
        icons_[static_cast<std::size_t>(i)].addPixmap(render(i, 32));
    }
}

QIcon IconSet::at(int index) const
{
    if (index < 0 || index >= kCount)
        return {};
    return icons_[static_cast<std::size_t>(index)];
}

} // namespace telvar5
