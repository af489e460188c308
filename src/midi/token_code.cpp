#include "midi/token_code.h"

namespace midi {

namespace {

int registerOffset(QChar c)
{
    switch (c.unicode()) {
    case 'L': return 0;
    case 'W': return 12;
    case 'K': return 24;
    case 'H': return 36;
    case 'M': return 48;
    default: return -1;
    }
}

int noteOffset(QChar c)
{
    switch (c.unicode()) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: return -1;
    }
}

}  // namespace

int tokenCode(QStringView token)
{
    if (token.size() != 2) return kHoldCode;
    const int reg = registerOffset(token[0]);
    const int note = noteOffset(token[1]);
    if (reg >= 0 && note >= 0 && reg + note <= 55) return reg + note;

    static const char* const kChords[] = {"CC", "DM", "EM", "FF", "GM", "AM"};
    for (int i = 0; i < 6; ++i)
        if (token == QLatin1String(kChords[i])) return 65 + i;
    if (token == QLatin1String("XZ")) return kRestCode;
    return kHoldCode;
}

}  // namespace midi
