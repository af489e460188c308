// Reads arbitrary text as the typed numbers do: the leading number of a text (the tempo and
// volume boxes), the strict 16-bit conversion (the settings file), rounding and flooring, and the
// tempo and velocity that the boxes take from a text. Every result must be a number the program
// can use: finite, in range, and the 16-bit values must print and read back as themselves.
#include "forms/conv.h"
#include "keyboard/accompaniment.h"
#include "keyboard/panel_texts.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const double v = forms::Val(text);
    if (!std::isfinite(v)) abort();
    // The leading number does not change when text that is no digit follows it.
    if (forms::Val(text + QStringLiteral("x")) != v) abort();
    if (std::abs(v) < 2e9) {
        const int r = forms::CInt(v), f = forms::Int(v);
        if (std::abs(r - v) > 0.5 || f > v || v - f > 1) abort();
    }

    if (const auto n = forms::toInt16(text)) {
        if (forms::toInt16(forms::PrintNumber(*n)) != n) abort();
        if (forms::toInt16(forms::Str(*n)) != n) abort();
    }

    if (const auto tempo = keyboard::acceptTempo(text)) {
        const int t = forms::CInt(*tempo);
        if (t < keyboard::kMinTempo || t > keyboard::kMaxTempo) abort();
        const int step = keyboard::stepMsForTempo(*tempo);
        if (step < 53 || step > 190) abort();   // 7500 / 140.5 .. 7500 / 39.5
    }
    const int16_t velocity = keyboard::velocityFromText(text);
    if (velocity < 0 || velocity > 127) abort();
    return 0;
}
