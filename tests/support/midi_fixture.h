#pragma once
// A fixture with a fresh shared state and editor fields, the capture MIDI service and scripted
// dialogs.
#include "editor/editor_fields.h"
#include "forms/dialogs.h"
#include "midi/state.h"
#include "platform/capture_midi_service.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace testing_support {

class MidiFixture : public ::testing::Test {
protected:
    MidiFixture()
    {
        expectNoBox("starts");
        midi::resetState();
        editor::resetFields();
        platform::setMidiService(&midi);
    }
    ~MidiFixture() override
    {
        expectNoBox("ends");
        platform::setMidiService(nullptr);
    }

    // No box is open or counted when a test starts and when it ends: the clocks stand still
    // under a MIDI error box, so a box left counted would let clock tests pass for the wrong reason.
    static void expectNoBox(const char* when)
    {
        EXPECT_FALSE(forms::boxOpen() || forms::midiErrorBoxOpen()) << "a box is open as the test " << when;
    }

    // The handler being run has returned to the event loop: the calls it posted run, among them
    // the MIDI error boxes it raised. Only posted calls: a real clock's tick due meanwhile waits.
    static void afterHandler() { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); }

    // Opens the capture device on the shared handle and forgets the open event.
    void openDevice()
    {
        uint32_t h = 0;
        midi.open(-1, h);
        midi::state().MidiOutHandle = int32_t(h);
        midi.clear();
    }

    platform::CaptureMidiService midi;
    ScriptedDialogs dialogs;
};

}  // namespace testing_support
