#pragma once
// Everything a page or dialog asks the user through a modal window, a file
// dialog or a process start goes through this seam, so tests can answer.
#include <QString>
#include <QStringList>

class QWidget;

namespace velmora::shell {

struct FileChoice {
    QString title;          // dialog title (a catalogue text)
    QString filter;         // Qt style, e.g. "vpm files (*.vpm)"
    QString defaultSuffix;  // without the dot
    QString proposedName;   // file name proposed in a save dialog
    QString directory;      // start folder, empty for the current one
};

// The button Enter presses in a question.
enum class EnterAnswer { Ok, Cancel };

class Prompter {
  public:
    virtual ~Prompter() = default;
    // InfoPopup: shows the text modally, returns when OK is pressed.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // InfoPopup whose way of closing matters: true only for its OK button,
    // false for Esc or the close box. A prompter that cannot tell says OK.
    virtual bool acknowledge(QWidget* parent, const QString& text) {
        inform(parent, text);
        return true;
    }
    // ConfirmPopup: true for OK, false for Cancel. A question whose OK
    // destroys or discards something makes Cancel the answer of Enter.
    virtual bool confirm(QWidget* parent, const QString& text,
                         EnterAnswer enter = EnterAnswer::Ok) = 0;
    // ChoicePopup: one button per answer, left to right; Enter gives
    // enterAnswer, Esc and the close box escapeAnswer. The index chosen.
    virtual int choose(QWidget* parent, const QString& text, const QStringList& answers,
                       int enterAnswer, int escapeAnswer) = 0;
    // Empty string when the user cancelled.
    virtual QString chooseOpenFile(QWidget* parent, const FileChoice& choice) = 0;
    // Asks before overwriting; empty string when the user cancelled.
    virtual QString chooseSaveFile(QWidget* parent, const FileChoice& choice) = 0;
    // The toolkit's file error message: names the file and the system's reason.
    virtual void fileError(QWidget* parent, const QString& path, const QString& reason) = 0;
    // Starts the program's own executable again without waiting for it.
    virtual void restartProgram(const QString& program, const QStringList& arguments) = 0;
};

// The prompter every window uses; tests replace it with setPrompter.
Prompter& prompter();
void setPrompter(Prompter* replacement);  // nullptr restores the real dialogs

}  // namespace velmora::shell
