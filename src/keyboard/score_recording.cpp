#include "keyboard/score_recording.h"

#include "forms/conv.h"
#include "forms/textfile.h"

#include <QStringEncoder>
#include <algorithm>

namespace keyboard {

int evenTicks(int holdTicks) { return 2 * forms::Int((holdTicks + 1) / 2.0); }

void appendRecorded(QString& score, int length, const QString& token)
{
    if (score.isEmpty()) {
        score = token;
        return;
    }
    score += QString::number(std::clamp(length, 1, kMaxRecordedTicks)) + token;
}

QString unsavableScoreText(const QString& score)
{
    // Scores are letters and digits: one encoding of the whole text settles nearly every case.
    QStringEncoder gbk("GBK");
    if (gbk.isValid()) {
        const QByteArray bytes = gbk(score);
        if (!gbk.hasError()) return QString();
    }
    const QString bad = forms::charOutsideGbk(score);
    if (bad.isEmpty()) return QString();
    return QStringLiteral("乐谱中的字符%1不能写入乐谱文件，乐谱没有保存。请先修改这个字符。").arg(forms::charForBox(bad));
}

}  // namespace keyboard
