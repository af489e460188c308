#include "forms/textfile.h"

#include "platform/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <vector>

namespace forms {

namespace {

enum class Encoding { Utf16LE, Utf16BE, Utf8Bom, Utf8, Ascii, Gbk };

// The encoding decodeText reads `bytes` in.
Encoding encodingOf(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE")) return Encoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF")) return Encoding::Utf16BE;
    if (bytes.startsWith("\xEF\xBB\xBF")) return Encoding::Utf8Bom;
    bool ascii = true;
    for (char c : bytes) ascii = ascii && uchar(c) < 0x80;
    if (ascii) return Encoding::Ascii;
    // A trial decoding, a piece at a time into one small buffer: the text itself is not kept.
    QStringDecoder utf8(QStringDecoder::Utf8);
    constexpr qsizetype kPiece = 4096;
    std::vector<QChar> piece(size_t(utf8.requiredSpace(kPiece)));
    for (qsizetype at = 0; at < bytes.size() && !utf8.hasError(); at += kPiece)
        utf8.appendToBuffer(piece.data(), QByteArrayView(bytes).sliced(at, std::min(kPiece, bytes.size() - at)));
    return utf8.hasError() ? Encoding::Gbk : Encoding::Utf8;
}

// The text of `bytes` in the encoding decodeText reads them in; `broken` tells whether a byte
// sequence that encoding cannot decode was met, one cut off at the end included.
QString decode(const QByteArray& bytes, bool& broken)
{
    constexpr auto kWhole = QStringConverter::Flag::Stateless;   // a cut-off end is an error too
    const Encoding encoding = encodingOf(bytes);
    const char* name = "UTF-8";
    qsizetype mark = 0;
    switch (encoding) {
    case Encoding::Utf16LE: name = "UTF-16LE"; mark = 2; break;
    case Encoding::Utf16BE: name = "UTF-16BE"; mark = 2; break;
    case Encoding::Utf8Bom: mark = 3; break;
    case Encoding::Ascii:
    case Encoding::Utf8: break;
    case Encoding::Gbk: name = "GBK"; break;
    }
    // Made in place: a GBK converter moved after it was made reports no errors.
    QStringDecoder decoder(name, kWhole);
    if (!decoder.isValid()) {   // no GBK on this system: every byte is a character
        broken = false;
        return QString::fromLatin1(bytes);
    }
    const QByteArrayView body = QByteArrayView(bytes).sliced(mark);
    QString text = decoder(body);
    // UTF-16 decoding lets an odd last byte and a lone half of a surrogate pair through.
    const bool utf16 = encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
    broken = decoder.hasError() || (utf16 && (body.size() % 2 != 0 || !text.isValidUtf16()));
    return text;
}

}  // namespace

QString decodeText(const QByteArray& bytes)
{
    bool broken = false;
    return decode(bytes, broken);
}

std::optional<QString> decodeIfText(const QByteArray& bytes)
{
    bool broken = false;
    QString text = decode(bytes, broken);
    if (broken) return std::nullopt;
    if (text.endsWith(QChar(0x1A))) text.chop(1);   // the end-of-file mark of old editors
    for (QChar c : text)
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n') return std::nullopt;
    return text;
}

std::optional<QByteArray> encodeLike(const QByteArray& bytes, const QString& text)
{
    switch (encodingOf(bytes)) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        if (bytes.size() % 2 != 0) return std::nullopt;
        return QStringEncoder(encodingOf(bytes) == Encoding::Utf16LE ? QStringEncoder::Utf16LE
                                                                     : QStringEncoder::Utf16BE)(text);
    case Encoding::Utf8Bom:
    case Encoding::Utf8: return text.toUtf8();
    case Encoding::Ascii:
    case Encoding::Gbk: break;
    }
    return encodeGbk(text);
}

bool endsWithLineEnd(const QByteArray& bytes)
{
    switch (encodingOf(bytes)) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const QString text = decodeText(bytes);
        return text.isEmpty() || text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    }
    case Encoding::Utf8Bom:
        return bytes.size() == 3 || bytes.endsWith('\n') || bytes.endsWith('\r');
    default:
        return bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r');
    }
}

QByteArray encodeGbk(const QString& text)
{
    QStringEncoder gbk("GBK");
    if (!gbk.isValid()) return text.toUtf8();
    QByteArray out = gbk(text);
    return out;
}

qsizetype firstCharOutsideGbk(const QString& text)
{
    // One encoding of the whole text settles nearly every case; only a text with a character GBK
    // lacks is searched character by character.
    {
        QStringEncoder gbk("GBK");
        if (!gbk.isValid()) return -1;
        const QByteArray bytes = gbk(text);
        if (!gbk.hasError()) return -1;
    }
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder gbk("GBK");
        if (!gbk.isValid()) return -1;
        const QByteArray bytes = gbk(QStringView(text).mid(i, n));
        if (gbk.hasError()) return i;
        i += n;
    }
    return -1;
}

QString charOutsideGbk(const QString& text)
{
    const qsizetype bad = firstCharOutsideGbk(text);
    if (bad < 0) return QString();
    return text.mid(bad, text[bad].isHighSurrogate() && bad + 1 < text.size() ? 2 : 1);
}

QString charForBox(const QString& ch)
{
    const QList<uint> code = ch.toUcs4();
    if (code.isEmpty()) return QString();
    // Letters, digits, punctuation and symbols show themselves; marks, separators, controls,
    // format characters and unassigned codes do not, or not where they stand.
    switch (QChar::category(char32_t(code[0]))) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return QStringLiteral("U+%1").arg(code[0], 4, 16, QLatin1Char('0')).toUpper();
    default:
        return QStringLiteral("“%1”").arg(ch);
    }
}

std::optional<QByteArray> readBytes(const QString& path, qint64 limit, ReadFailure* why)
{
    auto failed = [why](ReadFailure f) -> std::optional<QByteArray> {
        if (why) *why = f;
        return std::nullopt;
    };
    if (why) *why = ReadFailure::None;
    // Only plain files: opening a pipe would wait for a writer, a device would never end.
    const QFileInfo info(path);
    if (!info.isFile()) return failed(ReadFailure::Unreadable);
    if (info.size() > limit) return failed(ReadFailure::TooLarge);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return failed(ReadFailure::Unreadable);
    // Room for the size measured and a byte more (read() takes room for all it is asked): a file
    // that grew since it was measured is read on, up to one byte over the limit, which tells it.
    QByteArray bytes = f.read(info.size() + 1);
    if (bytes.size() > info.size() && bytes.size() <= limit) bytes += f.read(limit + 1 - bytes.size());
    if (bytes.size() > limit) return failed(ReadFailure::TooLarge);
    if (f.error() != QFileDevice::NoError) return failed(ReadFailure::Unreadable);
    return bytes;
}

std::optional<QString> readText(const QString& path, qint64 limit, ReadFailure* why)
{
    const auto bytes = readBytes(path, limit, why);
    if (!bytes) return std::nullopt;
    return decodeText(*bytes);
}

std::optional<QString> readTextFile(const QString& path, qint64 limit, ReadFailure* why)
{
    const auto bytes = readBytes(path, limit, why);
    if (!bytes) return std::nullopt;
    return textFromFileBytes(*bytes, why);
}

std::optional<QString> textFromFileBytes(const QByteArray& bytes, ReadFailure* why)
{
    auto text = decodeIfText(bytes);
    auto lineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    if (text && !std::all_of(text->begin(), text->end(), lineEnd)) return text;
    if (why) *why = text ? ReadFailure::Empty : ReadFailure::NotText;
    return std::nullopt;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return QStringLiteral("%1 MB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0) return QStringLiteral("%1 KB").arg(bytes / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

QStringList splitLines(const QString& text)
{
    // One pass that copies each line once: CR LF, CR and LF each end a line, and a line end at
    // the end of the text starts no line of its own.
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readLines(const QString& path, qint64 limit, ReadFailure* why)
{
    auto text = readText(path, limit, why);
    if (!text) return std::nullopt;
    return splitLines(*text);
}

bool writeBytes(const QString& path, const QByteArray& bytes) { return platform::writeWholeFile(path, bytes); }

bool writeText(const QString& path, const QString& text) { return writeBytes(path, encodeGbk(text)); }

bool writeLines(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& l : lines) text += l + QLatin1String("\r\n");
    return writeText(path, text);
}

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull()) return false;
    return true;
}

QString joinPath(const QString& folder, const QString& name)
{
    QString n = name;
    n.replace('\\', '/');
    QString f = folder;
    f.replace('\\', '/');
    if (!f.isEmpty() && !f.endsWith('/')) f += '/';
    return f + n;
}

}  // namespace forms
