#pragma once
// Copying a whole table to the clipboard as tab-separated text, from the
// tree's context menu or with the copy shortcut on the table view.

class QAbstractItemModel;
class QTableView;

// Puts table on the clipboard, each cell as view draws it (view may be null:
// the default delegate's text is taken).
void copyTableToClipboard(const QAbstractItemModel *table, const QTableView *view = nullptr);

// The copy shortcut (Ctrl+C) on view copies the whole table it shows.
void installCopyShortcut(QTableView *view);
