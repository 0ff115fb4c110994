// examples/: the committed sample project is what the program makes of the
// CSV files beside it today. The numbers of the methods are the method tests'
// business; here the project has to be the files' and up to date.

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "SampleProject.h"
#include "TTableModel.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>

#include <cmath>

class TestSampleProject : public QObject {
    Q_OBJECT

    const QDir m_examples{QStringLiteral(KOSTIMER_EXAMPLES)};
    ProjectTree m_committed;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
        buildMethodCatalog();
        QVERIFY(readProjectFile(m_examples.filePath(QStringLiteral("ukazkovy-projekt.kstx")), &m_committed));
    }

    void everyFileIsInTheProject()
    {
        QStringList inProject;
        for (const auto &root : m_committed) {
            QVERIFY(root->isDataNode);
            inProject.append(root->sourceFileName);
        }
        inProject.sort();
        QCOMPARE(inProject, m_examples.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name));
        // Every family of methods has its data: living body, skull, bone
        // microstructure, teeth, 2D and 3D landmarks.
        for (qint32 type : {2, 3, 11, 22, 43, 23, 47, 44, 45, 46, 51, 52, 97, 99, 98, 105}) {
            bool found = false;
            forEachNode(m_committed, [&](const ProjectNode &node, int) { found |= node.table->type() == type; });
            QVERIFY2(found, qPrintable(QString::number(type)));
        }
    }

    // Each source table holds its file, read here by plain splitting: the
    // project's tables are the examples', not those of another file.
    void sourceTablesHoldTheFiles()
    {
        for (const auto &root : m_committed) {
            QFile f(m_examples.filePath(root->sourceFileName));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(root->table->headers(), lines.value(0).split(u';'));
            QCOMPARE(root->table->rowCount(), lines.size() - 1);
            for (int r = 0; r + 1 < lines.size(); ++r) {
                const QStringList fields = lines[r + 1].split(u';');
                for (int c = 0; c < fields.size(); ++c)
                    QCOMPARE(root->table->value(r, c), QString(fields[c]).replace(u',', u'.').toDouble());
            }
        }
    }

    void committedProjectIsAFreshComputation()
    {
        ProjectTree fresh;
        QString error;
        QVERIFY2(buildSampleProject(m_examples.path(), &fresh, &error), qPrintable(error));
        QCOMPARE(m_committed.size(), fresh.size());
        for (size_t i = 0; i < fresh.size(); ++i) {
            const ProjectNode &was = *m_committed[i];
            const ProjectNode &now = *fresh[i];
            QCOMPARE(was.sourceFileName, now.sourceFileName);
            QCOMPARE(was.table->headers(), now.table->headers());
            QCOMPARE(was.children.size(), now.children.size());
            std::vector<std::pair<const TTableModel *, const TTableModel *>> pairs{{was.table, now.table}};
            for (size_t c = 0; c < now.children.size(); ++c) {
                QCOMPARE(was.children[c]->name, MethodCatalog[now.children[c]->table->type()].title);
                pairs.emplace_back(was.children[c]->table, now.children[c]->table);
            }
            for (const auto &[a, b] : pairs) {
                QCOMPARE(a->type(), b->type());
                QCOMPARE(a->rowCount(), b->rowCount());
                QVERIFY(a->rowCount() > 0);
                QCOMPARE(a->columnCount(), b->columnCount());
                for (int r = 0; r < b->rowCount(); ++r) {
                    QVERIFY(a->isRowChecked(r));
                    // The file keeps a place for the verdict columns too; their
                    // texts come from the numbers.
                    QVERIFY(a->rowLength(r) >= b->rowLength(r));
                    for (int c = 0; c < b->columnCount(); ++c)
                        QCOMPARE(a->data(a->index(r, c)).toString(), b->data(b->index(r, c)).toString());
                    for (int c = 0; c < b->rowLength(r); ++c) {
                        const double x = a->value(r, c), y = b->value(r, c);
                        QVERIFY2(x == y || (std::isnan(x) && std::isnan(y)),
                                 qPrintable(QStringLiteral("%1, type %2, row %3, column %4: %5 in the file, %6 now")
                                                .arg(now.sourceFileName).arg(b->type()).arg(r).arg(c).arg(x).arg(y)));
                    }
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestSampleProject)
#include "tst_sampleproject.moc"
