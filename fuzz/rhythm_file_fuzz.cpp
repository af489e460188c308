// Reads arbitrary bytes as a rhythm pattern file. A record that is taken must have every field
// within its list and must write back to a record that reads the same.
#include "forms/textfile.h"
#include "keyboard/rhythm_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = forms::decodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
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
