// kostimer-cli on a damaged project: the numbers of a damaged entry never
// reach standard output, and the one line on standard error says why.

#include "CliRun.h"

#include <QDir>
#include <QtEndian>
#include <QtTest>

class TestProjectCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // The sample project with one bit of the deflated values of "0/2.csv" flipped.
    QString damagedSample()
    {
        QFile f(QDir(QStringLiteral(KOSTIMER_EXAMPLES)).filePath(QStringLiteral("ukazkovy-projekt.kstx")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QByteArray bytes = f.readAll();
        const auto field16 = [&](qsizetype p) { return qFromLittleEndian<quint16>(bytes.constData() + p); };
        const auto field32 = [&](qsizetype p) { return qFromLittleEndian<quint32>(bytes.constData() + p); };
        for (qsizetype p = bytes.indexOf("PK\x01\x02"); p >= 0; p = bytes.indexOf("PK\x01\x02", p + 4)) {
            if (bytes.mid(p + 46, field16(p + 28)) != "0/2.csv")
                continue;
            const qsizetype local = field32(p + 42);
            const qsizetype at = local + 30 + field16(local + 26) + field16(local + 28) + field32(p + 20) / 2;
            bytes[at] = char(bytes[at] ^ 1);
            return writeFile(m_dir, QStringLiteral("poskozeny.kstx"), bytes);
        }
        return {};
    }

private slots:
    void damagedEntryIsRefusedWithItsReason_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("show") << QStringList{"project", "show"};
        QTest::newRow("export of the damaged table") << QStringList{"project", "export", "@", "0/2.csv"};
        QTest::newRow("export of a sound table") << QStringList{"project", "export", "@", "0.csv"};
    }

    void damagedEntryIsRefusedWithItsReason()
    {
        QFETCH(QStringList, arguments);
        const QString file = damagedSample();
        QVERIFY(!file.isEmpty());
        if (arguments.contains("@"))
            arguments.replace(arguments.indexOf("@"), file);
        else
            arguments.append(file);
        const CliRun r = runCli(arguments);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(r.err.count('\n'), 1);
        const QString expected = QString::fromUtf8("Projekt „%1“ nelze přečíst: není to projekt programu "
                                                   "Kostimer nebo je poškozený. Položka „0/2.csv“ je poškozená")
                                     .arg(file);
        QVERIFY2(QString::fromUtf8(r.err).startsWith(expected), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestProjectCli)
#include "tst_projectcli.moc"
