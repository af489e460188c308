#include "keyboard/keyboard_map.h"

#include "keyboard/key_table.h"

#include <QPainter>
#include <algorithm>

namespace keyboard {

namespace {

struct Register {
    QChar letter;
    const char* name;
};
const Register kRegisters[] = {
    {'L', "最低音"}, {'W', "低音"}, {'K', "中音"}, {'H', "高音"}, {'M', "最高音"},
};

// Solfège digit of a note letter (C = 1 .. B = 7).
int degreeOf(QChar note) { return QStringLiteral("CDEFGAB").indexOf(note) + 1; }

}  // namespace

QString keyCapText(int keyCode)
{
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z')) return QString(QChar(keyCode));
    switch (keyCode) {
    case 186: return QStringLiteral(";");
    case 187: return QStringLiteral("=");
    case 188: return QStringLiteral(",");
    case 189: return QStringLiteral("-");
    case 190: return QStringLiteral(".");
    case 191: return QStringLiteral("/");
    case 219: return QStringLiteral("[");
    case 222: return QStringLiteral("'");
    default: return QString();
    }
}

QPixmap drawKeyboardMap(int width, int height)
{
    QPixmap map(std::max(width, 1), std::max(height, 1));
    map.fill(QColor(236, 232, 220));
    QPainter p(&map);
    p.setRenderHint(QPainter::Antialiasing, false);

    const auto& keys = noteKeys();
    const int count = int(keys.size());
    const double keyW = double(map.width()) / count;
    const int headerH = std::max(1, map.height() / 6);
    const int keysTop = headerH;
    const int keysH = map.height() - headerH - 1;
    const int blackH = keysH * 2 / 5;

    QFont font = p.font();
    auto setPixelSize = [&](int px, bool bold) {
        font.setPixelSize(std::max(px, 1));
        font.setBold(bold);
        p.setFont(font);
    };

    // Register headers over their keys, in alternating shades.
    setPixelSize(headerH * 2 / 3, false);
    for (int r = 0, first = 0; r < int(std::size(kRegisters)); ++r) {
        int last = first;
        while (last < count && keys[last].token[0] == kRegisters[r].letter.toLatin1()) ++last;
        const QRectF band(first * keyW, 0, (last - first) * keyW, headerH);
        p.fillRect(band, r % 2 ? QColor(196, 212, 232) : QColor(214, 228, 200));
        p.setPen(Qt::black);
        p.drawText(band, Qt::AlignCenter, QString::fromUtf8(kRegisters[r].name));
        first = last;
    }

    // White keys with their computer key, solfège digit and token.
    for (int i = 0; i < count; ++i) {
        const QRectF key(i * keyW, keysTop, keyW, keysH);
        p.fillRect(key, keys[i].token[0] == 'K' ? QColor(255, 250, 226) : Qt::white);
        p.setPen(QColor(90, 90, 90));
        p.drawRect(key);
        const QRectF lower(key.left(), keysTop + blackH, keyW, keysH - blackH);
        p.setPen(Qt::black);
        setPixelSize(int(std::min(keyW * 0.6, lower.height() * 0.35)), true);
        p.drawText(lower.adjusted(0, 0, 0, -lower.height() / 2), Qt::AlignCenter, keyCapText(keys[i].keyCode));
        setPixelSize(int(std::min(keyW * 0.4, lower.height() * 0.22)), false);
        const QString token = QString::fromLatin1(keys[i].token);
        const QString below = QString::number(degreeOf(token.at(1))) + QLatin1Char('\n') + token;
        p.setPen(QColor(60, 60, 140));
        p.drawText(lower.adjusted(0, lower.height() / 2, 0, 0), Qt::AlignCenter, below);
    }

    // Black keys between white keys a whole tone apart; they are played with the mouse only.
    for (int i = 0; i + 1 < count; ++i) {
        if (keys[i + 1].offset - keys[i].offset != 2) continue;
        const QRectF black((i + 1) * keyW - keyW * 0.3, keysTop, keyW * 0.6, blackH);
        p.fillRect(black, QColor(30, 30, 30));
    }
    return map;
}

}  // namespace keyboard
