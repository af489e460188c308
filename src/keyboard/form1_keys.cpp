// Live playing from the computer keyboard: the key catcher "键盘" and its key-down handler.
#include "forms/conv.h"
#include "forms/keycodes.h"
#include "forms/textfile.h"
#include "keyboard/accompaniment.h"
#include "keyboard/form1.h"
#include "keyboard/key_table.h"
#include "keyboard/score_recording.h"
#include "keyboard/settings_file.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/state.h"
#include "platform/wave_player.h"
#include "resources/strings.h"

#include <QFileInfo>
#include <QKeyEvent>

namespace keyboard {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNineSpaces = QStringLiteral("         ");

// The string shown for the rest key: the help of the lowest "哆".
constexpr int kRestHelpId = 401;

}  // namespace

void Form1::wireKeys()
{
    // The key catcher receives every key: no input method, no shortcut, no focus movement.
    SFYXYZ->setAttribute(Qt::WA_InputMethodEnabled, false);
    SFYXYZ->installEventFilter(this);
}

bool Form1::filterKeys(QObject* watched, QEvent* event)
{
    if (watched != SFYXYZ) return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claiming the override turns a would-be shortcut into a plain key press for the catcher.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        auto* e = static_cast<QKeyEvent*>(event);
        const int shift = (e->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                          (e->modifiers() & Qt::ControlModifier ? 2 : 0) |
                          (e->modifiers() & Qt::AltModifier ? 4 : 0);
        SFYXYZ_KeyDown(forms::keyCode(e), shift);
        // The button keeps its own handling of the space bar (a click on release); every other
        // key ends here, so Tab, the arrows, Return and Enter neither move the focus nor click.
        return e->key() != Qt::Key_Space;
    }
    case QEvent::KeyRelease: {
        auto* e = static_cast<QKeyEvent*>(event);
        if (!e->isAutoRepeat()) SFYXYZ_KeyUp(forms::keyCode(e));
        return false;
    }
    default:
        return false;
    }
}

void Form1::SFYXYZ_KeyDown(int KeyCode, int /*Shift*/)
{
    auto& s = midi::state();
    s.LastKeyCode = int16_t(KeyCode);
    switch (keyAction(KeyCode)) {
    case KeyAction::StopWaveEffect:
        platform::PlaySoundFile(QString(), 0);
        break;
    case KeyAction::WaveEffect:
        PlaySoundEffectKey();
        YXYZ();
        break;
    case KeyAction::InstrumentGroup:
        selectInstrumentGroup(KeyCode - forms::vk::F1);
        break;
    case KeyAction::Stop:
        stopKey();
        break;
    case KeyAction::Rest:
        restKey();
        break;
    case KeyAction::Chord:
        PlayChordKey();
        break;
    case KeyAction::Effect:
        PlayEffectKey();
        break;
    case KeyAction::PadDrum:
        s.PadIndex = int16_t(KeyCode - forms::vk::Numpad0);
        midi::PlayPadDrum();
        XSWB->setText(YQSZ[3]->itemText(s.KeypadDrums[s.PadIndex]) + QStringLiteral("_打击乐"));
        break;
    case KeyAction::RhythmOn:
        BzQd->setChecked(true);
        break;
    case KeyAction::RhythmOff:
        BzQd->setChecked(false);
        break;
    case KeyAction::Note: {
        const NoteKey* key = noteKeyFor(KeyCode);
        s.CurKey = int16_t(key->offset);
        playNoteKey(QString::fromLatin1(key->token), key->helpId);
        break;
    }
    case KeyAction::Other:
        // While a score plays the box shows the score and its position.
        if (!ScorePlaying()) Text3->setPlainText(QString::number(KeyCode));
        break;
    }
}

void Form1::SFYXYZ_KeyUp(int KeyCode)
{
    // The score draws none of its notes: a key played along with it is drawn pressed only while
    // it is held. Without a score the key sounding stays drawn until the next one.
    if (!ScorePlaying() || keyAction(KeyCode) != KeyAction::Note) return;
    ReleaseKeyPicture(noteKeyFor(KeyCode)->offset);
}

void Form1::playNoteKey(const QString& token, int helpId)
{
    // The notes sound first: the screen (pictures, status line, score box) follows them.
    auto& s = midi::state();
    const int released = s.LastKey;

    if (ScorePlaying()) {
        // The keys play along with a score that is playing; they write nothing into it and
        // start no take.
        NoteOffLastKey();
        LayersOn(s.CurKey);
        s.LastKey = s.CurKey;
        showNoteKey(released, helpId);
        return;
    }

    // The note before this one lasted from its key to this key: the ticks counted since, also
    // when this key comes before the clock has ticked.
    appendRecorded(s.ScoreText, evenTicks(s.HoldTicks), token);
    Auditioning = false;

    // The clock counts the new note from this key.
    Timer1->setInterval(s.StepMs);
    Timer1->restart();
    s.HoldTicks = 0;

    NoteOffLastKey();
    LayersOn(s.CurKey);

    if (!Timer1->enabled()) {
        // The first note of a take restarts the accompaniment, which sounds its first step now.
        s.CurStep = 0;
        s.RhythmStep = 0;
        if (Check5->isChecked()) {
            midi::SendShortMsg(0xB9, 11, 127);
            if (xuanyue->currentIndex() > 0) BZHX();
            if (xuanyue->currentIndex() > 0) BZHX2();
            midi::PlayCurStep();
        }
        s.CurStep = 1;
        s.RhythmStep = 1;
        s.ChordIndex = 1;
        s.HoldTicks = 1;
    }
    Timer1->setEnabled(true);
    s.LastKey = s.CurKey;

    showNoteKey(released, helpId);
    ShowScoreText();
}

void Form1::showNoteKey(int released, int helpId)
{
    const int key = midi::state().CurKey;
    PressKeyPicture(key);
    if (released != key) ReleaseKeyPicture(released);
    XSWB->setText(res::LoadResString(helpId));
}

void Form1::restKey()
{
    auto& s = midi::state();
    SilenceMelodyRange(2);
    endEffectNote();
    XSWB->setText(res::LoadResString(kRestHelpId));
    if (ScorePlaying()) return;   // a rest in the playing score is not written into it
    appendRecorded(s.ScoreText, s.HoldTicks, QStringLiteral("XZ"));
    s.HoldTicks = 0;
    Timer1->setInterval(s.StepMs);
    Timer1->restart();
    Timer1->setEnabled(true);
    ShowScoreText();
}

void Form1::stopKey()
{
    auto& s = midi::state();
    const bool playing = ScorePlaying();
    Timer1->setEnabled(false);
    SilenceEveryKey();
    EndKeysPlayedAlong();
    BzQd->setChecked(false);
    // The stop ends a take; a score that is playing only stops, nothing is added to it.
    if (!playing && !s.ScoreText.isEmpty())
        appendRecorded(s.ScoreText, s.HoldTicks, QStringLiteral("TZ"));
    ReleaseKeyPicture(s.LastKey);
    ShowScoreText();
    // The space bar ends a score that is playing too: "试听" on the button must not stand over a
    // score clock that keeps playing.
    if (playing || Timer3->enabled()) StopScorePlayback();
    Yuepu[0]->setText(QStringLiteral("试听"));
    s.CurStep = 0;
    s.RhythmStep = 0;
    s.ChordIndex = 1;
    Auditioning = false;
}

void Form1::ApplyInstrumentGroup(int group)
{
    auto& s = midi::state();
    for (int i = 0; i < 3; ++i) s.ChannelProgram[i] = s.PresetTable[group][i];
    for (int i = 0; i < 3; ++i) {
        // A preset the list lacks leaves the layer's choice as it is.
        if (s.ChannelProgram[i] >= 0 && s.ChannelProgram[i] < ComSounds[i]->count())
            ComSounds[i]->setCurrentIndex(s.ChannelProgram[i]);
        midi::ProgramChange(int16_t(i), 0, int16_t(ComSounds[i]->currentIndex() - 1));
    }
}

void Form1::selectInstrumentGroup(int group)
{
    ApplyInstrumentGroup(group);
    XSWB->setText(QStringLiteral("你已经选择了") + kCrLf + QStringLiteral("       乐器组合") +
                  forms::Str(group + 1));
    YXYZ();
}

void Form1::LayersOn(int key)
{
    const auto& s = midi::state();
    const int note = key + s.BaseNote;
    for (int16_t c = 0; c < 3; ++c)
        if (ComSounds[c]->currentIndex() > 0) midi::NoteOn(c, int16_t(note), s.ChannelVelocity[c]);
    if (ComSounds[2]->currentIndex() > 0) midi::NoteOn(2, int16_t(note - 12), s.ChannelVelocity[2]);
}

void Form1::PlayEffectKey()
{
    auto& s = midi::state();
    const EffectKey* key = effectKeyFor(s.LastKeyCode);
    if (!key) return;
    // One effect sounds at a time: the one before ends here.
    endEffectNote();
    midi::ProgramChange(6, 0, int16_t(key->program));
    EffectNote = int16_t(s.BaseNote + key->noteAbove);
    midi::NoteOn(6, EffectNote, 100);
    XSWB->setText(QStringLiteral("特殊音效") + kCrLf + kNineSpaces + QString::fromUtf8(key->name));
}

void Form1::endEffectNote()
{
    if (EffectNote < 0) return;
    midi::NoteOff(6, EffectNote);
    EffectNote = -1;
}

void Form1::PlayChordKey()
{
    auto& s = midi::state();
    const ChordKey* key = chordKeyFor(s.LastKeyCode);
    if (!key) return;
    if (s.ChordIndex >= 0 && s.ChordIndex < int(s.ChordDegrees.size()))
        s.ChordDegrees[s.ChordIndex] = int16_t(key->degree);
    s.ChordCount = 1;
    HXYS->setEnabled(true);
    Check6->setChecked(true);
    XSWB->setText(QStringLiteral("和弦音效") + kCrLf + kNineSpaces + QString::fromUtf8(key->name));
}

void Form1::PlaySoundEffectKey()
{
    auto& s = midi::state();
    const int i = waveEffectIndex(s.LastKeyCode);
    if (i < 0) return;
    const QString path = EffectFilePath(s.AppFolder, s.EffectWavNames[i]);
    bool unplayable = false;
    if (QFileInfo(path).isFile()) {
        using namespace platform;
        if (Check2->isChecked()) {
            s.SoundFlags = kSoundAsync | kSoundNoDefault | kSoundLoop;
            unplayable = !PlaySoundFile(path, s.SoundFlags);
        } else {
            s.SoundFlags = kSoundAsync | kSoundNoDefault;
            PlaySoundFile(path, s.SoundFlags);
            unplayable = !PlaySoundFile(path, kSoundAsync);
        }
    }
    XSWB->setText(EffectStatusText(s.EffectWavNames[i], unplayable));
}

}  // namespace keyboard
