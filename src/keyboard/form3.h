#pragma once
// The farewell window: a grey window cut to the outline of the text "再 见". A click on it, or
// 4000 ms after it was loaded, ends the program.
#include "forms/form_timer.h"

#include <QPainterPath>
#include <QWidget>

namespace keyboard {

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Loads the window the first time (shape, clock) and shows it.
    void Show();
    void Form_Load();
    void Form_Click();
    void Timer1_Timer();

    forms::FormTimer* Timer1 = nullptr;   // ends the program, 4000 ms after the load
    QPainterPath TextOutline;             // outline of the text the window is cut to

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool loaded_ = false;
};

}  // namespace keyboard
