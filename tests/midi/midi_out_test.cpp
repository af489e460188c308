// The MIDI module: device list, open/close, packing, pan and error boxes.
#include "forms/dialogs.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "support/midi_fixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>

using testing_support::MidiFixture;
using Kind = platform::CaptureMidiService::Kind;

namespace {

class MidiOutTest : public MidiFixture {};

TEST_F(MidiOutTest, PackingFollowsSignedArithmetic)
{
    EXPECT_EQ(uint32_t(midi::PackShortMsg(0x82, 60, 0)), 0x00003C82u);
    EXPECT_EQ(uint32_t(midi::PackShortMsg(0xC4, -1, 0)), 0xFFFFFFC4u);
    EXPECT_EQ(uint32_t(midi::PackShortMsg(0xC0, -1, 0)), 0xFFFFFFC0u);
    EXPECT_EQ(uint32_t(midi::PackShortMsg(0x90, 127, 127)), 0x007F7F90u);
}

TEST_F(MidiOutTest, ProgramChangeSendsBankThenProgram)
{
    openDevice();
    midi::ProgramChange(4, 0, 15);
    midi::ProgramChange(0, 0, -1);   // the silent instrument packs with its sign
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x000000B4, 0x00000FC4, 0x000000B0, 0xFFFFFFC0}));
}

TEST_F(MidiOutTest, NoteOnSendsPanFirst)
{
    openDevice();
    auto& s = midi::state();
    s.BaseNote = 36;
    s.ChannelPan = {64, 40, 88, 20, 108, 30, 98, 64};
    midi::NoteOn(1, 36, 70);
    midi::NoteOn(1, 36 + 55, 70);
    midi::NoteOn(1, 36 + 10, 70);
    midi::NoteOn(1, 36 + 20, 70);
    midi::NoteOn(1, 36 + 38, 70);
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x00140AB1u, 0x00462491u,
                                                   0x006B0AB1u, 0x00465B91u,
                                                   0x00160AB1u, 0x00462E91u,
                                                   0x00340AB1u, 0x00463891u,
                                                   0x006A0AB1u, 0x00464A91u}));
    midi.clear();
    midi::NoteOn(0, 50, 1);
    midi::NoteOn(3, 90, 1);
    midi::NoteOn(4, 20, 1);
    midi::NoteOn(6, 60, 1);
    std::vector<uint32_t> pans;
    for (size_t i = 0; i < midi.sent().size(); i += 2) pans.push_back(midi.sent()[i]);
    EXPECT_EQ(pans, (std::vector<uint32_t>{0x00400AB0, 0x00140AB3, 0x006C0AB4, 0x00620AB6}));
}

TEST_F(MidiOutTest, NoteOffAndControlChange)
{
    openDevice();
    midi::NoteOff(2, 60);
    midi::ControlChange(9, 11, 127);
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x00003C82, 0x007F0BB9}));
}

TEST_F(MidiOutTest, Data1OutsideItsRangeIsDroppedSilently)
{
    openDevice();
    midi::SendShortMsg(0x90, 128, 1);
    midi::SendShortMsg(0x90, -129, 1);
    EXPECT_TRUE(midi.events.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MidiOutTest, SendWithoutDeviceShowsOneBoxPerTextAndAction)
{
    // Every call is refused, but one action shows its text once, after its handler returned;
    // another text in the same action has its own box.
    midi::NoteOff(0, 60);
    midi::NoteOff(0, 61);
    midi.refuseOpen = platform::kMidiError;
    EXPECT_FALSE(midi::OpenMidiDevice(0));
    midi::NoteOff(0, 62);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    afterHandler();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0], platform::midiErrorText(platform::kMidiInvalidHandle));
    EXPECT_FALSE(dialogs.messages[0].isEmpty());
    EXPECT_NE(dialogs.messages[1], dialogs.messages[0]);
    // The next action of the user shows the text again.
    QWidget user;
    QTest::keyClick(&user, Qt::Key_A);
    midi::NoteOff(0, 63);
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(midi.sent().size(), 0u);
}

TEST_F(MidiOutTest, AnErrorBoxStandsOnTheWindowThatRaisedIt)
{
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    midi::NoteOff(0, 60);   // no device open
    // Raised while a dialog of that window is open: the box stands on the window, not the dialog.
    QDialog dialog(&window);
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    midi.refuseOpen = platform::kMidiError;
    EXPECT_FALSE(midi::OpenMidiDevice(0));
    afterHandler();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messageParents, (std::vector<QWidget*>{&window, &window}));
    // The window closed before the box shows: the box still stands where the window stood.
    midi.refuseOpen = platform::kMidiNotReady;
    EXPECT_FALSE(midi::OpenMidiDevice(0));
    dialog.hide();
    window.hide();
    afterHandler();
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messageParents[2], &window);
}

TEST_F(MidiOutTest, TheBoxsOwnEventLoopDoesNotHideTheTextFromTheNextAction)
{
    // The box runs its own event loop; a refusal within it adds nothing.
    dialogs.onMessage = [] {
        QCoreApplication::processEvents();
        midi::NoteOff(0, 1);
        QCoreApplication::processEvents();
    };
    midi::NoteOff(0, 60);   // no device open
    afterHandler();
    QWidget user;
    QTest::keyClick(&user, Qt::Key_A);
    midi::NoteOff(0, 61);   // the next action: the same refusal shows again
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(MidiOutTest, OpenClosesThePreviousDeviceAndKeepsZeroOnFailure)
{
    EXPECT_TRUE(midi::OpenMidiDevice(-1));
    const int32_t first = midi::state().MidiOutHandle;
    EXPECT_NE(first, 0);
    midi.refuseOpenIds = {0};
    EXPECT_FALSE(midi::OpenMidiDevice(0));
    EXPECT_EQ(midi::state().MidiOutHandle, 0);
    afterHandler();
    ASSERT_EQ(dialogs.messages.size(), 1);
    ASSERT_GE(midi.events.size(), 3u);
    EXPECT_EQ(midi.events[1].kind, Kind::Close);
    EXPECT_EQ(midi.events[1].handle, uint32_t(first));
    // Handles are never reused.
    midi.refuseOpenIds.clear();
    EXPECT_TRUE(midi::OpenMidiDevice(0));
    EXPECT_NE(midi::state().MidiOutHandle, first);
}

TEST_F(MidiOutTest, FailedCloseStillClearsHandle)
{
    openDevice();
    midi.refuseClose = platform::kMidiError;
    midi::CloseMidiDevice();
    EXPECT_EQ(midi::state().MidiOutHandle, 0);
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
    midi::CloseMidiDevice();   // nothing open: no call, no box
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(MidiOutTest, DeviceListPutsMapperFirstAndSkipsUnreadable)
{
    const QString longName = QString(40, 'L');
    midi.devices = {"A", "B", longName};
    midi.unreadable = {1};
    midi::PlainItemList list;
    list.items.push_back({"old", 5});
    EXPECT_TRUE(midi::ListMidiDevices(list));
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_EQ(list.items[0].data, -1);
    EXPECT_EQ(list.items[1].text, "A");
    EXPECT_EQ(list.items[1].data, 0);
    EXPECT_EQ(list.items[2].text, longName.left(31));   // names are shown cut to 31 characters
    EXPECT_EQ(list.items[2].data, 2);

    midi.devices.clear();   // the mapper alone is a device to choose
    EXPECT_TRUE(midi::ListMidiDevices(list));
    EXPECT_EQ(list.items.size(), 1u);
    midi.mapperReadable = false;
    EXPECT_FALSE(midi::ListMidiDevices(list));
    EXPECT_TRUE(list.items.empty());
}

TEST_F(MidiOutTest, ErrorBoxesDoNotNest)
{
    // A refusal while a box is open waits and is shown after that box has closed; one with the
    // text showing or waiting adds nothing.
    int nested = 0;
    qsizetype shownWhileOpen = 0;
    bool clocksStoodStill = false;
    dialogs.onMessage = [&] {
        if (nested++ != 0) return;
        clocksStoodStill = forms::midiErrorBoxOpen();
        midi::NoteOff(0, 1);   // no device open: refused with the text showing
        forms::MidiErrorBox("b");
        forms::MidiErrorBox("c");
        forms::MidiErrorBox("b");
        forms::MsgBox("inner");   // another box opened and closed over the first
        shownWhileOpen = dialogs.messages.size();
    };
    midi::NoteOff(0, 0);
    afterHandler();
    EXPECT_EQ(shownWhileOpen, 2);   // the refusals waited for the first box to close
    EXPECT_EQ(dialogs.messages,
              QStringList({platform::midiErrorText(platform::kMidiInvalidHandle), "inner", "b", "c"}));
    EXPECT_TRUE(clocksStoodStill);
    EXPECT_FALSE(forms::midiErrorBoxOpen());
    // A refusal while a question is open is shown once it is answered.
    dialogs.messages.clear();
    dialogs.onQuestion = [] { forms::MidiErrorBox("d"); };
    forms::AskYesNo("q");
    EXPECT_EQ(dialogs.messages, QStringList({"q"}));
    afterHandler();
    EXPECT_EQ(dialogs.messages, QStringList({"q", "d"}));
    // An ordinary box does not stop the clocks.
    dialogs.onMessage = [&] { clocksStoodStill = forms::midiErrorBoxOpen(); };
    forms::MsgBox("x");
    EXPECT_FALSE(clocksStoodStill);
}

}  // namespace
