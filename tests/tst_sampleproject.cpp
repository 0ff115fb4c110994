#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "SampleProject.h"
#include "TTableModel.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>

#include <cmath>

// examples/: the committed sample project is what the program makes of the
// CSV files beside it today, and its numbers are those of the published
// formulas.
class TestSampleProject : public QObject {
    Q_OBJECT

    const QDir m_examples{QStringLiteral(KOSTIMER_EXAMPLES)};
    ProjectTree m_committed;

    // A CSV file of the examples read by hand: header text -> column of values.
    QMap<QString, QList<double>> columns(const QString &file) const
    {
        QFile f(m_examples.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList header = lines.value(0).split(u';');
        QMap<QString, QList<double>> result;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList fields = lines[i].split(u';');
            for (qsizetype j = 0; j < header.size(); ++j) {
                bool ok = false;
                result[header[j]].append(QString(fields.value(j)).replace(u',', u'.').toDouble(&ok));
                if (!ok)
                    qWarning() << file << "row" << i << "column" << header[j] << "is no number";
            }
        }
        return result;
    }

    const ProjectNode *source(const QString &file) const
    {
        for (const auto &root : m_committed)
            if (root->sourceFileName == file)
                return root.get();
        return nullptr;
    }

    const TTableModel *result(const QString &file, qint32 type) const
    {
        if (const ProjectNode *node = source(file))
            for (const auto &child : node->children)
                if (child->table->type() == type)
                    return child->table;
        return nullptr;
    }

    static bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

    static bool close(double actual, double expected)
    {
        return std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
        buildMethodCatalog();
        QVERIFY(readProjectFile(m_examples.filePath(QStringLiteral("ukazkovy-projekt.kstx")), &m_committed));
    }

    void everyFileIsInTheProject()
    {
        QStringList files = m_examples.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
        QStringList inProject;
        for (const auto &root : m_committed) {
            QVERIFY(root->isDataNode);
            inProject.append(root->sourceFileName);
        }
        inProject.sort();
        QCOMPARE(inProject, files);
        // Every family of methods has its data: living body, skull, bone
        // microstructure, teeth, 2D and 3D landmarks.
        for (qint32 type : {2, 3, 11, 22, 43, 23, 47, 44, 45, 46, 51, 52, 97, 99, 98, 105}) {
            bool found = false;
            forEachNode(m_committed, [&](const ProjectNode &node, int) { found |= node.table->type() == type; });
            QVERIFY2(found, qPrintable(QString::number(type)));
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
                    for (int c = 0; c < b->rowLength(r); ++c)
                        QVERIFY2(same(a->value(r, c), b->value(r, c)),
                                 qPrintable(QStringLiteral("%1, type %2, row %3, column %4: %5 in the file, %6 now")
                                                .arg(now.sourceFileName)
                                                .arg(b->type())
                                                .arg(r)
                                                .arg(c)
                                                .arg(a->value(r, c), 0, 'g', 17)
                                                .arg(b->value(r, c), 0, 'g', 17)));
                }
            }
        }
    }

    void sourceTablesHoldTheFiles()
    {
        for (const auto &root : m_committed) {
            const auto values = columns(root->sourceFileName);
            const QStringList headers = root->table->headers();
            QCOMPARE(headers.size(), values.size());
            for (int c = 0; c < headers.size(); ++c) {
                const QList<double> column = values.value(headers[c]);
                QCOMPARE(root->table->rowCount(), column.size());
                for (int r = 0; r < column.size(); ++r)
                    QCOMPARE(root->table->value(r, c), column[r]);
            }
        }
    }

    // A few results against the formulas as published, from the files read
    // by hand.
    void bodyMassIndex()
    {
        const auto people = columns(QStringLiteral("lide.csv"));
        const TTableModel *bmi = result(QStringLiteral("lide.csv"), 2);
        QVERIFY(bmi);
        const QList<double> weight = people.value(QString::fromUtf8("Hmotnost (kg)"));
        const QList<double> height = people.value(QString::fromUtf8("Výška (m)"));
        QCOMPARE(bmi->rowCount(), weight.size());
        for (int r = 0; r < weight.size(); ++r) {
            const double expected = weight[r] / (height[r] * height[r]);
            QVERIFY(expected > 18 && expected < 32); // adults of plausible build
            QVERIFY(close(bmi->value(r, 2), expected));
        }
    }

    void cranialIndex()
    {
        const auto skulls = columns(QStringLiteral("lebky.csv"));
        const TTableModel *index = result(QStringLiteral("lebky.csv"), 23);
        QVERIFY(index);
        const QList<double> length = skulls.value(QString::fromUtf8("M1 největší délka lebky"));
        const QList<double> breadth = skulls.value(QString::fromUtf8("M8 největší šířka lebky"));
        for (int r = 0; r < length.size(); ++r)
            QVERIFY(close(index->value(r, 2), 100.0 * breadth[r] / length[r]));
    }

    void kilianAge()
    {
        const auto teeth = columns(QStringLiteral("zuby.csv"));
        const TTableModel *age = result(QStringLiteral("zuby.csv"), 51);
        QVERIFY(age);
        const int rows = int(teeth.first().size());
        for (int r = 0; r < rows; ++r) {
            double sum = 0;
            for (const QList<double> &column : teeth)
                sum += column[r];
            QVERIFY(close(age->value(r, 5), (sum * 100.0 / 15.0 + 2.27) / 1.12));
        }
    }

    void landmarks()
    {
        const auto flat = columns(QStringLiteral("landmarky-2d.csv"));
        const TTableModel *ramus = result(QStringLiteral("landmarky-2d.csv"), 97);
        const TTableModel *angle = result(QStringLiteral("landmarky-2d.csv"), 99);
        QVERIFY(ramus && angle);
        const auto at = [&](const char *name, int r) { return flat.value(QString::fromLatin1(name)).value(r); };
        for (int r = 0; r < ramus->rowCount(); ++r) {
            const double cx = at("Condylion x", r) - at("Gonion x", r), cy = at("Condylion y", r) - at("Gonion y", r);
            const double mx = at("Menton x", r) - at("Gonion x", r), my = at("Menton y", r) - at("Gonion y", r);
            QVERIFY(close(ramus->value(r, 4), std::hypot(cx, cy)));
            const double gonial = std::atan2(std::fabs(cx * my - cy * mx), cx * mx + cy * my);
            QVERIFY(gonial > 1.8 && gonial < 2.3); // 105 to 130 degrees
            QVERIFY(close(angle->value(r, 6), gonial));
        }

        const auto space = columns(QStringLiteral("landmarky-3d.csv"));
        const TTableModel *breadth = result(QStringLiteral("landmarky-3d.csv"), 98);
        QVERIFY(breadth);
        const auto p = [&](const char *name, int r) { return space.value(QString::fromLatin1(name)).value(r); };
        for (int r = 0; r < breadth->rowCount(); ++r) {
            const double dx = p("Porion L x", r) - p("Porion P x", r), dy = p("Porion L y", r) - p("Porion P y", r),
                         dz = p("Porion L z", r) - p("Porion P z", r);
            QVERIFY(close(breadth->value(r, 6), std::sqrt(dx * dx + dy * dy + dz * dz)));
        }
    }
};

QTEST_APPLESS_MAIN(TestSampleProject)
#include "tst_sampleproject.moc"
