#pragma once
// Scripted dialogs for tests: records every box and answers from queues.
#include "forms/dialogs.h"

#include <QStringList>
#include <deque>

namespace testing_support {

class ScriptedDialogs : public forms::Dialogs {
public:
    ScriptedDialogs() { forms::setDialogs(this); }
    ~ScriptedDialogs() override { forms::setDialogs(nullptr); }

    QStringList messages;                                   // texts of the message boxes shown
    std::vector<QWidget*> messageParents;                   // the window each message box stood on
    std::deque<bool> answers;                               // question answers (default: yes)
    QStringList questions;                                  // texts of the 是/否/取消 questions
    std::deque<forms::Answer> choices;                      // their answers (default: 否)
    std::deque<std::optional<QString>> inputs;              // input box answers (default: cancel)
    std::deque<std::optional<forms::FileChoice>> openFiles; // open dialog answers (default: cancel)
    std::deque<std::optional<forms::FileChoice>> saveFiles; // save dialog answers (default: cancel)
    std::vector<forms::FileRequest> openRequests, saveRequests;
    std::function<void()> onMessage;                        // runs while a message box is "open"
    std::function<void()> onQuestion;                       // runs while a question is "open"
    std::function<void()> onFileDialog;                     // runs while a file dialog is "open"

    void message(QWidget* parent, const QString& text) override
    {
        messages << text;
        messageParents.push_back(parent);
        if (onMessage) onMessage();
    }
    bool question(QWidget*, const QString& text) override
    {
        messages << text;
        if (onQuestion) onQuestion();
        if (answers.empty()) return true;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    forms::Answer questionWithCancel(QWidget*, const QString& text) override
    {
        questions << text;
        if (choices.empty()) return forms::Answer::No;
        const forms::Answer a = choices.front();
        choices.pop_front();
        return a;
    }
    std::optional<QString> input(QWidget*, const QString&, const QString&, const QString&) override
    {
        return pop(inputs);
    }
    std::optional<forms::FileChoice> openFile(QWidget*, const forms::FileRequest& r) override
    {
        openRequests.push_back(r);
        if (onFileDialog) onFileDialog();
        return pop(openFiles);
    }
    std::optional<forms::FileChoice> saveFile(QWidget*, const forms::FileRequest& r) override
    {
        saveRequests.push_back(r);
        if (onFileDialog) onFileDialog();
        return pop(saveFiles);
    }

    static forms::FileChoice file(const QString& path);

private:
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    template <class T>
    static T pop(std::deque<T>& q)
    {
        if (q.empty()) return T{};
        T v = q.front();
        q.pop_front();
        return v;
    }
#pragma GCC diagnostic pop
};

}  // namespace testing_support
