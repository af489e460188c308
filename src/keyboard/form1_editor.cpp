// The main window's side of the score editor: "编辑" hands the shared state and the channels to
// the editor, and the activation after the editor takes them back.
//
// Both windows drive CurStep, StepMs, the percussion cells of columns 0..4 and channels 0..6;
// the window that is not shown plays nothing, and the window shown again sounds as it did.
#include "forms/windows.h"
#include "keyboard/form1.h"
#include "midi/midi_out.h"
#include "midi/state.h"

namespace keyboard {

void Form1::BJCK_Click()
{
    // Until an editor window is registered the main window stays as it is.
    if (!forms::hasWindow(forms::window::Editor)) return;
    StopForEditor();
    LeftForEditor = true;
    forms::showWindow(forms::window::Editor);
    hide();
}

void Form1::StopForEditor()
{
    // Score playback, free rhythm and chord accompaniment end through their own stop paths.
    if (Auditioning || Timer3->enabled()) StopScorePlayback();
    BzQd->setChecked(false);
    EndKeysPlayedAlong();
    // A live take ends without a word in the score: its clock stops and its notes go off. The
    // recorder's clock goes on.
    if (Timer1->enabled()) {
        Timer1->setEnabled(false);
        SilenceScoreNote();
        ReleaseKeyPicture(midi::state().LastKey);
    }
}

void Form1::ReapplyOwnSound()
{
    LeftForEditor = false;
    auto& s = midi::state();
    // The device the list shows, reopened with the melody and chord programs.
    const int item = ComDevies->currentIndex();
    if (item >= 0) midi::OpenMidiDevice(int16_t(ComDevies->itemData(item).toInt()));
    for (int16_t c = 0; c < 3; ++c) midi::ProgramChange(c, 0, int16_t(s.ChannelProgram[c] - 1));
    midi::ProgramChange(3, 0, int16_t(Combo3->currentIndex() - 1));
    midi::ProgramChange(4, 0, int16_t(Combo1->currentIndex() - 1));
    midi::ProgramChange(5, 0, int16_t(Combo1->currentIndex() - 1));
    // Vibrato as the layer boxes show it, full expression where the editor set its own.
    for (int16_t c = 0; c < 3; ++c) {
        const int16_t v = Check3[c]->isChecked() ? 120 : 0;
        midi::SendShortMsg(int16_t(0xB0 + c), 1, v);
        midi::SendShortMsg(int16_t(0xB0 + c), 91, v);
    }
    for (int16_t c : {0, 1, 2, 3, 4, 5, 6, 9}) midi::SendShortMsg(int16_t(0xB0 + c), 11, 127);
    // Key and step of this window: an eighth at its tempo, the editor's being a sixteenth.
    if (YD->currentIndex() >= 0) s.BaseNote = int16_t(36 + YD->currentIndex());
    s.StepMs = TempoStepMs();
    // The rhythm cells from the grid: the editor has left its own percussion there.
    const std::array<QCheckBox*, 17>* rows[3] = {&BZA, &BZB, &BZC};
    for (int r = 0; r < 3; ++r) {
        RebuildRhythmRow(r);
        for (int step = 0; step <= 16; ++step) {
            const QCheckBox* box = (*rows[r])[step];
            s.PercussionCells[r][step].Hit = box && box->isChecked() ? -1 : 0;
        }
    }
    for (int column = 3; column <= 4; ++column)
        for (int step = 0; step <= 16; ++step) s.PercussionCells[column][step].Hit = 0;
}

}  // namespace keyboard
