// Reads arbitrary bytes as the chord pattern file (the file itself, within its size limit, and
// "保存" appending to it) and its lines as the voices' patterns and as progressions. Codes must
// stay in the code space, derived rows must stay playable, edited lines must be 32 characters
// at least, and an append must keep every byte that was there.
#include "fuzz_file.h"
#include "forms/textfile.h"
#include "keyboard/chord_patterns.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool validCode(int c) { return (c >= 0 && c <= 64) || (c >= 65 && c <= 70) || c == 254 || c == 255; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz_file::bytesOf(data, size, keyboard::kPatternFileLimit);
    static const fuzz_file::Folder folder;
    const QString path = folder.file(keyboard::kPatternFileName);
    if (!folder.write(keyboard::kPatternFileName, bytes)) abort();
    const keyboard::PatternPool pool = keyboard::loadPatternPool(path, QStringLiteral("LC--\r\nWC--"));
    const bool fits = bytes.size() <= keyboard::kPatternFileLimit;
    if (pool.source != (fits ? keyboard::PatternPool::Source::Read : keyboard::PatternPool::Source::TooLarge)) abort();
    if (!fits) {
        if (keyboard::appendPatternLines(path, QStringLiteral("KC"), QStringLiteral("KD")) != keyboard::AppendResult::TooLarge) abort();
        return 0;
    }
    const QString text = forms::decodeText(bytes);
    const QStringList lines = forms::splitLines(text);
    if (pool.lines != lines) abort();

    // Appending the first line and a new one: the old bytes stay, the new line ends the file.
    const QString fresh = QStringLiteral("XZ--KC--") + QString::number(size);
    const keyboard::AppendResult appended = keyboard::appendPatternLines(path, lines.value(0), fresh);
    // UTF-16 cut in the middle of a character takes nothing more.
    const bool cutUtf16 = (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) && bytes.size() % 2 != 0;
    if (cutUtf16 && appended == keyboard::AppendResult::Appended) abort();
    if (!cutUtf16 && appended != keyboard::AppendResult::Appended && appended != keyboard::AppendResult::Unchanged) abort();
    QFile after(path);
    if (!after.open(QIODevice::ReadOnly)) abort();
    const QByteArray now = after.readAll();
    if (!now.startsWith(bytes)) abort();
    if (appended == keyboard::AppendResult::Appended && !forms::splitLines(forms::decodeText(now)).contains(fresh)) abort();
    if (lines.isEmpty()) return 0;

    const int count = int(lines.size());
    for (double rnd : {0.0, 0.4999, 0.5, 0.9999999}) {
        const int k = keyboard::pickEntry(rnd, count);
        if (k < 1 || k > count) abort();
    }

    keyboard::ChordPatternTable table{};
    for (int i = 0; i < count && i < 64; ++i) {
        const QString& voice1 = lines[i];
        const QString& voice2 = lines[(i + 1) % count];
        keyboard::parseChordPattern(table, voice1, voice2);
        keyboard::deriveChordRows(table);
        for (int row = 1; row <= 6; ++row)
            for (int step = 0; step < 32; ++step)
                if (!validCode(table[row][step])) abort();
        for (int step = 32; step < 65; ++step)
            if (table[1][step] != 0) abort();

        const QString edited = keyboard::normalisePatternLine(voice1);
        if (edited.size() < keyboard::kPatternLineLength) abort();
        if (edited.left(keyboard::kPatternLineLength).contains(QLatin1Char(' '))) abort();

        if (auto degrees = keyboard::parseProgression(voice1)) {
            if (int(degrees->size()) != voice1.size()) abort();
            for (int d : *degrees)
                if (d < 1 || d > 6) abort();
        }
    }
    return 0;
}
