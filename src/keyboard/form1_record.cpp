// Score recording: the live clock that counts the length of the note being played.
#include "keyboard/form1.h"

namespace keyboard {

void Form1::wireRecord()
{
    Timer1->onTick([this] { Timer1_Timer(); });
}

void Form1::Timer1_Timer() {}

}  // namespace keyboard
