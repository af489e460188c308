#include "editor/measure_header.h"

#include <algorithm>

namespace editor {
namespace {

QString fixed(int value, int width, int base)
{
    return QStringLiteral("%1").arg(value, width, base, QLatin1Char('0')).toUpper();
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= '0' && u <= '9') d = u - '0';
    else if (u >= 'A' && u <= 'F') d = u - 'A' + 10;
    else if (u >= 'a' && u <= 'f') d = u - 'a' + 10;
    return d < base ? d : -1;
}

// The number written in `width` characters at 0-based `pos`, every one a digit of `base`;
// nullopt when the field is cut short or holds anything else.
std::optional<int> field(const QString& text, int pos, int width, int base)
{
    if (pos + width > text.size()) return std::nullopt;
    int v = 0;
    for (int i = 0; i < width; ++i) {
        const int d = digitValue(text[pos + i], base);
        if (d < 0) return std::nullopt;
        v = v * base + d;
    }
    return v;
}

std::optional<int> inRange(std::optional<int> v, int lo, int hi)
{
    return v && *v >= lo && *v <= hi ? v : std::nullopt;
}

// Start of each row's instrument slot. Older versions wrote a silent melody row as "FFFFFFFF",
// making the header 6 characters longer per such row; those starts are found in order and each
// moves the later fields along. A header whose extra length they do not explain exactly is
// read at the fixed positions.
std::array<int, kRows> instrumentStarts(const QString& h, std::array<int, kRows>& widths)
{
    std::array<int, kRows> fixedStarts{};
    for (int i = 0; i < kRows; ++i) {
        fixedStarts[i] = 4 + 4 * i;
        widths[i] = 2;
    }
    const int extra = int(h.size()) - kHeaderLength;
    if (extra <= 0 || extra % 6 != 0 || extra / 6 > kMelodyRows) return fixedStarts;

    std::array<int, kRows> starts{};
    std::array<int, kRows> wide{};
    int pos = 4;
    int left = extra / 6;
    for (int i = 0; i < kRows; ++i) {
        starts[i] = pos;
        wide[i] = 2;
        if (i < kMelodyRows && left > 0 && h.mid(pos, 8) == QLatin1String("FFFFFFFF")) {
            wide[i] = 8;
            --left;
        }
        pos += wide[i] + 2;
    }
    if (left != 0) return fixedStarts;
    widths = wide;
    return starts;
}

}  // namespace

int trackInstrumentForIndex(int row, int listIndex)
{
    return row < kMelodyRows ? listIndex - 1 : listIndex;
}

PackedHeader packMeasureHeader(int measure, const MeasureSettings& s)
{
    PackedHeader p;
    p.key = fixed(std::clamp(s.key, 0, 11), 2, 10);
    p.tempo = fixed(std::clamp(s.tempo, 1, 255), 2, 16);
    p.flags = QString(s.vibrato == 1 ? QLatin1Char('1') : QLatin1Char('0'))
              + (s.crescendo == 1 ? QLatin1Char('1') : QLatin1Char('0'));
    p.depth = fixed(std::clamp(s.depth, -20, 20) + 20, 2, 10);

    QString rows;
    for (int i = 0; i < kRows; ++i) {
        p.trackVolume[i] = s.volume[i];
        p.trackInstrument[i] = trackInstrumentForIndex(i, s.instrumentIndex[i]);
        const int instrument = i < kMelodyRows && p.trackInstrument[i] < 0
                                   ? kSilentProgram
                                   : std::clamp(p.trackInstrument[i], 0, 0xFF);
        rows += fixed(instrument, 2, 16) + fixed(std::clamp(s.volume[i], 0, 127), 2, 16);
    }
    p.header = fixed(std::clamp(measure, 0, 9999), 4, 10) + rows + p.depth + p.flags + p.key + p.tempo;
    return p;
}

void storeMeasureHeader(EditorFields& f, int measure, const PackedHeader& packed)
{
    if (measure < 0 || measure >= kMeasureSlots) return;
    f.MeasureHeaders[measure] = packed.header;
    f.MeasureKey[measure] = packed.key;
    f.MeasureTempo[measure] = packed.tempo;
    f.MeasureDepth[measure] = packed.depth;
    f.MeasureFlags[measure] = packed.flags;
}

HeaderFields parseMeasureHeader(const QString& h)
{
    HeaderFields f;
    std::array<int, kRows> widths{};
    const std::array<int, kRows> starts = instrumentStarts(h, widths);
    for (int i = 0; i < kRows; ++i) {
        const std::optional<int> v = widths[i] == 8 ? std::optional<int>(kSilentProgram)
                                                    : field(h, starts[i], 2, 16);
        if (i < kMelodyRows) {
            if (v) f.instrumentIndex[i] = *v < 0x80 ? *v + 1 : 0;
        } else {
            f.instrumentIndex[i] = inRange(v, 0, 46);
        }
        f.volume[i] = field(h, starts[i] + widths[i], 2, 16);
    }

    const int tail = starts[kRows - 1] + widths[kRows - 1] + 2;   // 0-based start of the depth
    if (const auto d = inRange(field(h, tail, 2, 10), 0, 40)) f.depth = *d - 20;
    f.vibrato = inRange(field(h, tail + 2, 1, 10), 0, 1);
    f.crescendo = inRange(field(h, tail + 3, 1, 10), 0, 1);
    f.key = inRange(field(h, tail + 4, 2, 10), 0, 11);
    f.tempo = inRange(field(h, tail + 6, 2, 16), 1, 255);
    f.keyText = h.mid(tail + 4, 2);
    f.tempoText = h.mid(tail + 6, 2);
    return f;
}

}  // namespace editor
