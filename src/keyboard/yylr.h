#pragma once
// The score-entry dialog: a separate window in which a score is typed by hand, saved to a score
// file and opened from one. While it is shown the main window is hidden; returning or closing
// shows the main window again through the window registry.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>

namespace keyboard {

class YYLR : public QWidget {
    Q_OBJECT
public:
    explicit YYLR(QWidget* owner = nullptr);
    ~YYLR() override;

    // Loads the dialog when it is not loaded (running Form_Load) and shows it.
    void Show();
    // Closes the dialog: its texts are lost, its fields kept.
    void Unload();
    bool loaded() const { return loaded_; }

    // Controls.
    QPlainTextEdit* Text1 = nullptr;   // the score text, free lines
    QLineEdit* WJMC = nullptr;         // song name; the opened file's title
    QPushButton* Command1 = nullptr;   // "保存"
    QPushButton* DKYP = nullptr;       // "打开"
    QPushButton* FANHUI = nullptr;     // "返回主窗口"
    QLabel* NameLabel = nullptr;
    QLabel* ScoreLabel = nullptr;
    QLabel* HelpLabel = nullptr;

    // The text being saved or opened, with CR LF line breaks, and the chosen path.
    QString EntryText;
    QString EntryPath;
    // The starting folder of the file dialogs.
    QString InitDir;
    // Runs when a score file has been opened into the dialog.
    std::function<void()> ScoreChosen;

    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void DKYP_Click();
    void FANHUI_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded_ = false;
    bool unloading_ = false;
};

}  // namespace keyboard
