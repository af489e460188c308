// Chord accompaniment: progressions, voice patterns, the chord clock and the pattern file.
#include "forms/dialogs.h"
#include "forms/focus.h"
#include "forms/textfile.h"
#include "keyboard/accompaniment.h"
#include "keyboard/chord_patterns.h"
#include "keyboard/form1.h"
#include "keyboard/panel_texts.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "resources/strings.h"

#include <QEvent>

namespace keyboard {

void Form1::wireChord()
{
    connect(Check6, &QCheckBox::toggled, this, [this] { Check6_Click(); });
    HXYS->onTick([this] { HXYS_Timer(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    // The instrument lists only offer their items: a typed text would stand for no instrument.
    for (QComboBox* list : {Combo3, Combo1, xuanyue}) list->setEditable(false);
    connect(Combo3, &QComboBox::currentIndexChanged, this, [this] { Combo3_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(xuanyue, &QComboBox::currentIndexChanged, this, [this] { xuanyue_Click(); });
    // The volume may be typed: it applies as it is typed and the focus stays for the next digit;
    // a choice from the list gives the keys back.
    connect(HxYL, &QComboBox::currentIndexChanged, this, [this] { HxYL_Click(); });
    connect(HxYL->lineEdit(), &QLineEdit::textEdited, this, [this] { HxYL_Change(); });
    Text4->installEventFilter(this);
    Text5->installEventFilter(this);
    Text6->installEventFilter(this);
}

bool Form1::filterChord(QObject* watched, QEvent* event)
{
    if (!forms::isControlFocusChange(event)) return false;
    if (event->type() == QEvent::FocusIn && watched == Text6) {
        Text6_GotFocus();
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == Text6) Text6_LostFocus();
        if (watched == Text4) Text4_LostFocus();
        if (watched == Text5) Text5_LostFocus();
    }
    return false;
}

namespace {

QString patternFilePath() { return forms::joinPath(midi::state().AppFolder, kPatternFileName); }

}  // namespace

// ---- progression and patterns ---------------------------------------------------------------

void Form1::SetProgression(const QString& digits)
{
    auto& s = midi::state();
    const int count = std::min<int>(int(digits.size()), kMaxProgression);
    s.ChordCount = int16_t(count);
    for (int i = 1; i <= count; ++i) s.ChordDegrees[i] = int16_t(digits[i - 1].unicode() - '0');
    s.ChordIndex = 1;
    PatternLineIndex = 1;
}

void Form1::CSHX()
{
    const auto& builtIn = builtInProgressions();
    for (int i = 1; i <= 6; ++i) ChordProgressions[i] = builtIn[i - 1];
    Text6->setText(ChordProgressions[pickEntry(nextRandom(), 6)]);
    SetProgression(Text6->text());
    HXCSH();
    HXYPSB();
    ZDHXSC();
}

void Form1::Command3_Click() { CSHX(); }

void Form1::HXCSH()
{
    const PatternPool pool = loadPatternPool(patternFilePath(), res::LoadResString(509));
    if (pool.source == PatternPool::Source::TooLarge) {
        // Not read at all: the patterns in the boxes stay, the built-in ones when there are none.
        forms::MsgBox(patternFileTooLargeText(), this);
        if (!Text4->text().isEmpty() || !Text5->text().isEmpty()) return;
    }
    PatternLines = pool.lines;
    PatternLineIndex = int(PatternLines.size()) + 1;
    PatternLineLast = int(PatternLines.size());
    // A file just created, or one that cannot be read: the built-in lines.
    if (pool.source != PatternPool::Source::Read) {
        Text4->setText(kBuiltInVoice1);
        Text2->setText(kBuiltInVoice1);
        Text5->setText(kBuiltInVoice2);
        return;
    }
    // An empty file offers no line: both voices get an empty one (every step holds).
    auto pick = [this] {
        return PatternLines.isEmpty() ? QString() : PatternLines[pickEntry(nextRandom(), PatternLineLast) - 1];
    };
    const QString voice1 = pick();
    Text2->setText(voice1);
    Text4->setText(voice1);
    Text5->setText(pick());
}

void Form1::HXYPSB() { parseChordPattern(ChordPattern, Text4->text(), Text5->text()); }

void Form1::ZDHXSC() { deriveChordRows(ChordPattern); }

// ---- the voices ------------------------------------------------------------------------------

void Form1::BZHX() { playChordVoice(1, ChordPattern, Combo3->currentIndex() >= 1); }
void Form1::BZHX2() { playChordVoice(2, ChordPattern, Combo3->currentIndex() >= 1); }
void Form1::HX1K() { endChordVoice(1); }
void Form1::HX2K() { endChordVoice(2); }

// ---- the chord clock -------------------------------------------------------------------------

void Form1::Check6_Click()
{
    auto& s = midi::state();
    s.CurStep = 0;
    s.RhythmStep = 0;
    s.ChordIndex = 1;
    HXYPSB();
    ZDHXSC();
    if (Check6->isChecked()) {
        HXYS->setInterval(2 * TempoStepMs());
        HXYS->setEnabled(true);
        Check6->setText(QStringLiteral("停止"));
    } else {
        HXYS->setEnabled(false);
        HX1K();
        HX2K();
        Check6->setText(QStringLiteral("启动"));
    }
}

void Form1::HXYS_Timer()
{
    if (forms::midiErrorBoxOpen()) return;
    auto& s = midi::state();
    normaliseAccompanimentPositions();
    if (xuanyue->currentIndex() >= 1) BZHX();
    if (xuanyue->currentIndex() >= 1) BZHX2();
    if (++s.CurStep > s.RhythmLastStep) {
        HX2K();
        if (++s.ChordIndex > s.ChordCount) {
            // The progression has played once: the clock stops itself.
            s.ChordIndex = 1;
            HXYS->setEnabled(false);
            HX1K();
            HX2K();
            Check6->setText(QStringLiteral("启动"));
            Check6->setChecked(false);
        }
        s.CurStep = 0;
    }
}

// ---- the chord tab's boxes ---------------------------------------------------------------------

void Form1::Text6_GotFocus() { SavedChordOrder = Text6->text(); }

void Form1::Text6_LostFocus()
{
    if (!parseProgression(Text6->text())) {
        Text6->setText(SavedChordOrder);
        return;
    }
    SetProgression(Text6->text());
    HXYPSB();
    ZDHXSC();
}

void Form1::Text4_LostFocus()
{
    Text4->setText(normalisePatternLine(Text4->text()));
    Text2->setText(Text4->text());
}

void Form1::Text5_LostFocus() { Text5->setText(normalisePatternLine(Text5->text())); }

void Form1::Command4_Click()
{
    const AppendResult result = appendPatternLines(patternFilePath(), Text4->text(), Text5->text());
    if (result == AppendResult::TooLarge)
        FJWZ->setText(patternFileTooLargeText());
    else if (result == AppendResult::Unreadable || result == AppendResult::WriteFailed)
        FJWZ->setText(QStringLiteral("和弦节奏模板保存失败！"));
}

// ---- instruments and volume ----------------------------------------------------------------------

void Form1::Combo3_Click()
{
    const int i = Combo3->currentIndex();
    if (i < 0) return;
    midi::ProgramChange(3, 0, int16_t(i - 1));
    xuanyue->setCurrentIndex(i);
    YXYZ();
}

void Form1::Combo1_Click()
{
    const int i = Combo1->currentIndex();
    if (i < 0) return;
    midi::ProgramChange(4, 0, int16_t(i - 1));
    midi::ProgramChange(5, 0, int16_t(i - 1));
}

void Form1::xuanyue_Click()
{
    const int i = xuanyue->currentIndex();
    if (i < 0) return;
    midi::ProgramChange(3, 0, int16_t(i - 1));
    midi::ProgramChange(4, 0, int16_t(i - 1));
    Combo1->setCurrentIndex(i);
    Combo3->setCurrentIndex(i);
    YXYZ();
}

void Form1::HxYL_Change() { midi::state().ChannelVelocity[3] = velocityFromText(HxYL->currentText()); }

void Form1::HxYL_Click()
{
    HxYL_Change();
    YXYZ();
}

}  // namespace keyboard
