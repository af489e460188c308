#pragma once
// A started main window in playing mode (active, the key catcher focused, the device open) and
// the MIDI messages it sends in readable form.
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <string>
#include <vector>

namespace live_test {

// "on 0 60 70", "off 2 48", "pan 1 64", "cc 9 11 127", "pc 6 47" ("pc 1 -1" for the silent one).
inline std::string describe(uint32_t v)
{
    const int status = int(v & 0xFF), d1 = int((v >> 8) & 0xFF), d2 = int((v >> 16) & 0xFF);
    const std::string ch = std::to_string(status & 0x0F);
    switch (status & 0xF0) {
    case 0x90: return "on " + ch + " " + std::to_string(d1) + " " + std::to_string(d2);
    case 0x80: return "off " + ch + " " + std::to_string(d1);
    case 0xB0:
        if (d1 == 10) return "pan " + ch + " " + std::to_string(d2);
        return "cc " + ch + " " + std::to_string(d1) + " " + std::to_string(d2);
    case 0xC0: return "pc " + ch + " " + std::to_string((v >> 8) == 0xFFFFFF ? -1 : d1);
    default: return "raw " + std::to_string(v);
    }
}

class LiveFixture : public testing_support::MainWindowFixture {
protected:
    keyboard::Form1& play()
    {
        keyboard::Form1& f = start();
        openDevice();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        f.SFYXYZ->setFocus();
        midi.clear();
        dialogs.messages.clear();
        return f;
    }

    // The widget that holds the keyboard focus: where the user's keys go.
    static QWidget* focused()
    {
        QWidget* w = QApplication::focusWidget();
        EXPECT_NE(w, nullptr);
        return w;
    }
    void key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(focused(), Qt::Key(qtKey), mods);
    }
    // A press that the keyboard's auto-repeat sends while the key is held.
    void repeatKey(int qtKey)
    {
        QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(focused(), &e);
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i) form->Timer1->tick();
    }

    std::vector<std::string> sent() const
    {
        std::vector<std::string> out;
        for (uint32_t v : midi.sent()) out.push_back(describe(v));
        return out;
    }
    int count(const std::string& message) const
    {
        int n = 0;
        for (const auto& m : sent()) n += m == message;
        return n;
    }
    // Every on-screen key (base note 36) is turned off on channels 0..lastChannel, and channel
    // 2's octave-lower copies below the keys too.
    bool silencedEveryKey(int lastChannel) const
    {
        for (int c = 0; c <= lastChannel; ++c)
            for (int k = 0; k <= 64; ++k)
                if (count("off " + std::to_string(c) + " " + std::to_string(36 + k)) < 1) return false;
        for (int k = 0; k < 12; ++k)
            if (count("off 2 " + std::to_string(24 + k)) < 1) return false;
        return true;
    }
    // Index of the first message equal to `message`, -1 if none.
    int indexOf(const std::string& message) const
    {
        const auto all = sent();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == message) return int(i);
        return -1;
    }
};

}  // namespace live_test
