#pragma once
// The string table of the program.
#include <QString>

namespace res {

// The string with that id; empty for an id the table lacks.
QString LoadResString(int id);

}  // namespace res
