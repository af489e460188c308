#pragma once
// A started main window for the accompaniment tests, with helpers to lay rhythm files into the
// record folder and to read the messages sent.
#include "forms/textfile.h"
#include "keyboard/file_list.h"
#include "support/main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <set>

namespace accomp_testing {

class AccompWindow : public testing_support::MainWindowFixture {
protected:
    // The default rhythm files shipped with the program.
    static QDir shippedPatterns()
    {
        return QDir(QFileInfo(QStringLiteral(__FILE__)).dir().filePath("../../data/演奏记录"));
    }
    void layShippedPatterns()
    {
        const QDir from = shippedPatterns();
        for (const QString& name : from.entryList({QStringLiteral("*.bin")}, QDir::Files))
            QFile::copy(from.filePath(name), QDir(recordFolder()).filePath(name));
    }
    QString recordPath(const QString& name) const { return QDir(recordFolder()).filePath(name); }

    // Starts the window, then opens the capture device and forgets what the start sent.
    keyboard::Form1& startQuiet()
    {
        keyboard::Form1& f = start();
        openDevice();
        dialogs.messages.clear();
        return f;
    }

    void refreshList(keyboard::Form1& f) { keyboard::RefreshFileList(f.File1, f.File1Path, "*.bin"); }

    // Messages sent with a status byte in [lo, hi].
    std::vector<uint32_t> sentWithStatus(int lo, int hi) const
    {
        std::vector<uint32_t> out;
        for (uint32_t v : midi.sent())
            if (int(v & 0xFF) >= lo && int(v & 0xFF) <= hi) out.push_back(v);
        return out;
    }
    static int dataByte1(uint32_t v) { return int((v >> 8) & 0xFF); }
    static int dataByte2(uint32_t v) { return int((v >> 16) & 0xFF); }

    // Notes switched on and not yet off on the chord channels 3 and 4, as (channel, note).
    std::set<std::pair<int, int>> hanging() const
    {
        std::set<std::pair<int, int>> on;
        for (uint32_t v : sentWithStatus(0x80, 0x9F)) {
            const int channel = int(v & 0x0F);
            if (channel != 3 && channel != 4) continue;
            if ((v & 0xF0) == 0x90 && dataByte2(v) > 0)
                on.insert({channel, dataByte1(v)});
            else
                on.erase({channel, dataByte1(v)});
        }
        return on;
    }

    static QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace accomp_testing
