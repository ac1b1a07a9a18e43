#pragma once
// What window tests share: a prompter that answers from a script and records
// every question, plus the Qt-free helpers (message recorder, link queues,
// temporary folder).
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "shell/prompter.h"
#include "tests/support/framerecorder.h"
#include "tests/support/linkqueues.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/tempfolder.h"

namespace velmora::testkit {

// Installed as the prompter for its lifetime. Each kind of question takes
// its answers from its own queue; unscripted, a popup is closed with OK
// and a file dialog is cancelled.
class ScriptedPrompter : public shell::Prompter {
  public:
    ScriptedPrompter() { shell::setPrompter(this); }
    ~ScriptedPrompter() override { shell::setPrompter(nullptr); }
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    void inform(QWidget*, const QString& text) override {
        ask("inform:" + text);
        informed.push_back(text);
    }
    bool acknowledge(QWidget* parent, const QString& text) override {
        inform(parent, text);
        return next(acknowledgeAnswers, true);
    }
    bool confirm(QWidget*, const QString& text, shell::EnterAnswer enter) override {
        ask("confirm:" + text);
        confirmed.push_back(text);
        confirmEnters.push_back(enter);
        return next(confirmAnswers, true);
    }
    int choose(QWidget*, const QString& text, const QStringList& answers, int enterAnswer,
               int escapeAnswer) override {
        ask("choose:" + text);
        choices.push_back({text, answers, enterAnswer, escapeAnswer});
        return next(chooseAnswers, enterAnswer);
    }
    QString chooseOpenFile(QWidget*, const shell::FileChoice& choice) override {
        openChoices.push_back(choice);
        ask("open:" + choice.title);
        return next(fileAnswers, QString());
    }
    QString chooseSaveFile(QWidget*, const shell::FileChoice& choice) override {
        saveChoices.push_back(choice);
        ask("save:" + choice.title);
        return next(fileAnswers, QString());
    }
    void fileError(QWidget*, const QString& path, const QString& reason) override {
        ask("fileError:" + path);
        fileErrors.push_back(path + ": " + reason);
    }
    void restartProgram(const QString& program, const QStringList& arguments) override {
        ask("restart:" + program);
        restartArguments = arguments;
        ++restarts;
    }

    // Answers, oldest first.
    std::deque<bool> confirmAnswers;      // OK (true) or Cancel
    std::deque<bool> acknowledgeAnswers;  // OK (true), or closed another way
    std::deque<QString> fileAnswers;      // the path an open or save dialog returns
    std::deque<int> chooseAnswers;        // index of the answer; unscripted: Enter's

    // Every question in order, "kind:text" (kinds inform, confirm, choose,
    // open, save, fileError, restart; a file dialog gives its title).
    QStringList asked;
    QStringList informed, confirmed;
    std::vector<shell::EnterAnswer> confirmEnters;  // what Enter meant, per confirm
    struct Choice {
        QString text;
        QStringList answers;
        int enterAnswer;
        int escapeAnswer;
    };
    std::vector<Choice> choices;
    QStringList fileErrors;  // "path: reason"
    std::vector<shell::FileChoice> openChoices, saveChoices;
    QStringList restartArguments;
    int restarts = 0;
    // Runs while each popup or dialog would be open (its event loop
    // delivers messages; a real file dialog may move the working directory).
    std::function<void()> whileAsking;

  private:
    void ask(const QString& question) {
        asked.push_back(question);
        if (whileAsking) whileAsking();
    }
    template <typename T>
    static T next(std::deque<T>& answers, T unscripted) {
        if (answers.empty()) return unscripted;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace velmora::testkit
