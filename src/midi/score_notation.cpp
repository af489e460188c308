#include "midi/score_notation.h"

#include "forms/textfile.h"

namespace midi {
namespace {

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace

int noteTokenOffset(QStringView token)
{
    if (token.size() != 2) return -1;
    static const QStringView kRegisters = u"LWKHM";
    static const QStringView kNotes = u"CDEFGAB";
    static const int kSemitones[] = {0, 2, 4, 5, 7, 9, 11};
    const qsizetype reg = kRegisters.indexOf(token[0]);
    const qsizetype note = kNotes.indexOf(token[1]);
    if (reg < 0 || note < 0) return -1;
    const int offset = 12 * int(reg) + kSemitones[note];
    return offset <= 55 ? offset : -1;   // "MA" and "MB" lie above the keyboard
}

int chordTokenCode(QStringView token)
{
    const int note = noteTokenOffset(token);
    if (note >= 0) return note;
    static const char16_t* const kChords[] = {u"CC", u"DM", u"EM", u"FF", u"GM", u"AM"};
    for (int i = 0; i < 6; ++i)
        if (token == kChords[i]) return 65 + i;
    return token == u"XZ" ? kRestCode : kHoldCode;
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

std::optional<QString> readScoreFile(const QString& path, forms::ReadFailure* why)
{
    const auto bytes = forms::readBytes(path, kScoreFileLimit, why);
    if (!bytes) return std::nullopt;
    return scoreFromFileBytes(*bytes, why);
}

std::optional<QString> scoreFromFileBytes(const QByteArray& bytes, forms::ReadFailure* why)
{
    const auto text = forms::textFromFileBytes(bytes, why);
    if (!text) return std::nullopt;
    return forms::splitLines(*text).join(QString());
}

QString scoreFileTooLargeText()
{
    return QStringLiteral("乐谱文件太大（超过 %1），不是乐谱文件，没有打开！").arg(forms::sizeText(kScoreFileLimit));
}

QString scoreFileRefusalText(forms::ReadFailure why)
{
    switch (why) {
    case forms::ReadFailure::TooLarge: return scoreFileTooLargeText();
    case forms::ReadFailure::NotText: return QStringLiteral("这个文件不是乐谱文件，没有打开！");
    case forms::ReadFailure::Empty: return QStringLiteral("这个乐谱文件是空的，没有打开！");
    default: return QStringLiteral("无法读取这个乐谱文件，请检查！");
    }
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

}  // namespace midi
