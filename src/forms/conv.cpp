#include "forms/conv.h"

#include <cmath>
#include <limits>

namespace forms {

int CInt(double v) { return int(std::nearbyint(v)); }

int Int(double v) { return int(std::floor(v)); }

double Val(const QString& s)
{
    int i = 0;
    const int n = s.size();
    auto skipBlanks = [&] { while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i; };
    skipBlanks();
    if (i + 1 < n && s[i] == '&' && (s[i + 1] == 'H' || s[i + 1] == 'h')) {
        i += 2;
        long long v = 0;
        bool any = false;
        while (i < n) {
            int d = QString(s[i]).toInt(&any, 16);
            if (!any) break;
            v = v * 16 + d;
            if (v > 0xFFFFFFFFLL) break;
            ++i;
        }
        // Up to four hex digits are a 16-bit signed number, as the runtime reads them.
        if (v <= 0xFFFF && v > 0x7FFF) return double(v - 0x10000);
        return double(v);
    }
    QString digits;
    if (i < n && (s[i] == '+' || s[i] == '-')) digits += s[i++];
    bool seenDot = false, seenDigit = false;
    while (i < n) {
        QChar c = s[i];
        if (c.isDigit() && c.unicode() < 128) { digits += c; seenDigit = true; }
        else if (c == '.' && !seenDot) { digits += c; seenDot = true; }
        else if (c == ' ') { /* the runtime ignores blanks inside numbers */ }
        else break;
        ++i;
    }
    if (seenDigit && i < n && (s[i] == 'E' || s[i] == 'e')) {
        int j = i + 1;
        QString exp = "e";
        if (j < n && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        int start = j;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) exp += s[j++];
        if (j > start) digits += exp;
    }
    if (!seenDigit) return 0;
    bool ok = false;
    double v = digits.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

std::optional<int16_t> toInt16(const QString& s)
{
    QString t = s.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
        // Hex as the classic conversion reads it: up to four digits are a 16-bit signed number.
        const QString digits = t.mid(2);
        const uint v = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 4) return std::nullopt;
        return int16_t(uint16_t(v));
    }
    double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    double r = std::nearbyint(v);
    if (r < -32768 || r > 32767) return std::nullopt;
    return int16_t(r);
}

QString Str(long long v) { return v < 0 ? QString::number(v) : QStringLiteral(" ") + QString::number(v); }

QString PrintNumber(long long v) { return Str(v) + QLatin1Char(' '); }

}  // namespace forms
