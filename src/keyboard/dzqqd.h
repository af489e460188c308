#pragma once
// The start-up window: refuses a second running instance, makes sure the settings file exists,
// shows the start-up picture and the welcome text, and after 25 seconds or on "知道了" hands
// over to the main window.
#include "forms/form_timer.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace keyboard {

class DZQQD : public QWidget {
    Q_OBJECT
public:
    explicit DZQQD(QWidget* parent = nullptr);

    // Runs the load step; the window is shown unless the program is ending (EndRequested()).
    void Form_Load();
    void Command1_Click();
    void Timer1_Timer();

    QLabel* Picture = nullptr;            // the start-up picture
    QLabel* Label1 = nullptr;             // the welcome text
    QPushButton* Command1 = nullptr;      // "知道了"
    forms::FormTimer* Timer1 = nullptr;   // 25000 ms, hands over to the main window
    QString InstanceKey = QStringLiteral("velqor-keyboard");   // the single-instance lock's name
    bool Refused = false;   // another instance runs: this one only shows its box and ends

private:
    void handOver();
};

}  // namespace keyboard
