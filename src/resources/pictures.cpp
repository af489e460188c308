#include "resources/pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>

namespace res {

namespace {

// Pressed keys are tinted amber, so the key being played stands out on both key colours.
const QColor kPressedTop(255, 241, 196);
const QColor kPressedBottom(255, 200, 70);
const QColor kPressedBlackTop(196, 146, 48);
const QColor kPressedBlackBottom(112, 76, 12);

qreal screenRatio() { return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0; }

// A rectangle with rounded bottom corners: the outline of a key seen from above.
QPainterPath keyOutline(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.topRight());
    path.lineTo(r.right(), r.bottom() - radius);
    path.quadTo(r.bottomRight(), QPointF(r.right() - radius, r.bottom()));
    path.lineTo(r.left() + radius, r.bottom());
    path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - radius));
    path.closeSubpath();
    return path;
}

// A darkening that fades out downwards from the top edge: a key pushed into the keyboard.
void topShadow(QPainter& p, const QRectF& r, qreal depth, int alpha)
{
    QLinearGradient g(r.topLeft(), QPointF(r.left(), r.top() + depth));
    g.setColorAt(0, QColor(0, 0, 0, alpha));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), depth), g);
}

// One on-screen key filling `r`. A key at rest shows its front edge (a band at the bottom); a
// pressed key is tinted, shaded at the top and shows no front edge.
void drawKey(QPainter& p, const QRectF& r, bool black, bool down)
{
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min(r.width(), r.height()) * 0.18;
    const QPainterPath outline = keyOutline(body, radius);
    const qreal lip = std::max<qreal>(2.0, r.height() * 0.1);

    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (!black && !down) {
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(0.85, QColor(242, 242, 242));
        g.setColorAt(1, QColor(214, 214, 214));
    } else if (!black) {
        g.setColorAt(0, kPressedTop);
        g.setColorAt(1, kPressedBottom);
    } else if (!down) {
        g.setColorAt(0, QColor(74, 74, 78));
        g.setColorAt(0.8, QColor(24, 24, 26));
        g.setColorAt(1, QColor(60, 60, 64));
    } else {
        g.setColorAt(0, kPressedBlackTop);
        g.setColorAt(1, kPressedBlackBottom);
    }
    p.fillPath(outline, g);

    p.save();
    p.setClipPath(outline);
    if (down) {
        topShadow(p, r, r.height() * 0.14, black ? 140 : 90);
    } else {
        // Front edge of the key at rest.
        const qreal y = r.bottom() - lip;
        p.fillRect(QRectF(r.left(), y, r.width(), lip), black ? QColor(255, 255, 255, 28) : QColor(0, 0, 0, 14));
        p.setPen(QPen(black ? QColor(110, 110, 116) : QColor(190, 190, 190), 1.0));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        if (black) {
            // Light catching the left edge of a black key.
            p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
            p.drawLine(QPointF(r.left() + 1.5, r.top() + 1), QPointF(r.left() + 1.5, y - 1));
        }
    }
    p.restore();

    QColor border = black ? QColor(0, 0, 0) : QColor(90, 90, 90);
    if (down) border = black ? QColor(48, 32, 0) : QColor(150, 110, 30);
    p.setPen(QPen(border, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
}

enum class Symbol { Play, Stop, Record };

// A recorder button filling `r`: raised when idle, pushed in when active, and then its symbol
// is drawn smaller and brighter.
void drawRecorderButton(QPainter& p, const QRectF& r, Symbol symbol, bool active)
{
    const qreal s = std::min(r.width(), r.height());
    const QRectF face = r.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = s * 0.16;

    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, active ? QColor(190, 190, 194) : QColor(250, 250, 252));
    g.setColorAt(1, active ? QColor(226, 226, 230) : QColor(206, 206, 212));
    p.setPen(QPen(active ? QColor(80, 80, 86) : QColor(128, 128, 136), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(face, radius, radius);
    if (active) {
        QPainterPath clip;
        clip.addRoundedRect(face, radius, radius);
        p.save();
        p.setClipPath(clip);
        topShadow(p, r, s * 0.2, 80);
        p.restore();
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
        p.drawLine(QPointF(face.left() + radius, face.top() + 1), QPointF(face.right() - radius, face.top() + 1));
    }

    const qreal size = s * (active ? 0.38 : 0.52);
    const QPointF c = r.center() + (active ? QPointF(s * 0.03, s * 0.03) : QPointF());
    QPainterPath shape;
    QColor colour;
    switch (symbol) {
    case Symbol::Play: {
        // A triangle pointing right, shifted so that it looks centred.
        const qreal h = size;
        const qreal w = size * 0.9;
        const QPointF o = c + QPointF(w * 0.08, 0);
        shape.moveTo(o + QPointF(-w / 2, -h / 2));
        shape.lineTo(o + QPointF(w / 2, 0));
        shape.lineTo(o + QPointF(-w / 2, h / 2));
        shape.closeSubpath();
        colour = active ? QColor(40, 190, 80) : QColor(28, 140, 60);
        break;
    }
    case Symbol::Stop: {
        const qreal side = size * 0.86;
        shape.addRect(QRectF(c.x() - side / 2, c.y() - side / 2, side, side));
        colour = active ? QColor(60, 90, 140) : QColor(44, 62, 88);
        break;
    }
    case Symbol::Record:
        shape.addEllipse(c, size / 2, size / 2);
        colour = active ? QColor(255, 59, 48) : QColor(200, 32, 40);
        break;
    }
    p.setPen(QPen(colour.darker(150), std::max<qreal>(1.0, s / 28.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(shape);
}

// An eighth note whose head is centred on `head`; `unit` is the width of the head.
QPainterPath eighthNote(const QPointF& head, qreal unit)
{
    QPainterPath ellipse;
    ellipse.addEllipse(QPointF(0, 0), unit / 2, unit * 0.36);
    QTransform t;
    t.translate(head.x(), head.y());
    t.rotate(-22);
    QPainterPath note = t.map(ellipse);

    const qreal stemW = unit * 0.14;
    const qreal stemX = head.x() + unit * 0.44 - stemW;
    const qreal stemTop = head.y() - unit * 2.6;
    note.addRect(QRectF(stemX, stemTop, stemW, head.y() - stemTop - unit * 0.1));

    QPainterPath flag;
    flag.moveTo(stemX + stemW, stemTop);
    flag.cubicTo(QPointF(stemX + stemW + unit * 0.2, stemTop + unit * 0.7),
                 QPointF(stemX + stemW + unit * 1.1, stemTop + unit * 0.9),
                 QPointF(stemX + stemW + unit * 0.7, stemTop + unit * 1.9));
    flag.cubicTo(QPointF(stemX + stemW + unit * 0.85, stemTop + unit * 1.2),
                 QPointF(stemX + stemW + unit * 0.3, stemTop + unit * 1.0),
                 QPointF(stemX + stemW, stemTop + unit * 0.75));
    flag.closeSubpath();
    note.addPath(flag);
    note.setFillRule(Qt::WindingFill);
    return note.simplified();
}

// The start-up picture, designed on a 400 x 290 canvas and scaled to `r`: a light background
// that keeps any text on it readable, the program's name at the top, a few notes on a staff,
// and a keyboard along the bottom with two keys being played.
void drawStartup(QPainter& p, const QRectF& r)
{
    constexpr qreal W = 400, H = 290;
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / W, r.height() / H);

    QLinearGradient bg(0, 0, 0, H);
    bg.setColorAt(0, QColor(255, 250, 238));
    bg.setColorAt(1, QColor(246, 232, 206));
    p.fillRect(QRectF(0, 0, W, H), bg);

    // Staff behind the title, with notes on both sides of it.
    p.setPen(QPen(QColor(176, 132, 80, 70), 1.0));
    for (int i = 0; i < 5; ++i) {
        const qreal y = 22 + i * 9;
        p.drawLine(QPointF(0, y), QPointF(W, y));
    }
    const QPointF notes[] = {{24, 58}, {48, 53.5}, {72, 49}, {332, 44.5}, {356, 49}, {380, 53.5}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 60, 40, 120));
    for (const QPointF& n : notes) p.drawPath(eighthNote(n, 9));

    // Title with a soft shadow.
    QFont title;
    title.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                       QStringLiteral("AR PL UKai CN")});
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    const QRectF titleBox(0, 14, W, 56);
    p.setPen(QColor(0, 0, 0, 50));
    p.drawText(titleBox.translated(2, 2), Qt::AlignCenter, QStringLiteral("Velqor电子琴"));
    p.setPen(QColor(120, 30, 30));
    p.drawText(titleBox, Qt::AlignCenter, QStringLiteral("Velqor电子琴"));

    p.setPen(QPen(QColor(176, 64, 48), 2.0));
    p.drawLine(QPointF(110, 76), QPointF(290, 76));

    // Keyboard: a dark case with 15 white keys and their black keys.
    const QRectF caseRect(6, 216, W - 12, 70);
    QLinearGradient cg(caseRect.topLeft(), caseRect.bottomLeft());
    cg.setColorAt(0, QColor(60, 52, 64));
    cg.setColorAt(1, QColor(28, 24, 32));
    p.setBrush(cg);
    p.setPen(QPen(QColor(20, 16, 24), 1.0));
    p.drawRoundedRect(caseRect, 7, 7);
    p.setPen(QPen(QColor(190, 60, 50), 2.0));
    p.drawLine(QPointF(caseRect.left() + 8, caseRect.top() + 5), QPointF(caseRect.right() - 8, caseRect.top() + 5));

    const int whiteCount = 15;
    const QRectF keys(14, 224, W - 28, 56);
    const qreal kw = keys.width() / whiteCount;
    const int playedWhite = 4;  // the keys shown pressed
    for (int i = 0; i < whiteCount; ++i)
        drawKey(p, QRectF(keys.left() + i * kw, keys.top(), kw, keys.height()), false, i == playedWhite);
    // Black keys follow the white keys C, D, F, G and A of each octave.
    const bool hasBlack[7] = {true, true, false, true, true, true, false};
    int blackIndex = 0;
    for (int i = 0; i + 1 < whiteCount; ++i) {
        if (!hasBlack[i % 7]) continue;
        const qreal bw = kw * 0.6;
        const QRectF b(keys.left() + (i + 1) * kw - bw / 2, keys.top(), bw, keys.height() * 0.6);
        drawKey(p, b, true, blackIndex == 6);
        ++blackIndex;
    }
    p.restore();
}

// The picture `id` drawn into `r`; false for an id without a picture.
bool drawPicture(QPainter& p, int id, const QRectF& r)
{
    switch (id) {
    case WhiteKeyUp: drawKey(p, r, false, false); return true;
    case WhiteKeyDown: drawKey(p, r, false, true); return true;
    case BlackKeyUp: drawKey(p, r, true, false); return true;
    case BlackKeyDown: drawKey(p, r, true, true); return true;
    case StartupPicture: drawStartup(p, r); return true;
    case PlayIdle: drawRecorderButton(p, r, Symbol::Play, false); return true;
    case PlayActive: drawRecorderButton(p, r, Symbol::Play, true); return true;
    case StopIdle: drawRecorderButton(p, r, Symbol::Stop, false); return true;
    case StopActive: drawRecorderButton(p, r, Symbol::Stop, true); return true;
    case RecordIdle: drawRecorderButton(p, r, Symbol::Record, false); return true;
    case RecordActive: drawRecorderButton(p, r, Symbol::Record, true); return true;
    default: return false;
    }
}

// A transparent pixmap of `size` logical pixels at pixel ratio `ratio`.
QPixmap blankPixmap(const QSize& size, qreal ratio)
{
    QPixmap pm(QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

}  // namespace

QSize pictureSize(int id)
{
    switch (id) {
    case WhiteKeyUp:
    case WhiteKeyDown:
    case BlackKeyUp:
    case BlackKeyDown: return QSize(15, 60);
    case StartupPicture: return QSize(400, 290);
    case PlayIdle:
    case PlayActive:
    case StopIdle:
    case StopActive:
    case RecordIdle:
    case RecordActive: return QSize(28, 28);
    default: return QSize();
    }
}

QPixmap LoadResPicture(int id) { return LoadResPicture(id, pictureSize(id)); }

QPixmap LoadResPicture(int id, const QSize& size)
{
    if (pictureSize(id).isEmpty() || size.isEmpty()) return QPixmap();
    QPixmap pm = blankPixmap(size, screenRatio());
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawPicture(p, id, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

QCursor LoadResCursor(int id)
{
    if (id != PlayingCursor) return QCursor(Qt::ArrowCursor);
    // A black eighth note with a white rim, so that it shows on white and black keys alike;
    // the hot spot is the centre of the note head.
    const QSize size(32, 32);
    const QPointF head(9, 24);
    QPixmap pm = blankPixmap(size, screenRatio());
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath note = eighthNote(head, 10);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(note);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(note);
    p.end();
    return QCursor(pm, qRound(head.x()), qRound(head.y()));
}

}  // namespace res
