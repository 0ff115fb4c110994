// The import preview as a user sees it, offscreen: files of the shapes people
// bring (R's write.csv, a Czech spreadsheet's export), the choices changed and
// the preview read again, the import through the window with the preview
// answered, and the export of a table with and without its header row.

#include "WindowTestSupport.h"
#include "TableTestSupport.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>

#include <cmath>

namespace {

// R's write.csv(data) of a small sample: row names first under an empty
// name, texts quoted, NA for a missing value, "." decimals.
const QByteArray rFile = "\"\",\"sex\",\"height\",\"weight\"\n"
                         "\"1\",\"Female\",162.5,NA\n"
                         "\"2\",\"Male\",178,80.2\n"
                         "\"3\",\"Female\",NA,61.4\n";

// A spreadsheet's export: ";" between fields, decimal commas, UTF-8.
const QByteArray spreadsheetFile = "Jméno;Výška;Hmotnost\n"
                                   "Novák;175,5;80\n"
                                   "Dvořák;168;72,3\n";

// The same in Windows-1250, as an older spreadsheet saves it.
const QByteArray windows1250File = "Jm\xE9no;V\xFD\x9Aka\n"
                                   "Nov\xE1k;175,5\n";

template <typename T>
T *child(QWidget *dialog, const char *name)
{
    T *found = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s in the dialog", name);
    return found;
}

QComboBox *separatorBox(ImportDialog &d) { return child<QComboBox>(&d, "separatorBox"); }
QComboBox *decimalBox(ImportDialog &d) { return child<QComboBox>(&d, "decimalBox"); }
QComboBox *encodingBox(ImportDialog &d) { return child<QComboBox>(&d, "encodingBox"); }
QCheckBox *headerBox(ImportDialog &d) { return child<QCheckBox>(&d, "headerBox"); }
QTableWidget *previewOf(ImportDialog &d) { return child<QTableWidget>(&d, "preview"); }
bool suggestionShown(ImportDialog &d) { return child<QFrame>(&d, "suggestionFrame")->isVisibleTo(&d); }
char shownSeparator(ImportDialog &d) { return separatorBox(d)->currentData().toChar().toLatin1(); }

// The separator as the user picks it from the list.
void chooseSeparator(ImportDialog &d, char separator)
{
    separatorBox(d)->setCurrentIndex(separatorBox(d)->findData(QChar::fromLatin1(separator)));
}

// The preview's column titles, the name and the kind on two lines.
QStringList columnTitles(ImportDialog &d)
{
    QStringList titles;
    for (int c = 0; c < previewOf(d)->columnCount(); ++c)
        titles.append(previewOf(d)->horizontalHeaderItem(c)->text());
    return titles;
}

} // namespace

class TestImportDialog : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { startSuite(); }

    void init()
    {
        QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
        settings.remove(QStringLiteral("exportHeaderRow"));
        m_window = std::make_unique<MainWindow>();
    }

    void cleanup() { endTest(); }

    // R's file is found to be "," with "." decimals and a header; the sex is a
    // text column, NA an empty, tinted cell. The window imports it as the
    // preview showed it, nothing reported as unread. (How each field reads is
    // tst_csvreader's.)
    void rFileAsItReadsAndImports()
    {
        const int boxes = MessageBox::count();
        ImportDialog::setNextAnswer([](ImportDialog &d) {
            [&] {
                QCOMPARE(shownSeparator(d), ',');
                QCOMPARE(DecimalMark(decimalBox(d)->currentData().toInt()), DecimalMark::Point);
                QCOMPARE(TextEncoding(encodingBox(d)->currentData().toInt()), TextEncoding::Utf8);
                QVERIFY(headerBox(d)->isChecked());
                QVERIFY(!suggestionShown(d));
                QCOMPARE(columnTitles(d),
                         (QStringList{"\n(číslo)", "sex\n(text)", "height\n(číslo)", "weight\n(číslo)"}));
                QTableWidget *grid = previewOf(d);
                QCOMPARE(grid->rowCount(), 3);
                QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Female"));
                QCOMPARE(grid->item(0, 2)->data(Qt::DisplayRole).toDouble(), 162.5);
                // NA: missing, empty and tinted, and it says so.
                QVERIFY(grid->item(0, 3)->text().isEmpty());
                QVERIFY(grid->item(0, 3)->background() != QBrush());
                QCOMPARE(grid->item(0, 3)->toolTip(), QStringLiteral("Hodnota chybí."));
                QCOMPARE(grid->item(0, 2)->background(), QBrush());
                QCOMPARE(child<QLabel>(&d, "summaryLabel")->text(),
                         QStringLiteral("Soubor má 3 řádky dat, všechny jsou v náhledu."));
                // What the window reads the file with.
                const CsvReadOptions options = d.options();
                QCOMPARE(options.separator, std::optional<char>(','));
                QCOMPARE(options.decimal, std::optional<DecimalMark>(DecimalMark::Point));
                QCOMPARE(options.header, std::optional<bool>(true));
                QCOMPARE(options.encoding, std::optional<TextEncoding>(TextEncoding::Utf8));
                QCOMPARE(options.maxRows, qsizetype(-1));
            }();
            return ImportDialog::Choice::Import;
        });
        QTreeWidgetItem *node = importOne(rFile, QStringLiteral("vzorek.csv"));
        QCOMPARE(ImportDialog::lastFileName(), QStringLiteral("vzorek.csv"));
        QCOMPARE(MessageBox::count(), boxes);
        QVERIFY(node);
        TTableModel *table = MainWindow::tableOf(node);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->width(), 4);
        QVERIFY(table->isTextColumn(1));
        QCOMPARE(table->value(0, 2), 162.5);
        QVERIFY(table->isMissing(0, 3));
        QVERIFY(table->unreadFields().isEmpty());
    }

    // Each choice reads the preview again; the separator that would split a
    // file read as one column is offered, and taking it reads the columns.
    void separatorChangedAndSuggested()
    {
        ImportDialog d(QStringLiteral("vzorek.csv"), rFile);
        chooseSeparator(d, ';');
        QCOMPARE(previewOf(d)->columnCount(), 1);
        QCOMPARE(d.preview().dialect.separator, ';');
        // The decimal mark follows the separator while nobody chose it.
        QCOMPARE(DecimalMark(decimalBox(d)->currentData().toInt()), DecimalMark::CommaOrPoint);
        QVERIFY(suggestionShown(d));
        QCOMPARE(child<QLabel>(&d, "suggestionLabel")->text(),
                 QStringLiteral("Soubor se čte jako jediný sloupec: žádný středník mezi poli. Oddělovačem je "
                                "nejspíš čárka."));
        QPushButton *take = child<QPushButton>(&d, "suggestionButton");
        QCOMPARE(take->text(), QStringLiteral("Použít čárku"));
        QCOMPARE(d.options().separator, std::optional<char>(';'));

        take->click();
        QCOMPARE(shownSeparator(d), ',');
        QCOMPARE(previewOf(d)->columnCount(), 4);
        QVERIFY(!suggestionShown(d));
        QCOMPARE(d.options().separator, std::optional<char>(','));

        chooseSeparator(d, '\t');
        QCOMPARE(previewOf(d)->columnCount(), 1);
        QVERIFY(child<QLabel>(&d, "suggestionLabel")->text().startsWith(
            QStringLiteral("Soubor se čte jako jediný sloupec: žádný tabulátor mezi poli.")));
    }

    // A file of one column is no mistake: nothing is suggested.
    void oneColumnWithoutSuggestion()
    {
        ImportDialog d(QStringLiteral("m.csv"), "m\n1000\n1250,5\n");
        QCOMPARE(previewOf(d)->columnCount(), 1);
        QCOMPARE(d.suggestedSeparator(), '\0');
        QVERIFY(!suggestionShown(d));
        QCOMPARE(previewOf(d)->item(1, 0)->data(Qt::DisplayRole).toDouble(), 1250.5);
    }

    // The spreadsheet's file: ";" and the decimal comma. Read with "." alone
    // the comma numbers are no numbers and say what stood there; without the
    // header the first row is data and the columns are numbered.
    void semicolonsAndDecimalComma()
    {
        ImportDialog d(QStringLiteral("lide.csv"), spreadsheetFile);
        QCOMPARE(shownSeparator(d), ';');
        QCOMPARE(DecimalMark(decimalBox(d)->currentData().toInt()), DecimalMark::CommaOrPoint);
        QVERIFY(headerBox(d)->isChecked());
        QCOMPARE(columnTitles(d), (QStringList{"Jméno\n(text)", "Výška\n(číslo)", "Hmotnost\n(číslo)"}));
        QCOMPARE(previewOf(d)->item(0, 1)->data(Qt::DisplayRole).toDouble(), 175.5);
        QCOMPARE(previewOf(d)->item(1, 2)->data(Qt::DisplayRole).toDouble(), 72.3);

        decimalBox(d)->setCurrentIndex(decimalBox(d)->findData(int(DecimalMark::Point)));
        QCOMPARE(d.options().decimal, std::optional<DecimalMark>(DecimalMark::Point));
        QTableWidget *grid = previewOf(d);
        QVERIFY(grid->item(0, 1)->text().isEmpty());
        QCOMPARE(grid->item(0, 1)->toolTip(),
                 QStringLiteral("V souboru stálo „175,5“, což není číslo; hodnota chybí."));
        QCOMPARE(grid->item(1, 1)->data(Qt::DisplayRole).toDouble(), 168.0);
        QVERIFY(child<QLabel>(&d, "summaryLabel")
                    ->text()
                    .contains(QStringLiteral("Polí bez čísla ve sloupcích čísel: 2")));

        headerBox(d)->setChecked(false);
        QCOMPARE(d.options().header, std::optional<bool>(false));
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Jméno"));
        QCOMPARE(columnTitles(d).first(), QStringLiteral("1\n(text)"));
        // The separator stays as found while nobody chose another.
        QCOMPARE(shownSeparator(d), ';');
    }

    // The encoding found, and the file read again in the other one.
    void encodingChanged()
    {
        ImportDialog d(QStringLiteral("stary.csv"), windows1250File);
        QCOMPARE(TextEncoding(encodingBox(d)->currentData().toInt()), TextEncoding::Windows1250);
        QCOMPARE(d.preview().headers, (QStringList{"Jméno", "Výška"}));
        QCOMPARE(previewOf(d)->item(0, 0)->text(), QStringLiteral("Novák"));
        encodingBox(d)->setCurrentIndex(encodingBox(d)->findData(int(TextEncoding::Utf8)));
        QCOMPARE(d.options().encoding, std::optional<TextEncoding>(TextEncoding::Utf8));
        QVERIFY(d.preview().headers.first().contains(QChar::ReplacementCharacter));

        // A byte-order mark decides: there is nothing to choose.
        ImportDialog marked(QStringLiteral("bom.csv"), "\xEF\xBB\xBF" + spreadsheetFile);
        QVERIFY(!encodingBox(marked)->isEnabled());
        QCOMPARE(marked.preview().headers.first(), QStringLiteral("Jméno"));
    }

    // Ragged rows are named with their lines before anything is imported.
    void raggedRowsInTheSummary()
    {
        ImportDialog d(QStringLiteral("lide.csv"), "a;b;c\n1;2;3\n4;5\n6;7;8;9\n");
        QCOMPARE(child<QLabel>(&d, "summaryLabel")->text(),
                 QStringLiteral("Soubor má 3 řádky dat, všechny jsou v náhledu. Kratší řádky souboru: 3 (poslední "
                                "hodnoty chybí). Delší řádky souboru: 4 (pole navíc se nenačtou)."));
        QVERIFY(previewOf(d)->item(1, 2)->text().isEmpty());
        QVERIFY(previewOf(d)->item(1, 2)->background() != QBrush());
        QCOMPARE(previewOf(d)->verticalHeaderItem(1)->toolTip(), QStringLiteral("Řádek souboru 3: 2 pole místo 3."));
        QCOMPARE(previewOf(d)->verticalHeaderItem(2)->toolTip(), QStringLiteral("Řádek souboru 4: 4 pole místo 3."));
        QVERIFY(!previewOf(d)->verticalHeaderItem(0));
    }

    // The preview reads its first rows; the import reads them all. Of a big
    // file the preview sees only the beginning, so the whole file decides its
    // encoding unless the user chose one.
    void previewOfABigFile()
    {
        QByteArray content("x;y\n");
        content.reserve(6 * 1024 * 1024);
        for (int i = 0; i < 600000; ++i)
            content += QByteArray::number(i) + ";1,5\n";
        ImportDialog::setNextAnswer([](ImportDialog &d) {
            [&] {
                QCOMPARE(previewOf(d)->rowCount(), ImportDialog::previewRows);
                QCOMPARE(child<QLabel>(&d, "summaryLabel")->text(),
                         QStringLiteral("Náhled ukazuje prvních 20 řádků dat."));
                QCOMPARE(d.options().encoding, std::optional<TextEncoding>());
                QCOMPARE(d.options().separator, std::optional<char>(';'));
            }();
            return ImportDialog::Choice::Import;
        });
        QCOMPARE(MainWindow::tableOf(importOne(content, QStringLiteral("velky.csv")))->rowCount(), 600000);

        ImportDialog small(QStringLiteral("maly.csv"), content.first(1000));
        QCOMPARE(small.options().encoding, std::optional<TextEncoding>(TextEncoding::Utf8));
        ImportDialog beginning(QStringLiteral("velky.csv"), content.first(1000), true);
        QCOMPARE(beginning.options().encoding, std::optional<TextEncoding>());
        encodingBox(beginning)->setCurrentIndex(encodingBox(beginning)->findData(int(TextEncoding::Windows1250)));
        QCOMPARE(beginning.options().encoding, std::optional<TextEncoding>(TextEncoding::Windows1250));
    }

    // What the user changed in the preview is what the window reads.
    void importWithTheChoiceChanged()
    {
        ImportDialog::setNextAnswer([](ImportDialog &d) {
            headerBox(d)->setChecked(true);
            return ImportDialog::Choice::Import;
        });
        TTableModel *table = MainWindow::tableOf(importOne("170;80\n180;90,5\n", QStringLiteral("cisla.csv")));
        QCOMPARE(headersOf(*table), (QStringList{"170", "80"}));
        QCOMPARE(storedRows(*table), (Rows{{180, 90.5}}));
    }

    // Of several files, a skipped one is left out and the others come in;
    // "Zrušit import" adds none of them, and the files after it are not shown.
    void severalFiles_data()
    {
        QTest::addColumn<QList<int>>("answers"); // ImportDialog::Choice per file asked
        QTest::addColumn<QStringList>("added");
        const int import = int(ImportDialog::Choice::Import);
        const int skip = int(ImportDialog::Choice::Skip);
        const int stop = int(ImportDialog::Choice::CancelAll);
        QTest::newRow("the second skipped") << QList<int>{import, skip, import} << QStringList{"a.csv", "c.csv"};
        QTest::newRow("all skipped") << QList<int>{skip, skip, skip} << QStringList{};
        QTest::newRow("cancelled at the second") << QList<int>{import, stop} << QStringList{};
    }

    void severalFiles()
    {
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, added);
        FileDialog::setNextFileNames({writeFile(m_dir, QStringLiteral("a.csv"), "x\n1\n"),
                                      writeFile(m_dir, QStringLiteral("b.csv"), "y\n2\n"),
                                      writeFile(m_dir, QStringLiteral("c.csv"), "z\n3\n")});
        const int asked = ImportDialog::count();
        for (int answer : answers)
            ImportDialog::setNextAnswer([answer](ImportDialog &) { return ImportDialog::Choice(answer); });
        m_window->loadCSV();
        QCOMPARE(ImportDialog::count(), asked + int(answers.size()));
        QCOMPARE(m_window->sourceFiles(), added);
        QCOMPARE(m_window->isModified(), !added.isEmpty());
    }

    // The dialog itself, shown: Enter imports; with several files Cancel
    // skips the file and "Zrušit import" stops the import.
    void shownDialog()
    {
        ImportDialog::acceptDetectedWhenUnqueued(false);
        const auto restore = qScopeGuard([] { ImportDialog::acceptDetectedWhenUnqueued(true); });
        const QString a = writeFile(m_dir, QStringLiteral("a.csv"), spreadsheetFile);
        const QString b = writeFile(m_dir, QStringLiteral("b.csv"), rFile);

        FileDialog::setNextFileNames({a});
        withModal<ImportDialog>([&] { m_window->loadCSV(); }, [](ImportDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Import dat z CSV souboru"));
            QCOMPARE(child<QLabel>(d, "fileLabel")->text(), QStringLiteral("Soubor a.csv"));
            QVERIFY(!d->findChild<QPushButton *>(QStringLiteral("cancelAllButton")));
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(m_window->sourceFiles(), QStringList{"a.csv"});

        FileDialog::setNextFileNames({a, b});
        withModal<ImportDialog>([&] { m_window->loadCSV(); }, [](ImportDialog *d) {
            QCOMPARE(child<QLabel>(d, "fileLabel")->text(), QStringLiteral("Soubor a.csv (1/2)"));
            QCOMPARE(child<QDialogButtonBox>(d, "buttonBox")->button(QDialogButtonBox::Cancel)->text(),
                     QStringLiteral("Př&eskočit soubor"));
            child<QPushButton>(d, "cancelAllButton")->click();
        });
        QCOMPARE(m_window->sourceFiles(), QStringList{"a.csv"});
    }

    // The report after an import names the cells of number columns that held
    // no number, column by column, and the lines of the rows that did not fit;
    // a text column is text, not unread, and an empty field no surprise.
    void reportOfWhatDidNotRead()
    {
        MessageBox::setNextAnswer(QMessageBox::Ok);
        TTableModel *table = MainWindow::tableOf(
            importOne("Pohlaví;Výška;Hmotnost\nmuž;175;80\nžena;?;61\nmuž;181\nžena;165;58;navíc\nmuž;;abc\n",
                      QStringLiteral("divne.csv")));
        QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Import dat z CSV souboru"));
        QCOMPARE(MessageBox::lastText(),
                 QStringLiteral("Některá pole neobsahují číslo nebo v kratších řádcích chybí; jejich hodnota chybí. "
                                "V tabulce jsou podbarvená a bublina ukazuje, co v souboru stálo. Pole navíc v "
                                "delších řádcích se nenačetla.\n"
                                "\ndivne.csv – sloupec „Výška“: 1×, sloupec „Hmotnost“: 1×; kratší řádky souboru: 4; "
                                "delší řádky souboru: 5"));
        QVERIFY(table->isTextColumn(0));
        QCOMPARE(table->data(table->index(1, 2), Qt::ToolTipRole).toString(),
                 QStringLiteral("V souboru stálo „?“, což není číslo; hodnota chybí."));
        QVERIFY(table->isMissing(2, 2));
    }

    // The export writes texts as texts (quoted where they hold ";"), missing
    // values as empty fields and numbers with a decimal comma; the header row
    // when asked, and the choice is remembered for the next export.
    void exportWithAndWithoutHeader()
    {
        QTreeWidgetItem *node = importOne("Jméno;Výška;Hmotnost\n"
                                          "\"Nová; ml.\";160;55\n"
                                          "Novák;175,5;NA\n"
                                          "Dvořák;;72,3\n",
                                          QStringLiteral("lide.csv"));
        const QByteArray rows = "\"Nová; ml.\";160;55\n"
                                "Novák;175,5;\n"
                                "Dvořák;;72,3\n";
        const QString path = m_dir.filePath(QStringLiteral("export.csv"));

        // The first time, the header row is on.
        FileDialog::setNextFileName(path);
        m_window->exportCSV(node);
        QCOMPARE(contentOf(path), "Jméno;Výška;Hmotnost\n" + rows);

        FileDialog::setNextFileName(path);
        FileDialog::setNextCheck(false);
        m_window->exportCSV(node);
        QCOMPARE(contentOf(path), rows);
        QCOMPARE(QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"))
                     .value(QStringLiteral("exportHeaderRow"))
                     .toBool(),
                 false);

        // Remembered: the next export is without it too, until it is asked for.
        FileDialog::setNextFileName(path);
        m_window->exportCSV(node);
        QCOMPARE(contentOf(path), rows);
        FileDialog::setNextFileName(path);
        FileDialog::setNextCheck(true);
        m_window->exportCSV(node);
        QCOMPARE(contentOf(path), "Jméno;Výška;Hmotnost\n" + rows);

        // A cancelled dialog changes nothing of the choice.
        FileDialog::setNextFileName(QString());
        FileDialog::setNextCheck(false);
        m_window->exportCSV(node);
        QVERIFY(QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"))
                    .value(QStringLiteral("exportHeaderRow"))
                    .toBool());
    }
};

QTEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
