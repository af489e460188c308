#pragma once
// The program as a whole: its folder and its end.
#include <QString>
#include <functional>

namespace keyboard {

// The program folder, with a trailing "/": the executable's folder when it is writable,
// otherwise the per-user data folder, filled on first use from the files shipped next to the
// executable. Tests point it at a folder of their own with setProgramFolder.
QString ProgramFolder();
// The choice behind ProgramFolder: `exeFolder` when it is writable, else `userFolder`; when the
// user folder does not exist yet it is made and filled with CopyShippedFiles. The result ends
// with "/".
QString ChooseProgramFolder(const QString& exeFolder, const QString& userFolder, const QString& exeName);
// Copies every file and folder of `exeFolder` that `userFolder` lacks into it, except the
// program file `exeName`; what the user folder holds already is kept.
void CopyShippedFiles(const QString& exeFolder, const QString& userFolder, const QString& exeName);
// Sets the folder ProgramFolder returns (a trailing "/" is added); empty restores the default.
void setProgramFolder(const QString& folder);

// Ends the program at once: quits the application's event loop (or runs the handler a test
// installed). EndRequested tells whether it was called, so that a start that ends before the
// event loop runs stops there.
void EndProgram();
bool EndRequested();
// Installs a handler run instead of quitting (for tests); nullptr restores the default. Also
// clears the request flag.
void setEndProgramHandler(std::function<void()> handler);

}  // namespace keyboard
