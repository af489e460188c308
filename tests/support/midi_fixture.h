#pragma once
// A fixture with a fresh shared state and editor fields, the capture MIDI service and scripted
// dialogs.
#include "editor/editor_fields.h"
#include "midi/state.h"
#include "platform/capture_midi_service.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testing_support {

class MidiFixture : public ::testing::Test {
protected:
    MidiFixture()
    {
        midi::resetState();
        editor::resetFields();
        platform::setMidiService(&midi);
    }
    ~MidiFixture() override { platform::setMidiService(nullptr); }

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
