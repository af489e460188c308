#include "editor/grid_limits.h"

namespace editor {

int stepsForTimeSignature(int option)
{
    switch (option) {
    case 1: return 24;
    case 2: return 32;
    default: return 16;
    }
}

int timeSignatureForSteps(int steps)
{
    switch (steps) {
    case 16: return 0;
    case 24: return 1;
    case 32: return 2;
    default: return -1;
    }
}

int maxMeasureTotal(int steps)
{
    return steps > 0 ? kCells / steps - 1 : 0;
}

bool pieceFits(int64_t measureTotal, int steps)
{
    return steps > 0 && measureTotal >= 0 && (measureTotal + 1) * steps <= kCells;
}

}  // namespace editor
