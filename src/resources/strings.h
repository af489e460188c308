#pragma once
// The string table of the program: instrument and percussion names, key help, help topics,
// the default settings and chord-pattern texts, and the start-up window's welcome text.
#include <QString>
#include <QStringList>

namespace res {

// Ids of the string table.
enum StringId : int {
    EditorHelp = 99,            // the score editor's help message
    InstrumentFirst = 201,      // 201..329: "0.无声" .. "128.枪声"
    InstrumentLast = 329,
    PercussionFirst = 335,      // 335..381: percussion keys 35..81
    PercussionLast = 381,
    KeyHelpFirst = 401,         // 401..433: help of the 33 note keys, lowest first
    KeyHelpLast = 433,
    MainHelpFirst = 500,        // 500..506: the seven help topics of the main window
    MainHelpLast = 506,
    DefaultSettings = 508,      // content of "velqor.ini" (52 lines, each ended by CR LF)
    DefaultChordPatterns = 509, // content of "HxJzMx.txt" (15 lines, CR LF between them)
};

// The string with that id; empty for an id the table lacks. Texts of several lines use CR LF.
QString LoadResString(int id);

// The 129 instrument names (item k = General MIDI program k - 1, item 0 silence).
QStringList instrumentNames();
// The 47 percussion names (item k = General MIDI percussion key 35 + k).
QStringList percussionNames();

// The welcome text of the start-up window: one paragraph, then a contact line.
QString welcomeText();

}  // namespace res
