// The row-number column under a GUI application: its background must be a
// colour the item delegate can paint with (it takes a brush from the value).

#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QBrush>
#include <QColor>
#include <QtTest>

class TestTableModelGui : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void rowNumbersOnLightGrey()
    {
        TTableModel table;
        table.appendRows({{1, 2}});
        const QVariant background = table.data(table.index(0, 0), Qt::BackgroundRole);
        QVERIFY(background.canConvert<QBrush>());
        QCOMPARE(qvariant_cast<QBrush>(background).color(), QColor(Qt::lightGray));
        QVERIFY(!table.data(table.index(0, 1), Qt::BackgroundRole).isValid());
    }
};

QTEST_MAIN(TestTableModelGui)
#include "tst_tablemodel_gui.moc"
