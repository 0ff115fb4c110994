#pragma once
// "Přehled metod": every method of the catalog in a tree by the context menu's
// submenus, then the statistics of a sample, a search field that narrows the
// tree, and the chosen entry's inputs, outputs, formula, class limits and
// literature.

#include "MethodReferenceText.h"

#include <QDialog>
#include <QList>

#include <memory>

class QTreeWidgetItem;

namespace Ui {
class MethodReferenceDialog;
}

class MethodReferenceDialog : public QDialog {
    Q_OBJECT

public:
    explicit MethodReferenceDialog(QWidget *parent = nullptr);
    ~MethodReferenceDialog() override;

    // Selects the method's entry (clearing a search that hides it).
    void showMethod(int id);
    // The methods in the tree, in tree order; those the search leaves shown.
    QList<int> listedMethods() const;
    QList<int> shownMethods() const;
    // The method whose entry is shown; -1 for none.
    int currentMethod() const;
    // The same for the entries of the statistics.
    void showTopic(ReferenceTopic topic);
    QList<ReferenceTopic> shownTopics() const;
    bool isTopicCurrent(ReferenceTopic topic) const;

public slots:
    void setFilter(const QString &text);

private:
    void buildTree();
    void showEntry();
    QTreeWidgetItem *itemOf(int id) const;
    QTreeWidgetItem *itemOf(ReferenceTopic topic) const;
    void select(QTreeWidgetItem *item);

    std::unique_ptr<Ui::MethodReferenceDialog> m_ui;
};
