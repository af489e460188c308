#include "keyboard/chord_patterns.h"

#include "forms/conv.h"
#include "forms/textfile.h"
#include "midi/score_notation.h"

#include <QFileInfo>
#include <random>

namespace keyboard {

const QString kBuiltInVoice1 = QStringLiteral("CC--WG--KC--WG--CE--WG--LB--WG--");
const QString kBuiltInVoice2 = QStringLiteral("LG--WC----------LG--WC----------");
const QString kPatternFileName = QStringLiteral("HxJzMx.txt");

void parseChordPattern(ChordPatternTable& table, const QString& voice1, const QString& voice2)
{
    // The two lines run on into each other; only as much of them as the steps read is taken.
    constexpr qsizetype kChars = 4 * kPatternSteps;
    const QString s = voice1.left(kChars) + voice2.left(kChars);
    for (int step = 0; step < 2 * kPatternSteps; ++step)
        table[1][step] = midi::chordTokenCode(QStringView(s).mid(std::min<qsizetype>(2 * step, s.size()), 2));
}

int derivedCode(int code, int degree)
{
    if (degree <= 1 || degree > 6) return code;
    static const std::array<int, 7> kRootFifth = {0, 0, 2, 4, 5, 7, 9};   // by degree 2..6
    static const std::array<int, 7> kThird = {0, 0, 1, 3, 5, 7, 8};
    switch (code) {
    case 0: case 7: case 12: case 19: case 24: case 31: case 36: case 43:
        return code + kRootFifth[degree];
    case 4: case 16: case 28: case 40:
        return code + kThird[degree];
    case 65:
        return 64 + degree;
    default:
        return code;   // rests, holds, other notes and other chords sound alike in every chord
    }
}

void deriveChordRows(ChordPatternTable& table)
{
    for (int step = 0; step < 2 * kPatternSteps; ++step)
        for (int degree = 2; degree <= 6; ++degree)
            table[degree][step] = derivedCode(table[1][step], degree);
}

QString normalisePatternLine(const QString& text)
{
    QString t = text.toUpper();
    if (t.size() < kPatternLineLength) t = t.leftJustified(kPatternLineLength, QLatin1Char('-'));
    for (int i = 0; i < kPatternLineLength; ++i)
        if (t[i] == QLatin1Char(' ')) t[i] = QLatin1Char('-');
    return t;
}

std::optional<std::vector<int>> parseProgression(const QString& text)
{
    std::vector<int> degrees;
    for (QChar c : text) {
        if (c < QLatin1Char('1') || c > QLatin1Char('6')) return std::nullopt;
        degrees.push_back(c.unicode() - '0');
    }
    return degrees;
}

const std::array<QString, 6>& builtInProgressions()
{
    static const std::array<QString, 6> kProgressions = {
        QStringLiteral("145"), QStringLiteral("1645"), QStringLiteral("1625"),
        QStringLiteral("125"), QStringLiteral("13625"), QStringLiteral("1365")};
    return kProgressions;
}

int pickEntry(double rnd, int count)
{
    const int k = forms::CInt(rnd * count);
    return k == 0 ? 1 : k;
}

namespace {
std::mt19937& generator()
{
    static std::mt19937 gen{std::random_device{}()};
    return gen;
}
}  // namespace

double nextRandom() { return double(generator()()) / 4294967296.0; }

void seedRandom(uint32_t seed) { generator().seed(seed); }

PatternPool loadPatternPool(const QString& path, const QString& defaultText)
{
    PatternPool pool;
    if (!QFileInfo::exists(path)) {
        pool.source = forms::writeLines(path, forms::splitLines(defaultText))
                          ? PatternPool::Source::Created
                          : PatternPool::Source::Unavailable;
        return pool;
    }
    forms::ReadFailure why = forms::ReadFailure::None;
    auto lines = forms::readLines(path, kPatternFileLimit, &why);
    if (why == forms::ReadFailure::TooLarge) pool.source = PatternPool::Source::TooLarge;
    if (!lines) return pool;
    pool.source = PatternPool::Source::Read;
    pool.lines = *lines;
    return pool;
}

AppendResult appendPatternLines(const QString& path, const QString& voice1, const QString& voice2)
{
    if (!QFileInfo::exists(path)) return AppendResult::NoFile;
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto read = forms::readBytes(path, kPatternFileLimit, &why);
    if (why == forms::ReadFailure::TooLarge) return AppendResult::TooLarge;
    if (!read) return AppendResult::Unreadable;
    const QString text = forms::decodeText(*read);
    const QStringList held = forms::splitLines(text);

    QString added;
    if (!held.contains(voice1)) added += voice1 + QLatin1String("\r\n");
    if (!held.contains(voice2)) added += voice2 + QLatin1String("\r\n");
    if (added.isEmpty()) return AppendResult::Unchanged;

    if (!forms::endsWithLineEnd(*read)) added.prepend(QLatin1String("\r\n"));
    // The new lines in the file's own encoding, so that the whole file still reads as one text.
    const auto encoded = forms::encodeLike(*read, added);
    if (!encoded) return AppendResult::Unreadable;
    return forms::writeBytes(path, *read + *encoded) ? AppendResult::Appended : AppendResult::WriteFailed;
}

QString patternFileTooLargeText()
{
    return QStringLiteral("和弦节奏模板文件 %1 太大（超过 %2），不能使用！").arg(kPatternFileName, forms::sizeText(kPatternFileLimit));
}

}  // namespace keyboard
