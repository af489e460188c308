#include "keyboard/panel_texts.h"

#include "forms/conv.h"
#include "forms/textfile.h"
#include "midi/state.h"

#include <algorithm>

namespace keyboard {

QString clockText(const QDateTime& when) { return when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")); }

QString rotateLeft(const QString& text)
{
    if (text.size() < 2) return text;
    // A character outside the basic plane is two code units; move it whole.
    const int first = text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
    return text.mid(first) + text.left(first);
}

QString creditLine()
{
    return QStringLiteral("Velqor电子琴：用电脑键盘和鼠标弹奏旋律、节奏与和弦，编写乐谱，录音重放。"
                          "Velqor 开发小组制作，欢迎来信交流。          ");
}

int16_t velocityFromText(const QString& text)
{
    const double v = std::clamp(forms::Val(text), -1.0, 128.0);
    return int16_t(std::clamp(forms::CInt(v), 0, 127));
}

QString showcasePath() { return forms::joinPath(midi::state().AppFolder, QStringLiteral("showcase.html")); }

}  // namespace keyboard
