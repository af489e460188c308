// Velqor: a desktop electronic keyboard.
#include "editor/yybj.h"
#include "keyboard/dzqqd.h"
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "forms/dialogs.h"
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velqor"));
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 9));
    // Qt's own dialogs and buttons speak Chinese like the program, where Qt's translation is
    // installed.
    const auto qtTexts = forms::qtChineseTexts();
    if (qtTexts) QApplication::installTranslator(qtTexts.get());
    // The SoundFont loads while the windows are made and the start-up window is up: the main
    // window then opens the built-in synthesizer without waiting.
    platform::BuiltinSynth::instance().startLoading();

    keyboard::Form1 mainWindow;   // registered as the main window; loaded when first shown
    editor::YYBJ scoreEditor;     // registered as the editor window; opened by "编辑"
    auto* start = new keyboard::DZQQD;
    start->setAttribute(Qt::WA_DeleteOnClose);
    start->Form_Load();
    if (keyboard::EndRequested()) {
        delete start;
        return 0;
    }
    start->show();
    // Without an audio output the program still runs (external MIDI ports, the score, the
    // files); the user is told once why there is no sound.
    QTimer::singleShot(0, start, [] {
        auto& engine = platform::AudioEngine::instance();
        if (!engine.ensureOutput())
            forms::MsgBox(engine.outputError());
    });
    return app.exec();
}
