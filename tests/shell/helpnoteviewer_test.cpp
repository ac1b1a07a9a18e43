#include "shell/helpnoteviewer.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

QByteArray utf16le(const QString& text, bool bom) {
    QByteArray bytes;
    if (bom) bytes.append("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

class HelpNoteViewerTest : public testkit::WidgetTest {
  protected:
    HelpNoteViewerTest() {
        write("config.ini", "[languagetype]\nlanguage=2\n");
        write("data_language/language_02.ini",
              "[spec]\ncontrolpage=Steuerung\nerrors=Fehler\nactsenstest=Aktortest\n"
              "help=Hilfe\nhelpdescription1=Erklaert\n"
              "[notices]\nnotes=Hinweise\nnotedescription1=Listet Hinweise\n");
    }
    QString shownText(HelpNoteViewer& viewer) {
        return testkit::FindChild<QPlainTextEdit>(&viewer, "helpText")->toPlainText();
    }
    QString title(HelpNoteViewer& viewer) {
        return testkit::FindChild<QLabel>(&viewer, "pageTitle")->text();
    }
};

// Catches the files read as UTF-8 or big-endian, a byte-order mark dropped
// or doubled, the language folder not taken from config.ini, and a note
// presented as help.
TEST_F(HelpNoteViewerTest, ShowsUtf16LittleEndianFiles) {
    const QString german = QStringLiteral("Drehzahl \u00e4ndern\r\nZeile 2 \u20ac");
    write("data_language/language_02/ControlPage.help", utf16le(german, true));
    write("data_language/language_02/ControlPage.note", utf16le("Keine Marke", false));
    HelpNoteViewer viewer;
    EXPECT_EQ(viewer.findChild<QLabel*>("helpHeading")->text(), "Hilfe");
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(viewer.open(HelpKind::ControlPageHelp), 0);
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(title(viewer), "Steuerung");
    EXPECT_EQ(shownText(viewer),
              QChar(0xFEFF) + QStringLiteral("Drehzahl \u00e4ndern\nZeile 2 \u20ac"));
    EXPECT_EQ(viewer.windowTitle(), "Hilfe");
    EXPECT_EQ(viewer.open(HelpKind::ControlPageNote), 0);
    EXPECT_EQ(title(viewer), "Fehler");
    EXPECT_EQ(shownText(viewer), "Keine Marke");
    EXPECT_EQ(viewer.findChild<QLabel*>("helpHeading")->text(), "Hinweise");
    EXPECT_EQ(viewer.findChild<QLabel*>("helpDescription1")->text(), "Listet Hinweise");
    EXPECT_EQ(viewer.windowTitle(), "Hinweise");
    viewer.open(HelpKind::ControlPageHelp);
    EXPECT_EQ(viewer.findChild<QLabel*>("helpDescription1")->text(), "Erklaert");
}

// Catches a missing file clearing the text shown before, and kinds outside
// 0..9 read from beyond the table.
TEST_F(HelpNoteViewerTest, MissingFilesAndUnknownKinds) {
    write("data_language/language_02/ControlPage.help", utf16le("Erster Text", false));
    HelpNoteViewer viewer;
    viewer.open(0);
    viewer.open(HelpKind::ActSensTestHelp);
    EXPECT_EQ(title(viewer), "Aktortest");
    EXPECT_EQ(shownText(viewer), "Erster Text");
    EXPECT_EQ(viewer.open(10), 1);
    EXPECT_EQ(viewer.open(-1), 1);
    EXPECT_EQ(title(viewer), "Aktortest");
    EXPECT_EQ(viewer.open(HelpKind::MotorPageHelp), 0);
    EXPECT_EQ(title(viewer), "FILE_ERROR");  // the key is missing from the file
}

// Catches a kind titled with another kind's key: every key has its own text
// here, so a wrong key shows a wrong title (or FILE_ERROR).
TEST_F(HelpNoteViewerTest, EveryKindShowsItsOwnTitle) {
    write("data_language/language_02.ini",
          "[spec]\ncontrolpage=T0\nerrors=T13\noperatingvalues=T2\nremotecontrol=T4\n"
          "motorparameters=T5\nvhztable=T6\nctrlpara=T7\nspecificprog=T8\n"
          "actsenstest=T9\n");
    HelpNoteViewer viewer;
    const char* titles[] = {"T0", "T13", "T2", "T13", "T4", "T5", "T6", "T7", "T8", "T9"};
    for (int kind = 0; kind < 10; ++kind) {
        EXPECT_EQ(viewer.open(kind), 0);
        EXPECT_EQ(title(viewer), titles[kind]) << "kind " << kind;
    }
}

// Catches a wrong file name for a kind (the data files would never be found).
TEST_F(HelpNoteViewerTest, FileNamesOfTheKinds) {
    const char* names[] = {"ControlPage.help", "ControlPage.note", "ReportPage.help",
                           "ReportPage.note",  "RemotePage.help",  "MotorPage.help",
                           "VHzTable.help",    "CtrlPara.help",    "SpecificProg.help",
                           "ActSensTest.help"};
    for (int kind = 0; kind < 10; ++kind) EXPECT_EQ(HelpNoteViewer::fileName(kind), names[kind]);
    EXPECT_TRUE(HelpNoteViewer::fileName(10).isEmpty());
}

// Catches an odd trailing byte read past the end or turned into a character.
TEST_F(HelpNoteViewerTest, DecodesOddLengths) {
    EXPECT_EQ(HelpNoteViewer::decodeUtf16Le(QByteArray("A\0B\0C", 5)), "AB");
    EXPECT_EQ(HelpNoteViewer::decodeUtf16Le(QByteArray()), "");
    EXPECT_EQ(HelpNoteViewer::decodeUtf16Le(QByteArray("\x3D\xD8\x00\xDE", 4)),
              QString::fromUcs4(U"\U0001F600", 1));
}

}  // namespace
}  // namespace velmora::shell
