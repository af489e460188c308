#include "forms/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace forms {

QString decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(bytes);
    if (!utf8.hasError()) return s;
    QStringDecoder gbk("GBK");
    if (gbk.isValid()) return gbk(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray encodeGbk(const QString& text)
{
    QStringEncoder gbk("GBK");
    if (!gbk.isValid()) return text.toUtf8();
    QByteArray out = gbk(text);
    return out;
}

std::optional<QString> readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return decodeText(f.readAll());
}

QStringList splitLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace('\r', '\n');
    QStringList lines = t.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

std::optional<QStringList> readLines(const QString& path)
{
    auto text = readText(path);
    if (!text) return std::nullopt;
    return splitLines(*text);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool writeText(const QString& path, const QString& text) { return writeBytes(path, encodeGbk(text)); }

bool writeLines(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& l : lines) text += l + QLatin1String("\r\n");
    return writeText(path, text);
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
