#include "keyboard/dzqqd.h"

#include "forms/dialogs.h"
#include "forms/geometry.h"
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/program.h"
#include "keyboard/settings_file.h"
#include "midi/state.h"
#include "platform/system_services.h"
#include "platform/whole_file.h"
#include "resources/pictures.h"
#include "resources/strings.h"

#include <QFileInfo>

namespace keyboard {
namespace {

constexpr int kWidthTwips = 6000;
constexpr int kHeightTwips = 4350;

}  // namespace

DZQQD::DZQQD(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Velqor电子琴"));
    setFixedSize(forms::twipsToPx(kWidthTwips), forms::twipsToPx(kHeightTwips));
    Picture = new QLabel(this);
    Picture->setGeometry(0, 0, width(), height());
    Picture->setScaledContents(true);
    Label1 = new QLabel(res::welcomeText(), this);
    Label1->setGeometry(22, 86, width() - 44, 124);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command1 = new QPushButton(QStringLiteral("知道了"), this);
    Command1->setGeometry(width() - 112, height() - 42, 96, 30);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    // The timer runs once the window has passed its load step: a refused second instance never
    // hands over, not even while its box waits.
    Timer1 = new forms::FormTimer(this, 25000, false);
    Timer1->onTick([this] { Timer1_Timer(); });
}

void DZQQD::Form_Load()
{
    if (!platform::acquireSingleInstance(InstanceKey)) {
        Refused = true;
        forms::MsgBox(QStringLiteral("你已经运行这个应用程序了！"));
        EndProgram();
        return;
    }
    Picture->setPixmap(res::LoadResPicture(res::StartupPicture, Picture->size()));
    const QString folder = ProgramFolder();
    // The one running copy: what saves of a killed run left half written is removed.
    platform::removeLeftoverTempFiles(folder);
    platform::removeLeftoverTempFiles(folder + QStringLiteral("演奏记录"));
    if (!QFileInfo::exists(SettingsPath(folder)) && !WriteDefaultSettings(folder)) {
        // No settings file can be written: this run plays with the defaults in memory.
        forms::MsgBox(QStringLiteral("无法写入设置文件，本次使用默认设置！"), this);
        ApplySettingsLines(forms::splitLines(DefaultSettingsText()), midi::state());
    }
    Timer1->setEnabled(true);
}

void DZQQD::Command1_Click() { handOver(); }

void DZQQD::Timer1_Timer() { handOver(); }

void DZQQD::handOver()
{
    Timer1->setEnabled(false);
    if (Refused) return;
    forms::showWindow(forms::window::Main);
    close();
}

}  // namespace keyboard
