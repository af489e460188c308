#include "keyboard/rhythm_file.h"

#include "forms/textfile.h"

namespace keyboard {

namespace {

QString hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

// The two-digit field at 0-based position `pos`; -1 when a digit is not hexadecimal.
int hexField(const QString& text, int pos)
{
    const int hi = hexDigit(text[pos]);
    const int lo = hexDigit(text[pos + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

// Boxes stored per row: 16 for rows A and B, 17 for row C.
constexpr std::array<int, kRhythmRows> kStoredBoxes = {16, 16, 17};

}  // namespace

QString rhythmNameField(const QString& title)
{
    return title.trimmed().left(16).leftJustified(16, QLatin1Char(' '));
}

QString rhythmRecord(const RhythmPattern& p, const QString& title)
{
    QString record = hex2(p.velocityIndex) + hex2(p.metre) + hex2(p.voices[0]) + hex2(p.voices[1])
                     + hex2(p.voices[2]) + QStringLiteral("00");
    for (int row = 0; row < kRhythmRows; ++row)
        for (int box = 0; box < kStoredBoxes[row]; ++box)
            record += p.ticked[row][box] ? QLatin1Char('*') : QLatin1Char('-');
    return record + rhythmNameField(title);
}

std::optional<RhythmPattern> parseRhythmRecord(const QString& text)
{
    if (text.size() < kRhythmMinLength) return std::nullopt;
    RhythmPattern p;
    p.velocityIndex = hexField(text, 0);
    p.metre = hexField(text, 2);
    for (int row = 0; row < kRhythmRows; ++row) p.voices[row] = hexField(text, 4 + 2 * row);
    if (p.velocityIndex < 0 || p.velocityIndex >= kRhythmVelocities) return std::nullopt;
    if (p.metre < 0 || p.metre > Metre44) return std::nullopt;
    for (int v : p.voices)
        if (v < 0 || v >= kRhythmVoices) return std::nullopt;

    int pos = 12;   // the marks start at position 13
    for (int row = 0; row < kRhythmRows; ++row)
        for (int box = 0; box < kStoredBoxes[row]; ++box)
            p.ticked[row][box] = text[pos++] == QLatin1Char('*');
    return p;
}

std::optional<QString> readRhythmFileText(const QString& path)
{
    forms::ReadFailure why = forms::ReadFailure::None;
    auto text = forms::readText(path, kRhythmFileLimit, &why);
    if (why == forms::ReadFailure::TooLarge) return QString();
    return text;
}

}  // namespace keyboard
