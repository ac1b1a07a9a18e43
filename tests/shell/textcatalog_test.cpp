#include "shell/textcatalog.h"

#include <QDir>
#include <QFile>

#include "shell/textkeys.h"
#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

const QString kFileError = QStringLiteral("FILE_ERROR");

class TextCatalogTest : public testkit::WidgetTest {
  protected:
    TextCatalog& catalog = TextCatalog::instance();

    // A file holding every key as "<key>=<prefix><ordinal>" in its section.
    QByteArray fullFile(const QString& prefix) const {
        QByteArray text;
        QByteArray section;
        for (int i = 0; i < TextCatalog::keyCount(); ++i) {
            const QByteArray name(TextCatalog::sectionOf(i).data(),
                                  static_cast<qsizetype>(TextCatalog::sectionOf(i).size()));
            if (name != section) {
                text += "[" + name + "]\r\n";
                section = name;
            }
            text += QByteArray(TextCatalog::keyName(i).data(),
                               static_cast<qsizetype>(TextCatalog::keyName(i).size())) +
                    "=" + (prefix + QString::number(i)).toUtf8() + "\r\n";
        }
        return text;
    }
};

// Catches keys looked up in the wrong section or under a shifted ordinal.
TEST_F(TextCatalogTest, LoadsEveryKeyFromItsSection) {
    write("data_language/language_01.ini", fullFile("one-"));
    EXPECT_EQ(catalog.load(1), 0);
    for (int i = 0; i < TextCatalog::keyCount(); ++i) {
        QString text;
        ASSERT_EQ(catalog.text(i, text), 0) << i;
        EXPECT_EQ(text, QStringLiteral("one-%1").arg(i)) << i;
    }
    EXPECT_EQ(T("startbutton"), QStringLiteral("one-51"));
    EXPECT_EQ(T("p146pn"), QStringLiteral("one-478"));
}

// Catches a catalogue that drops keys of missing sections instead of
// reading them as "FILE_ERROR" (windows would show stale or empty texts).
TEST_F(TextCatalogTest, FileWithOnlyTheGeneralSection) {
    write("data_language/language_01.ini",
          "\xEF\xBB\xBF[general]\ncompany=Velmora\nlanguagefile=English\nversion=1.0\n"
          "startbutton=misplaced\n");
    EXPECT_EQ(catalog.load(1), 0);
    int errors = 0;
    for (int i = 0; i < TextCatalog::keyCount(); ++i) {
        QString text;
        ASSERT_EQ(catalog.text(i, text), 0);
        if (text == kFileError) ++errors;
    }
    EXPECT_EQ(errors, TextCatalog::keyCount() - 3);
    EXPECT_EQ(T("company"), "Velmora");
    EXPECT_EQ(T("startbutton"), kFileError);  // it belongs in [navi]
    // A file older than the added texts shows their English wording.
    const auto texts = textkeys::allTexts();
    ASSERT_GT(texts.size(), static_cast<std::size_t>(TextCatalog::keyCount()));
    for (std::size_t i = static_cast<std::size_t>(TextCatalog::keyCount()); i < texts.size(); ++i)
        EXPECT_EQ(T(texts[i].key).toStdString(), texts[i].english) << texts[i].key;
}

// Catches a failed load reported as a failure or leaving the texts empty.
TEST_F(TextCatalogTest, MissingFileGivesFileErrorEverywhere) {
    EXPECT_EQ(catalog.load(3), 0);
    for (int i = 0; i < TextCatalog::keyCount(); ++i) {
        QString text;
        ASSERT_EQ(catalog.text(i, text), 0);
        EXPECT_EQ(text, kFileError);
    }
}

// Catches a language number above 255 used whole for the file name, and the
// animation path not following the last number given.
TEST_F(TextCatalogTest, OnlyTheLowEightBitsNameTheFiles) {
    write("data_language/language_01.ini", "[general]\ncompany=first\n");
    write("data_language/language_02.ini", "[general]\ncompany=second\n");
    EXPECT_EQ(catalog.load(257), 0);
    EXPECT_EQ(T("company"), "first");
    QString path;
    catalog.animationPath(path);
    EXPECT_EQ(path, QDir::current().filePath("data_language/animation_01.gif"));
    // A second load does nothing but remember the number.
    EXPECT_EQ(catalog.load(2), 1);
    EXPECT_EQ(T("company"), "first");
    catalog.animationPath(path);
    EXPECT_TRUE(path.endsWith("data_language/animation_02.gif"));
    EXPECT_EQ(catalog.languageNumber(), 2u);
}

// Catches an ordinal outside the table indexing the entries, or overwriting
// the caller's string.
TEST_F(TextCatalogTest, UnknownOrdinalsAndKeys) {
    QString text = "untouched";
    EXPECT_EQ(catalog.text(0, text), 1);  // nothing loaded yet
    catalog.load(1);
    EXPECT_EQ(catalog.text(-1, text), 1);
    EXPECT_EQ(catalog.text(531, text), 1);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(T("nosuchkey"), kFileError);
}

// Catches values cut inside a multi-byte character (half a surrogate pair)
// or cut by bytes instead of characters. A file that is no valid UTF-8 is
// read in the Windows code page (profile tests), so no value is broken.
TEST_F(TextCatalogTest, CutsLongValuesAtCharacterBoundaries) {
    const QString umlauts(200, QChar(0x00E4));
    QString emoji;
    for (int i = 0; i < 130; ++i) emoji += QString::fromUcs4(U"\U0001F600", 1);
    const QString exact(127, 'x');
    write("data_language/language_01.ini",
          "[general]\ncompany=" + umlauts.toUtf8() + "\nlanguagefile=" + emoji.toUtf8() +
              "\nversion=" + exact.toUtf8() + "y\n[navi]\nokbutton=" + exact.toUtf8() + "\n");
    catalog.load(1);
    EXPECT_EQ(T("company"), QString(127, QChar(0x00E4)));
    const QString cut = T("languagefile");
    EXPECT_EQ(cut.toUcs4().size(), 127);
    EXPECT_TRUE(cut.back().isLowSurrogate());
    EXPECT_EQ(T("version"), exact);
    EXPECT_EQ(T("okbutton"), exact);
}

// Catches a language entry not read with its default, written with more
// than the low 8 bits, or written over the other settings of config.ini.
TEST_F(TextCatalogTest, LanguageNumberInConfig) {
    EXPECT_EQ(readLanguageNumber(), 1u);
    write("config.ini", "[comtype]\r\ncom=5\r\n[languagetype]\r\nlanguage=3\r\n");
    EXPECT_EQ(readLanguageNumber(), 3u);
    writeLanguageNumber(258);
    EXPECT_EQ(readLanguageNumber(), 2u);
    QFile file(path("config.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[comtype]\r\ncom=5\r\n[languagetype]\r\nlanguage=2\r\n");
    file.close();
    write("config.ini", "[languagetype]\nother=1\n");
    EXPECT_EQ(readLanguageNumber(), 1u);
    // The catalogue of the configured language.
    write("config.ini", "[languagetype]\nlanguage=2\n");
    write("data_language/language_02.ini", "[general]\ncompany=zwei\n");
    loadCatalog();
    EXPECT_EQ(T("company"), "zwei");
}

}  // namespace
}  // namespace velmora::shell
