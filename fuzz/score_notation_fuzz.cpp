// Reads arbitrary bytes as a score file the way the windows open one (the program's own
// decoding, lines joined, the size limit; bytes that are not text or hold only line ends are
// refused), then walks the text as the score player does: read a token, move one past the read
// position, until the end, a stop or an error. Checks that every read stays inside the text,
// that lengths stay 0..99 and that the walk always moves forward.
#include "fuzz_file.h"
#include "forms/textfile.h"
#include "midi/score_notation.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz_file::bytesOf(data, size, midi::kScoreFileLimit);
    static const fuzz_file::Folder folder;
    if (!folder.write(QStringLiteral("score.txt"), bytes)) abort();
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto read = midi::readScoreFile(folder.file(QStringLiteral("score.txt")), &why);
    if (bytes.size() > midi::kScoreFileLimit) {
        if (read || why != forms::ReadFailure::TooLarge) abort();
        return 0;
    }
    // Bytes that are not text, or hold nothing but line ends, give no score.
    const auto decoded = forms::decodeIfText(bytes);
    const QString expected = decoded ? forms::splitLines(*decoded).join(QString()) : QString();
    if (expected.isEmpty()) {
        if (read || why != (decoded ? forms::ReadFailure::Empty : forms::ReadFailure::NotText)) abort();
        return 0;
    }
    if (!read || why != forms::ReadFailure::None) abort();
    const QString text = *read;
    if (text != expected) abort();
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) abort();

    int64_t pos = int64_t(size % 3) - 1;   // also start below 1 now and then
    for (int64_t guard = 0; guard <= text.size() + 2; ++guard) {
        const midi::ScoreRead r = midi::readScoreToken(text, pos);
        if (r.length < 0 || r.length > 99) abort();
        if (r.token.size() > 2) abort();
        if (r.pos < 1 || r.pos > text.size() + 1) abort();
        if (r.kind == midi::ScoreTokenKind::Note && (r.note < 0 || r.note > 55)) abort();
        if (r.kind == midi::ScoreTokenKind::Invalid || r.kind == midi::ScoreTokenKind::Stop) return 0;
        const int64_t next = r.pos + 1;
        if (next <= pos) abort();
        pos = next;
    }
    abort();   // the walk did not end
}
