#pragma once
// Copying a table to the clipboard as tab-separated text, from the tree's
// context menu (the whole table) or with the copy shortcut on the table view
// (the selected cells, or the whole table shown when none is selected).

#include <QString>

class QAbstractItemModel;
class QItemSelection;
class QTableView;

// Puts table on the clipboard, each cell as view draws it (view may be null:
// the default delegate's text is taken).
void copyTableToClipboard(const QAbstractItemModel *table, const QTableView *view = nullptr);

// The selected cells of model as copied: the header texts of the columns with
// a selected cell, then each row with a selected cell, in the model's order,
// laid out as tableAsText lays out a whole table. A cell of those rows and
// columns that is not selected itself stays empty, so that a selection that
// is no rectangle pastes in its own shape. The row-number column is there
// only when one of its cells is selected. Each cell as view draws it (view
// may be null, as above).
QString selectionAsText(const QAbstractItemModel &model, const QItemSelection &selection,
                        const QTableView *view = nullptr);

// What the copy shortcut copies from view: its selected cells, or, when none
// is selected (a current cell alone is no selection), the whole table in the
// order it is shown.
void copyViewToClipboard(const QTableView *view);

// The copy shortcut (Ctrl+C) on view runs copyViewToClipboard.
void installCopyShortcut(QTableView *view);
