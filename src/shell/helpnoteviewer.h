#pragma once
// The help and note window every page owns: created hidden, shown with the
// text file of one kind (UTF-16 little-endian files in the language folder).
#include <QDialog>

#include "shell/fontset.h"

class QLabel;
class QPlainTextEdit;

namespace velmora::shell {

enum class HelpKind {
    ControlPageHelp = 0,
    ControlPageNote = 1,
    ReportPageHelp = 2,
    ReportPageNote = 3,
    RemotePageHelp = 4,
    MotorPageHelp = 5,
    VHzTableHelp = 6,
    CtrlParaHelp = 7,
    SpecificProgHelp = 8,
    ActSensTestHelp = 9,
};

class HelpNoteViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpNoteViewer(QWidget* parent = nullptr);

    // Shows the window with the title and the file of the kind (0..9). A
    // missing file leaves the text shown before. 0 done, 1 for an unknown kind.
    int open(int kind);
    int open(HelpKind kind) { return open(static_cast<int>(kind)); }

    // File name of a kind inside the language folder; empty for an unknown kind.
    [[nodiscard]] static QString fileName(int kind);
    // The bytes as UTF-16LE text. A byte-order mark stays part of the text; a
    // trailing odd byte is dropped.
    [[nodiscard]] static QString decodeUtf16Le(const QByteArray& bytes);

  private:
    // Heading, descriptions and window title of a help or a note kind.
    void showKindTexts(bool note);

    FontSet m_fonts;
    QLabel* m_heading;
    QLabel* m_description1;
    QLabel* m_description2;
    QLabel* m_title;
    QPlainTextEdit* m_text;
};

}  // namespace velmora::shell
