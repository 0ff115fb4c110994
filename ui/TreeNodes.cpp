#include "TreeNodes.h"

#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QTreeWidgetItem>

Q_DECLARE_METATYPE(QTreeWidgetItem *)

QVector<QTreeWidgetItem *> emptyResultSlots()
{
    return QVector<QTreeWidgetItem *>(MethodCatalogSize, nullptr);
}

QIcon iconOfType(qint32 type)
{
    switch (kindOf(type)) {
    case UnitConversion:
        return QIcon(QStringLiteral(":/icons/prevody-jednotek-70x67px.png"));
    case Formula:
        return QIcon(QStringLiteral(":/icons/studium-ziveho-70x67px.png"));
    case Spatial:
        return QIcon(QStringLiteral(":/icons/uprava-dat-70x67px.png"));
    case Custom:
        break;
    }
    return QIcon(QStringLiteral(":/icons/document.png"));
}

QTreeWidgetItem *makeSourceNode(const QString &fileName, TTableModel *table)
{
    auto *node = new QTreeWidgetItem(QStringList{QStringLiteral("Data ze souboru \"%1\"").arg(fileName)});
    node->setIcon(0, iconOfType(SourceDataType));
    QFont bold = node->font(0);
    bold.setBold(true);
    node->setFont(0, bold);
    setNodeTable(node, table);
    return node;
}

void setNodeTable(QTreeWidgetItem *node, TTableModel *table)
{
    node->setData(0, Qt::UserRole, QVariant::fromValue<QObject *>(table));
}

void setParentNode(QTreeWidgetItem *node, QTreeWidgetItem *parent)
{
    node->setData(1, Qt::UserRole, QVariant::fromValue(parent));
}

QTreeWidgetItem *parentNodeOf(QTreeWidgetItem *node)
{
    return node->data(1, Qt::UserRole).value<QTreeWidgetItem *>();
}
