#include "resources/strings.h"

#include <QHash>
#include <iterator>

namespace res {

namespace {

// Instrument list: item k names General MIDI program k - 1; item 0 is silence. Items 2 and 125
// end with a space, and the lists show them so.
const char* const kInstrumentNames[] = {
    "0.无声", "1.明亮钢琴", "2.电钢琴 ", "3.酒吧钢琴", "4.柔和电钢琴", "5.合唱电钢琴", "6.拨弦古钢琴", "7.击弦古钢琴", "8.古键琴",
    "9.钢片琴", "10.钟琴", "11.八音盒", "12.电颤琴", "13.木琴", "14.木琴", "15.编钟", "16.扬琴", "17.电子琴1",
    "18.电子琴2", "19.电子琴3", "20.击风琴", "21.摇滚风琴", "22.手风琴", "23.口琴", "24.探戈手风琴", "25.尼龙弦吉它",
    "26.钢丝弦吉它", "27.爵士乐吉它", "28.民谣吉它", "29.爵士电吉它", "30.电吉它", "31.闷音电吉它", "32.浊音电吉它",
    "33.变音电吉它", "34.原音贝司", "35.手弹贝司", "36.颤音贝司", "37.重贝司1", "38.重贝司2", "39.合成贝司1", "40.合成贝司2",
    "41.小提琴", "42.中提琴", "43.大提琴", "44.低音提琴", "45.颤弓弦乐", "46.弹拨弦乐", "47.竖琴", "48.定音鼓",
    "49.弦乐合奏1", "50.弦乐合奏2", "51.合成弦乐1", "52.合成弦乐2", "53.人声啊", "54.人声嘟", "55.合成人声", "56.打击乐",
    "57.喇叭", "58.长号", "59.大号", "60.闷音小号", "61.法国号", "62.铜管乐", "63.合成钢管1", "64.合成钢管2",
    "65.最高音萨克斯", "66.低音萨克斯", "67.高音萨克斯", "68.中音萨克斯", "69.双簧管", "70.英国管", "71.低音管", "72.单簧管",
    "73.短笛", "74.笛子", "75.直笛", "76.排笛", "77.吹瓶声", "78.箫", "79.口哨", "80.陶笛", "81.方波", "82.锯齿波",
    "83.诗歌", "84.合成吹管", "85.合成电吉他", "86.独奏嗓音", "87.五度和音", "88.贝司前奏", "89.幻想曲", "90.温暖音",
    "91.和音", "92.合唱", "93.弹弓", "94.金属音", "95.光环音", "96.横扫音", "97.雨声", "98.单轨", "99.水晶",
    "100.大气声", "101.明亮", "102.精灵音", "103.回响音", "104.科幻声", "105.锡塔尔琴", "106.班卓琴", "107.啥米森琴",
    "108.十三弦古筝", "109.卡里姆琴", "110.苏格兰风笛", "111.提琴", "112.三弦", "113.铃当声", "114.阿哥鼓", "115.钢鼓",
    "116.木版", "117.太空音", "118.古高音鼓", "119.架子鼓", "120.合成鼓", "121.游戏音", "122.呼吸噪音", "123.海浪声",
    "124.鸟叫", "125.打电话 ", "126.直升飞机", "127.欢呼", "128.枪声",
};

// Percussion list: item k names General MIDI percussion key 35 + k.
const char* const kPercussionNames[] = {
    "低音大鼓", "低音鼓", "鼓边敲击", "小鼓", "拍掌", "电子小鼓", "落地鼓-低音", "闭合双面钹", "落地鼓-高音", "踏板双面钹", "中音鼓-低音",
    "开放双面钹", "中音鼓-中低", "中音鼓-中高", "铜钹 1", "高音鼓-高音", "高架钹", "中国铜钹", "悬挂钟", "摇鼓", "溅开钹声", "牛铃",
    "铜钹 2", "颤击", "高架钹 2", "南美鼓-高音", "南美鼓-低音", "康加鼓-闷高", "康加鼓-开高", "康加鼓-低音", "定音鼓-高音",
    "定音鼓-低音", "阿哥哥-高音", "阿哥哥-低音", "抓筒", "响葫芦", "短口哨", "长口哨", "短梗笛", "长梗笛", "响鞭", "木鱼-高音",
    "木鱼-低音", "木笛-闷音", "木笛-开音", "三角铃-闷音", "三角铃-开音",
};

// The 33 note keys of the computer keyboard, lowest note first (strings 401..433).
const char* const kNoteKeys[] = {
    "6", "7", "8", "9", "0", "-", "=", "T", "Y", "U", "I", "O", "P", "[", "G", "H", "J",
    "K", "L", ";", "'", "V", "B", "N", "M", ",", ".", "/", "1", "2", "3", "4", "5",
};
const char* const kRegisterLetters = "LWKHM";
const char* const kRegisterWords[] = {"最低音", "低音", "中音", "高音", "最高音"};
const char* const kNoteLetters = "CDEFGAB";
const char* const kSyllables[] = {"哆", "唻", "咪", "法", "嗦", "啦", "希"};

const QString kCrLf = QStringLiteral("\r\n");

// Help of note key i (0..32): the key, its register and syllable, and its score token. The
// keys "6" and "8" are written without the leading space the others have.
QString keyHelp(int i)
{
    const int reg = i / 7;
    const int note = i % 7;
    const QString token = QString(QLatin1Char(kRegisterLetters[reg])) + QLatin1Char(kNoteLetters[note]);
    const QString lead = (i == 0 || i == 2) ? QString() : QStringLiteral(" ");
    return lead + QString::fromUtf8(kNoteKeys[i]) + QStringLiteral(" 键") + kCrLf
           + QString::fromUtf8(kRegisterWords[reg]) + QStringLiteral("（")
           + QString::fromUtf8(kSyllables[note]) + QStringLiteral("）") + kCrLf
           + QStringLiteral("乐谱中用 ") + token + QStringLiteral(" 表示");
}

// Default key settings, one value per line: the three instruments of F1..F12, the drums of
// the keypad digits 0..9, and the effect sounds of Ins, Home, PgUp, Del, End and PgDn.
const char* const kDefaultSettingsLines[] = {
    " 3 ",   " 0 ",  " 0 ",        // F1
    " 19 ",  " 0 ",  " 0 ",        // F2
    " 76 ",  " 0 ",  " 0 ",        // F3
    " 108 ", " 0 ",  " 0 ",        // F4
    " 83 ",  " 86 ", " 101 ",      // F5
    " 17 ",  " 54 ", " 4 ",        // F6
    " 52 ",  " 15 ", " 79 ",       // F7
    " 63 ",  " 74 ", " 92 ",       // F8
    " 10 ",  " 15 ", " 83 ",       // F9
    " 106 ", " 49 ", " 103 ",      // F10
    " 108 ", " 76 ", " 90 ",       // F11
    " 41 ",  " 10 ", " 90 ",       // F12
    " 3 ", " 1 ", " 22 ", " 17 ", " 4 ", " 23 ", " 39 ", " 17 ", " 18 ", " 25 ",  // keypad 0..9
    "玻璃1.wav", "雷声3.WAV", "刹车2.wav", "瓦碎.wav", "开门声.wav", "关门声1.wav",
};

// Default chord-rhythm patterns, one voice pattern of 16 two-letter tokens per line.
const char* const kDefaultChordPatterns[] = {
    "LC--------------LGWCWEWGKCKEKG--", "WC--------------WC--WE--WG--WC--",
    "WG--KC--KE--KG------KE--KC------", "WC--WG--KC--WG--WE--WG--LC--WG--",
    "XZ--------------HCHCHCHCKGXZHCXZ", "XZ----------------MCHGHEHGHEHCKG",
    "LG--WC----------LG--WC----------", "XZ------WG--WC--WE------WG--WE--",
    "WGKCKEKGKCKEKGHCHEKEKGKAHCHDHEXZ", "KCXZ----WCXZ----WEXZ----KCKEKG--",
    "KC--KGKEKC--KC--KE--------------", "LC--------XZLGXZLG----------XZ--",
    "WC--WE--WG--WE--WG--KC--WG--WE--", "LC--LE--LG--LE--LG--WC--LC--LE--",
    "KC--KE--KG--KE--KG--HC--KG--KE--",
};

const char* const kContactLine = "意见与建议：欢迎通过本软件的发布页面联系 Velqor电子琴 开发组。";

// Paragraphs of the seven help topics of the main window (strings 500..506).
const char* const kIntroduction[] = {
    "　　Velqor电子琴是一个用电脑键盘和鼠标演奏MIDI音乐的软件。演奏旋律时，可以从128种乐器中任选1到3种同时发声；节奏伴奏可以选用1到4种乐器，另有一种和弦伴奏乐器和6种特殊音效。",
    "　　乐谱可以写成很小的文本文件，打开后由电脑自动演奏。",
    "　　软件带有音乐编辑器：可以从128种乐器中任选7种编写旋律，从40多种打击乐器中任选5种编写节奏，一个小节一个小节地编辑和试听。",
    "　　软件还带有录音机，可以把演奏录下来并随时重放。",
    kContactLine,
};
const char* const kPlayingHelp[] = {
    "　　电脑键盘和鼠标可以同时演奏：按下键盘上的按键，或按住鼠标在窗口下方的琴键上拖动即可发声。演奏时中间的提示行会说明每个键对应的音符；点击键盘分布图片可以放大查看整个键盘的音符分布。",
    "　　如果按键没有声音，请把输入法切换为英语(美国)输入方式。",
    "　　演奏时乐谱框会自动记下音符和它们的时值；按空格键可以停止所有声音。使用过其他按钮或列表后，点击“键盘”按钮即可恢复键盘演奏。",
    "　　F1到F12用来切换不同的乐器组合。F1到F12的乐器组合、小键盘数字键的打击乐以及Ins、Home、PgUp、Del、End、PgDn键的WAV音效都可以在“设置”页中自行设定，保存以后下次启动本软件时将自动加载。",
};
const char* const kAutoPlayHelp[] = {
    "　　点击“打开”可以打开保存过的乐谱，由电脑自动演奏。",
    "　　乐谱的写法：字母LWKHM表示音区（从最低音到最高音），字母CDEFGAB表示音符（哆唻咪法嗦啦希），两个字母组成一个音，例如KC表示中音哆。",
    "　　音符后面的数字1到99是这个音的长度，以八分之一拍为单位；长度不能为0，也不能大于99；与前一个音的长度相同时可以省略不写。",
    "　　YQ加数字选择F1到F12中的一组乐器，VS加数字选择速度列表中的一个速度，JP加数字选择一个节奏（内置的或自己保存的），JP99停止节奏。选中“自动同步”后，节奏会随演奏一同开始。",
    "　　乐谱以TZ结束。例如：YQ7KC4KD4KE4KF4KG8TZ",
};
const char* const kRhythmHelp[] = {
    "　　在节奏页中可以从列表里选择四种乐器，每种乐器后面的彩色小方框表示这种乐器在哪一拍发声，勾选即可。",
    "　　点击“启动”可以试听节奏；节奏的快慢跟随旋律的速度。点击“保存”可以把节奏保存下来以后使用。",
    "　　选中“自动同步”后，节奏会随着演奏开始和停止。",
};
const char* const kChordHelp[] = {
    "　　在和弦页中可以选择一种和弦进行，或点击“启动”试听和弦伴奏。",
    "　　和弦使用的乐器可以自由选择。",
};
const char* const kMiniWindowHelp[] = {
    "　　在窗口的空白处点击鼠标，窗口会缩小，方便在屏幕上同时摆放乐谱；再次点击即可恢复原来的大小。",
};
const char* const kRecorderHelp[] = {
    "　　录音机的三角形按钮用来打开并播放录好的声音文件，方形按钮停止，圆形按钮开始录音；点击“保存”可以把录音保存为WAV文件。",
    "　　如果录音重放时没有声音，请在系统的声音设置中把录音设备选为声卡的混音输入（立体声混音）。",
};

const char* const kEditorHelp[] = {
    "　　音乐编辑窗口使用与键盘演奏相同的音符写法（例如KC表示中音哆），每一行乐器旁边是它的演奏音量。修改了一个小节的旋律或打击乐以后，请先试听这个小节；修改了音调、速度或音量以后，请保存这个小节。没有完成的作品可以保存为编辑文件，以后打开继续编辑。录音的用法与主窗口中的录音机相同。",
};

const char* const kWelcome =
    "　　欢迎使用Velqor电子琴！本软件把电脑键盘变成一台电子琴：用键盘和鼠标演奏旋律，"
    "最多三种乐器同时发声，并由电脑配上节奏与和弦伴奏。软件还带有音乐编辑器，"
    "可以一个小节一个小节地编写多声部乐曲；写好的乐谱可以由电脑自动演奏，"
    "录音机可以录下您的演奏并随时重放。";

template <std::size_t N>
QString joinLines(const char* const (&lines)[N], bool finalLineEnd)
{
    QString text;
    for (std::size_t i = 0; i < N; ++i) {
        text += QString::fromUtf8(lines[i]);
        if (finalLineEnd || i + 1 < N) text += kCrLf;
    }
    return text;
}

QHash<int, QString> buildTable()
{
    QHash<int, QString> t;
    for (int k = 0; k <= InstrumentLast - InstrumentFirst; ++k)
        t.insert(InstrumentFirst + k, QString::fromUtf8(kInstrumentNames[k]));
    for (int k = 0; k <= PercussionLast - PercussionFirst; ++k)
        t.insert(PercussionFirst + k, QString::fromUtf8(kPercussionNames[k]));
    for (int i = 0; i <= KeyHelpLast - KeyHelpFirst; ++i) t.insert(KeyHelpFirst + i, keyHelp(i));
    t.insert(MainHelpFirst + 0, joinLines(kIntroduction, false));
    t.insert(MainHelpFirst + 1, joinLines(kPlayingHelp, false));
    t.insert(MainHelpFirst + 2, joinLines(kAutoPlayHelp, false));
    t.insert(MainHelpFirst + 3, joinLines(kRhythmHelp, false));
    t.insert(MainHelpFirst + 4, joinLines(kChordHelp, false));
    t.insert(MainHelpFirst + 5, joinLines(kMiniWindowHelp, false));
    t.insert(MainHelpFirst + 6, joinLines(kRecorderHelp, false));
    t.insert(EditorHelp, joinLines(kEditorHelp, false));
    // The settings text ends with a line end of its own; its writer adds one more.
    t.insert(DefaultSettings, joinLines(kDefaultSettingsLines, true));
    // The chord patterns have line ends between lines only; their writer adds the last one.
    t.insert(DefaultChordPatterns, joinLines(kDefaultChordPatterns, false));
    return t;
}

const QHash<int, QString>& table()
{
    static const QHash<int, QString> t = buildTable();
    return t;
}

QStringList range(int first, int last)
{
    QStringList list;
    list.reserve(last - first + 1);
    for (int id = first; id <= last; ++id) list << LoadResString(id);
    return list;
}

}  // namespace

static_assert(std::size(kInstrumentNames) == InstrumentLast - InstrumentFirst + 1);
static_assert(std::size(kPercussionNames) == PercussionLast - PercussionFirst + 1);
static_assert(std::size(kNoteKeys) == KeyHelpLast - KeyHelpFirst + 1);
static_assert(std::size(kDefaultSettingsLines) == 52);
static_assert(std::size(kDefaultChordPatterns) == 15);

QString LoadResString(int id) { return table().value(id); }

QStringList instrumentNames() { return range(InstrumentFirst, InstrumentLast); }

QStringList percussionNames() { return range(PercussionFirst, PercussionLast); }

QString welcomeText() { return QString::fromUtf8(kWelcome) + kCrLf + QString::fromUtf8(kContactLine); }

}  // namespace res
