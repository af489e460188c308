// Automatic score playback: the score reader and the score clock.
#include "keyboard/form1.h"

namespace keyboard {

void Form1::wirePlayback()
{
    Timer3->onTick([this] { Timer3_Timer(); });
}

void Form1::YSCX() {}
void Form1::Timer3_Timer() {}

}  // namespace keyboard
