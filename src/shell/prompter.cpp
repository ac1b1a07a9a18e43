#include "shell/prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>

#include "shell/choicepopup.h"
#include "shell/confirmpopup.h"
#include "shell/infopopup.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

namespace {

class DialogPrompter : public Prompter {
  public:
    void inform(QWidget* parent, const QString& text) override {
        InfoPopup popup(parent);
        popup.setMessage(text);
        popup.exec();
    }

    bool acknowledge(QWidget* parent, const QString& text) override {
        InfoPopup popup(parent);
        popup.setMessage(text);
        return popup.exec() == QDialog::Accepted;
    }

    bool confirm(QWidget* parent, const QString& text, EnterAnswer enter) override {
        ConfirmPopup popup(parent);
        popup.setMessage(text);
        if (enter == EnterAnswer::Cancel) popup.makeCancelDefault();
        return popup.ask() == ConfirmPopup::kOk;
    }

    int choose(QWidget* parent, const QString& text, const QStringList& answers, int enterAnswer,
               int escapeAnswer) override {
        ChoicePopup popup(answers, enterAnswer, escapeAnswer, parent);
        popup.setMessage(text);
        return popup.ask();
    }

    QString chooseOpenFile(QWidget* parent, const FileChoice& choice) override {
        QFileDialog dialog(parent, choice.title, choice.directory, choice.filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(choice.defaultSuffix);
        if (!choice.proposedName.isEmpty()) dialog.selectFile(choice.proposedName);
        return runDialog(dialog);
    }

    QString chooseSaveFile(QWidget* parent, const FileChoice& choice) override {
        // QFileDialog asks before it overwrites an existing file.
        QFileDialog dialog(parent, choice.title, choice.directory, choice.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(choice.defaultSuffix);
        if (!choice.proposedName.isEmpty()) dialog.selectFile(choice.proposedName);
        return runDialog(dialog);
    }

    void fileError(QWidget* parent, const QString& path, const QString& reason) override {
        QMessageBox::warning(parent, T("company"), path + QLatin1Char('\n') + reason);
    }

    void restartProgram(const QString& program, const QStringList& arguments) override {
        QProcess::startDetached(program, arguments);
    }

  private:
    static QString runDialog(QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted) return {};
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }
};

Prompter* g_replacement = nullptr;

}  // namespace

Prompter& prompter() {
    static DialogPrompter dialogs;
    return g_replacement ? *g_replacement : dialogs;
}

void setPrompter(Prompter* replacement) {
    g_replacement = replacement;
}

}  // namespace velmora::shell
