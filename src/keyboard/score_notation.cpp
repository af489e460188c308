#include "keyboard/score_notation.h"

#include "forms/textfile.h"
#include "keyboard/key_table.h"

namespace keyboard {
namespace {

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace

int noteTokenOffset(QStringView token)
{
    // The note keys' table holds every note token with its offset.
    if (token.size() != 2) return -1;
    for (const NoteKey& k : noteKeys())
        if (token == QLatin1String(k.token)) return k.offset;
    return -1;
}

ScoreTokenKind scoreTokenKind(QStringView token)
{
    if (noteTokenOffset(token) >= 0) return ScoreTokenKind::Note;
    if (token == u"XZ") return ScoreTokenKind::Rest;
    if (token == u"TZ") return ScoreTokenKind::Stop;
    if (token == u"VS") return ScoreTokenKind::Tempo;
    if (token == u"JP") return ScoreTokenKind::Rhythm;
    if (token == u"YQ") return ScoreTokenKind::Instruments;
    return ScoreTokenKind::Invalid;
}

ScoreRead readScoreToken(const QString& text, int64_t pos)
{
    if (pos < 1) pos = 1;
    const int64_t len = text.size();
    ScoreRead r;
    if (pos <= len) r.token = text.mid(qsizetype(pos - 1), 2);
    r.kind = scoreTokenKind(r.token);
    r.note = noteTokenOffset(r.token);

    // Digits are looked for only when a character follows the token.
    if (pos < len - 1) {
        const QChar c1 = text[qsizetype(pos + 1)];                  // character pos + 2 (1-based)
        const bool hasC2 = pos < len - 2;
        const QChar c2 = hasC2 ? text[qsizetype(pos + 2)] : QChar();  // character pos + 3
        if (isAsciiDigit(c1)) {
            pos += 2;
            r.hasLength = true;
            r.length = c1.unicode() - '0';
            if (hasC2 && isAsciiDigit(c2)) {
                r.length = r.length * 10 + (c2.unicode() - '0');
                pos += 1;
            }
        } else {
            pos += 1;
        }
    }
    r.pos = pos;
    return r;
}

std::optional<QString> readScoreFile(const QString& path)
{
    auto lines = forms::readLines(path);
    if (!lines) return std::nullopt;
    return lines->join(QString());
}

QString withCrLfBreaks(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return t;
}

bool writeScoreFile(const QString& path, const QString& text)
{
    // The score boxes keep line breaks as LF; the file has CR LF throughout.
    return forms::writeText(path, withCrLfBreaks(text) + QStringLiteral("\r\n"));
}

}  // namespace keyboard
