// Reads arbitrary bytes as a rhythm pattern file, as the grid's reads do: the file within its
// size limit, then the whole text or its first line as a record. A record that is taken must
// have every field within its list and must write back to a record that reads the same.
#include "fuzz_file.h"
#include "forms/textfile.h"
#include "keyboard/rhythm_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz_file::bytesOf(data, size, keyboard::kRhythmFileLimit);
    static const fuzz_file::Folder folder;
    if (!folder.write(QStringLiteral("pattern.bin"), bytes)) abort();
    const auto read = keyboard::readRhythmFileText(folder.file(QStringLiteral("pattern.bin")));
    if (!read) abort();   // a plain file is always read
    if (bytes.size() > keyboard::kRhythmFileLimit) {
        // Too big: an empty text, which no record reading takes.
        if (!read->isEmpty() || keyboard::parseRhythmRecord(*read)) abort();
        return 0;
    }
    const QString text = *read;
    if (text != forms::decodeText(bytes)) abort();
    for (const QString& candidate : {text, forms::splitLines(text).value(0)}) {
        const auto p = keyboard::parseRhythmRecord(candidate);
        if (!p) continue;
        if (candidate.size() < keyboard::kRhythmMinLength) abort();
        if (p->velocityIndex < 0 || p->velocityIndex >= keyboard::kRhythmVelocities) abort();
        if (p->metre < 0 || p->metre > keyboard::Metre44) abort();
        for (int v : p->voices)
            if (v < 0 || v >= keyboard::kRhythmVoices) abort();
        const QString record = keyboard::rhythmRecord(*p, candidate.mid(61));
        if (record.size() != keyboard::kRhythmRecordLength) abort();
        const auto again = keyboard::parseRhythmRecord(record);
        if (!again || !(*again == *p)) abort();
    }
    return 0;
}
