// The string table: the instrument and percussion lists, key help, and the default file texts.
#include "forms/conv.h"
#include "forms/textfile.h"
#include "resources/strings.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every id the table holds.
QList<int> allIds()
{
    QList<int> ids{res::EditorHelp, res::DefaultSettings, res::DefaultChordPatterns};
    for (int id = res::InstrumentFirst; id <= res::InstrumentLast; ++id) ids << id;
    for (int id = res::PercussionFirst; id <= res::PercussionLast; ++id) ids << id;
    for (int id = res::KeyHelpFirst; id <= res::KeyHelpLast; ++id) ids << id;
    for (int id = res::MainHelpFirst; id <= res::MainHelpLast; ++id) ids << id;
    return ids;
}

QStringList lines(const QString& text) { return text.split(QStringLiteral("\r\n")); }

}  // namespace

TEST(StringTable, InstrumentList)
{
    const QStringList names = res::instrumentNames();
    ASSERT_EQ(names.size(), 129);
    EXPECT_EQ(names.first(), QStringLiteral("0.无声"));
    EXPECT_EQ(names.last(), QStringLiteral("128.枪声"));
    EXPECT_EQ(names[2], QStringLiteral("2.电钢琴 "));
    EXPECT_EQ(names[125], QStringLiteral("125.打电话 "));
    EXPECT_EQ(names[15], QStringLiteral("15.编钟"));
    EXPECT_EQ(names[25], QStringLiteral("25.尼龙弦吉它"));
    EXPECT_EQ(names[52], QStringLiteral("52.合成弦乐2"));
    EXPECT_EQ(names[79], QStringLiteral("79.口哨"));
    EXPECT_EQ(names[107], QStringLiteral("107.啥米森琴"));
    EXPECT_EQ(names[108], QStringLiteral("108.十三弦古筝"));
    int trailing = 0;
    for (int k = 0; k < names.size(); ++k) {
        EXPECT_TRUE(names[k].startsWith(QString::number(k) + '.')) << k;
        if (names[k].endsWith(' ')) ++trailing;
    }
    EXPECT_EQ(trailing, 2);
    EXPECT_EQ(res::LoadResString(201), names.first());
    EXPECT_EQ(res::LoadResString(329), names.last());
}

TEST(StringTable, PercussionList)
{
    const QStringList names = res::percussionNames();
    ASSERT_EQ(names.size(), 47);
    EXPECT_EQ(names.first(), QStringLiteral("低音大鼓"));
    EXPECT_EQ(names.last(), QStringLiteral("三角铃-开音"));
    EXPECT_EQ(names[3], QStringLiteral("小鼓"));  // key 38
    EXPECT_EQ(names[14], QStringLiteral("铜钹 1"));  // inner space kept
    EXPECT_EQ(names[17], QStringLiteral("中国铜钹"));
    EXPECT_EQ(names[22], QStringLiteral("铜钹 2"));
    EXPECT_EQ(names[25], QStringLiteral("南美鼓-高音"));
    EXPECT_EQ(names[39], QStringLiteral("长梗笛"));
    EXPECT_EQ(res::LoadResString(335), names.first());
    EXPECT_EQ(res::LoadResString(381), names.last());
}

TEST(StringTable, IdsOutsideTheTableAreEmpty)
{
    for (int id : {0, 98, 100, 200, 330, 334, 382, 400, 434, 499, 507, 510, -1})
        EXPECT_TRUE(res::LoadResString(id).isEmpty()) << id;
}

TEST(StringTable, EveryTextSurvivesTheFileEncodingAndUsesCrLf)
{
    QStringList texts{res::welcomeText()};
    for (int id : allIds()) texts << res::LoadResString(id);
    for (const QString& t : texts) {
        ASSERT_FALSE(t.isEmpty());
        QStringEncoder enc("GBK");
        QStringDecoder dec("GBK");
        ASSERT_TRUE(enc.isValid());
        const QByteArray bytes = enc(t);
        EXPECT_FALSE(enc.hasError());
        EXPECT_EQ(dec(bytes), t);
        // Line ends are CR LF pairs, never a lone CR or LF.
        QString rest = t;
        rest.remove(QStringLiteral("\r\n"));
        EXPECT_FALSE(rest.contains('\r') || rest.contains('\n')) << t.toStdString();
    }
}

TEST(StringTable, KeyHelp)
{
    EXPECT_EQ(res::LoadResString(401), QStringLiteral("6 键\r\n最低音（哆）\r\n乐谱中用 LC 表示"));
    EXPECT_EQ(res::LoadResString(402), QStringLiteral(" 7 键\r\n最低音（唻）\r\n乐谱中用 LD 表示"));
    EXPECT_EQ(res::LoadResString(403), QStringLiteral("8 键\r\n最低音（咪）\r\n乐谱中用 LE 表示"));
    EXPECT_EQ(res::LoadResString(407), QStringLiteral(" = 键\r\n最低音（希）\r\n乐谱中用 LB 表示"));
    EXPECT_EQ(res::LoadResString(414), QStringLiteral(" [ 键\r\n低音（希）\r\n乐谱中用 WB 表示"));
    EXPECT_EQ(res::LoadResString(415), QStringLiteral(" G 键\r\n中音（哆）\r\n乐谱中用 KC 表示"));
    EXPECT_EQ(res::LoadResString(421), QStringLiteral(" ' 键\r\n中音（希）\r\n乐谱中用 KB 表示"));
    EXPECT_EQ(res::LoadResString(426), QStringLiteral(" , 键\r\n高音（嗦）\r\n乐谱中用 HG 表示"));
    EXPECT_EQ(res::LoadResString(429), QStringLiteral(" 1 键\r\n最高音（哆）\r\n乐谱中用 MC 表示"));
    EXPECT_EQ(res::LoadResString(433), QStringLiteral(" 5 键\r\n最高音（嗦）\r\n乐谱中用 MG 表示"));

    // The 33 texts name 33 different keys and the 33 tokens from LC up to MG in order.
    QSet<QString> keys;
    const QRegularExpression third(QStringLiteral("^乐谱中用 ([LWKHM][CDEFGAB]) 表示$"));
    const QList<int> noteOffsets{0, 2, 4, 5, 7, 9, 11};
    int previous = -1;
    for (int id = 401; id <= 433; ++id) {
        const QStringList l = lines(res::LoadResString(id));
        ASSERT_EQ(l.size(), 3) << id;
        keys.insert(l[0].trimmed());
        const auto m = third.match(l[2]);
        ASSERT_TRUE(m.hasMatch()) << id;
        const QString token = m.captured(1);
        const int offset = QStringLiteral("LWKHM").indexOf(token[0]) * 12
                           + noteOffsets[QStringLiteral("CDEFGAB").indexOf(token[1])];
        EXPECT_GT(offset, previous) << id;
        previous = offset;
    }
    EXPECT_EQ(keys.size(), 33);
    EXPECT_EQ(previous, 55);
}

TEST(StringTable, DefaultSettingsText)
{
    const QString text = res::LoadResString(res::DefaultSettings);
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n\r\n")));
    QStringList l = lines(text);
    l.removeLast();  // after the final line end
    ASSERT_EQ(l.size(), 52);

    const QStringList instruments = res::instrumentNames();
    const QStringList drums = res::percussionNames();
    QList<int> values;
    for (int i = 0; i < 46; ++i) {
        const auto v = forms::toInt16(l[i]);
        ASSERT_TRUE(v.has_value()) << i;
        EXPECT_EQ(l[i], forms::PrintNumber(*v)) << i;  // as the settings writer prints a number
        values << *v;
    }
    // Instrument groups of F1..F12, three layers each.
    const QStringList groups = {
        "3.酒吧钢琴|0.无声|0.无声",        "19.电子琴3|0.无声|0.无声",
        "76.排笛|0.无声|0.无声",           "108.十三弦古筝|0.无声|0.无声",
        "83.诗歌|86.独奏嗓音|101.明亮",     "17.电子琴1|54.人声嘟|4.柔和电钢琴",
        "52.合成弦乐2|15.编钟|79.口哨",     "63.合成钢管1|74.笛子|92.合唱",
        "10.钟琴|15.编钟|83.诗歌",          "106.班卓琴|49.弦乐合奏1|103.回响音",
        "108.十三弦古筝|76.排笛|90.温暖音", "41.小提琴|10.钟琴|90.温暖音",
    };
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) {
            const int index = values[3 * k + v];
            ASSERT_TRUE(index >= 0 && index <= 128);
            EXPECT_EQ(instruments[index], groups[k].split('|')[v]) << "F" << k + 1 << " layer " << v + 1;
        }
    const QStringList padDrums = {"小鼓", "低音鼓", "铜钹 2", "中国铜钹", "拍掌",
                                  "颤击", "长梗笛", "中国铜钹", "悬挂钟", "南美鼓-高音"};
    for (int d = 0; d < 10; ++d) {
        const int index = values[36 + d];
        ASSERT_TRUE(index >= 0 && index <= 46);
        EXPECT_EQ(drums[index], padDrums[d]) << "keypad " << d;
    }
    EXPECT_EQ(l.mid(46), QStringList({"玻璃1.wav", "雷声3.WAV", "刹车2.wav", "瓦碎.wav", "开门声.wav",
                                      "关门声1.wav"}));

    // Written with its one extra line end, the file reads back whole, the empty 53rd line included.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("velqor.ini"));
    ASSERT_TRUE(forms::writeText(path, text + QStringLiteral("\r\n")));
    const auto back = forms::readText(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, text + QStringLiteral("\r\n"));
}

TEST(StringTable, DefaultChordPatterns)
{
    const QString text = res::LoadResString(res::DefaultChordPatterns);
    EXPECT_FALSE(text.endsWith('\n'));  // the writer adds the last line end
    const QStringList l = lines(text);
    ASSERT_EQ(l.size(), 15);
    EXPECT_EQ(l.first(), QStringLiteral("LC--------------LGWCWEWGKCKEKG--"));
    EXPECT_EQ(l[8], QStringLiteral("WGKCKEKGKCKEKGHCHEKEKGKAHCHDHEXZ"));
    EXPECT_EQ(l.last(), QStringLiteral("KC--KE--KG--KE--KG--HC--KG--KE--"));
    const QRegularExpression token(QStringLiteral("^([LWKH][CDEFGAB]|M[CDEFG]|CC|DM|EM|FF|GM|AM|XZ|--)$"));
    for (const QString& line : l) {
        ASSERT_EQ(line.size(), 32) << line.toStdString();
        for (int s = 0; s < 16; ++s)
            EXPECT_TRUE(token.match(line.mid(2 * s, 2)).hasMatch()) << line.toStdString() << " step " << s;
    }
}

TEST(StringTable, WelcomeTextNamesTheProgramAndEndsWithAContactLine)
{
    const QStringList l = lines(res::welcomeText());
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[0].contains(QStringLiteral("Velqor电子琴")));
    EXPECT_FALSE(l[1].isEmpty());
}
