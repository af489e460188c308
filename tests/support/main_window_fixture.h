#pragma once
// A fixture with a started main window: a temporary program folder with the record folder and
// the default settings file, the capture MIDI service, scripted dialogs, a fake media service
// and an observable program end. start() constructs the window and runs its load step and first
// activation, as the start-up window's hand-over does.
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "keyboard/settings_file.h"
#include "platform/fake_media_service.h"
#include "support/midi_fixture.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QWindow>
#include <memory>

namespace testing_support {

class MainWindowFixture : public MidiFixture {
protected:
    MainWindowFixture()
    {
        appFolder = dir.path() + QStringLiteral("/");
        QDir().mkpath(recordFolder());
        QDir().mkpath(appFolder + QStringLiteral("音效"));
        keyboard::setProgramFolder(appFolder);
        keyboard::setEndProgramHandler([this] { ++endCount; });
        platform::setMediaService(&media);
    }
    ~MainWindowFixture() override
    {
        form.reset();
        platform::setMediaService(nullptr);
        keyboard::setEndProgramHandler(nullptr);
        keyboard::setProgramFolder(QString());
    }

    QString recordFolder() const { return appFolder + QStringLiteral("演奏记录"); }
    QString settingsPath() const { return keyboard::SettingsPath(appFolder); }

    // Writes the default settings file when it is missing, as the start-up window does.
    void writeDefaultSettings()
    {
        if (!QFileInfo::exists(settingsPath())) keyboard::WriteDefaultSettings(appFolder);
    }

    // Creates the main window and shows it: load step and first activation.
    keyboard::Form1& start(bool withSettings = true)
    {
        if (withSettings) writeDefaultSettings();
        form.reset();
        form = std::make_unique<keyboard::Form1>();
        form->Show();
        return *form;
    }

    // One notch of the mouse wheel (down) turned with the pointer near the right edge of `w` (over
    // a list's arrow), delivered through its window as the window system delivers it: to the
    // control under the pointer. False when `w` cannot be reached there (hidden or covered).
    static bool wheelOver(QWidget* w)
    {
        QWidget* top = w->window();
        const QPoint at = w->mapTo(top, QPoint(w->width() - 6, w->height() / 2));
        QWidget* under = top->childAt(at);
        if (!top->windowHandle() || !under || (under != w && !w->isAncestorOf(under))) return false;
        QWheelEvent ev(at, top->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(top->windowHandle(), &ev);
        return true;
    }

    QTemporaryDir dir;
    QString appFolder;
    platform::FakeMediaService media;
    std::unique_ptr<keyboard::Form1> form;
    int endCount = 0;   // times the program asked to end
};

}  // namespace testing_support
