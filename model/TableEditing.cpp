// Editing a source table in place: a cell from typed text, rows taken out
// and put back, each exactly as it was so that an edit can be undone.

#include "TTableModel.h"

#include "MethodCatalog.h"
#include "NumberReader.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double Missing = std::numeric_limits<double>::quiet_NaN();

qint64 cellKey(qsizetype row, int column)
{
    return qint64(row) << 32 | quint32(column);
}

} // namespace

bool TTableModel::isEditableTable() const
{
    return m_type == SourceDataType && m_customFunction == 0 && !m_origin;
}

bool TTableModel::isEditable(int row, int column) const
{
    return isEditableTable() && row >= 0 && row < rowCount() && column >= 0 && column < width();
}

TTableModel::Cell TTableModel::cell(int row, int column) const
{
    Cell cell;
    cell.value = column < rowLength(row) ? rowData(row)[column] : Missing;
    if (const TextColumn *texts = textColumn(column)) {
        cell.text = size_t(row) < texts->cells.size() ? texts->cells[size_t(row)] : -1;
        cell.textCount = texts->texts.size();
        if (cell.text >= 0)
            cell.textValue = texts->texts.at(cell.text);
    }
    const auto unread = m_unread.constFind(cellKey(row, column));
    if (unread != m_unread.cend())
        cell.unread = *unread;
    return cell;
}

bool TTableModel::cellFromText(int row, int column, const QString &typed, Cell *cell, QString *reason) const
{
    *cell = this->cell(row, column);
    cell->unread.reset(); // what the file held is no longer the cell's
    if (const TextColumn *texts = textColumn(column)) {
        const QString text = typed.trimmed();
        cell->textValue = text;
        cell->textCount = texts->texts.size();
        if (text.isEmpty()) {
            cell->text = -1;
        } else {
            cell->text = qint32(texts->texts.indexOf(text));
            if (cell->text < 0) {
                cell->text = qint32(texts->texts.size());
                cell->textCount = cell->text + 1;
            }
        }
        return true;
    }
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        cell->value = Missing;
        return true;
    }
    double number = 0;
    static const NumberReader reader;
    if (!reader.readText(text, &number) || !std::isfinite(number)) {
        if (reason)
            *reason = QStringLiteral("„%1“ není číslo; sloupec „%2“ přijímá jen čísla (desetinná čárka i tečka), "
                                     "prázdné pole znamená chybějící hodnotu.")
                          .arg(text.left(40), columnName(column));
        return false;
    }
    cell->value = number;
    return true;
}

void TTableModel::restoreCell(int row, int column, const Cell &cell)
{
    if (row < 0 || row >= rowCount() || column < 0)
        return;
    if (column >= rowLength(row)) {
        // A row shorter than the table (an older project): every row takes
        // the table's width, the cells it lacked missing.
        const int columns = std::max(width(), column + 1);
        cv::Mat values(1, std::max(rowCount() * columns, 1), CV_64F, cv::Scalar(Missing));
        double *out = reinterpret_cast<double *>(values.data);
        for (int r = 0; r < rowCount(); ++r)
            std::copy_n(rowData(r), std::min(rowLength(r), columns), out + qsizetype(r) * columns);
        m_values = values;
        m_rowLength = columns;
        std::vector<qsizetype>().swap(m_rowStarts);
    }
    writableValues()[rowStart(row) + column] = cell.value;
    const auto textsAt = m_texts.find(column);
    if (textsAt != m_texts.end()) {
        TextColumn &texts = textsAt->second;
        if (cell.text >= texts.texts.size())
            texts.texts.append(cell.textValue);
        if (texts.cells.size() < size_t(rowCount()))
            texts.cells.resize(size_t(rowCount()), -1);
        texts.cells[size_t(row)] = cell.text;
        if (texts.texts.size() > cell.textCount)
            texts.texts.resize(cell.textCount);
    }
    if (cell.unread)
        m_unread.insert(cellKey(row, column), *cell.unread);
    else
        m_unread.remove(cellKey(row, column));
    emit dataChanged(index(row, column + 1), index(row, column + 1));
}

QString TTableModel::editError() const
{
    return m_editError;
}

void TTableModel::assembleRows(const std::vector<std::pair<const TTableModel *, int>> &order)
{
    // Lengths first: rows keep one length while they all have it.
    std::vector<qsizetype> starts(order.size() + 1, 0);
    bool even = true;
    const int firstLength = order.empty() ? 0 : order.front().first->rowLength(order.front().second);
    for (size_t i = 0; i < order.size(); ++i) {
        const int length = order[i].first->rowLength(order[i].second);
        even = even && length == firstLength;
        starts[i + 1] = starts[i] + length;
    }
    cv::Mat values;
    if (starts.back() > 0)
        values.create(1, int(starts.back()), CV_64F);
    double *out = reinterpret_cast<double *>(values.data);
    std::vector<char> checked(order.size());
    QHash<qint64, QString> unread;
    std::map<int, TextColumn> texts;
    for (const auto &[column, own] : m_texts) {
        texts[column].texts = own.texts;
        texts[column].cells.assign(order.size(), -1);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        const auto &[table, row] = order[i];
        const int length = table->rowLength(row);
        if (length > 0)
            std::copy_n(table->rowData(row), length, out + starts[i]);
        checked[i] = table->m_checked[size_t(row)];
        for (auto &[column, to] : texts) {
            const TextColumn *from = table->textColumn(column);
            if (from && size_t(row) < from->cells.size())
                to.cells[i] = from->cells[size_t(row)];
        }
        for (int c = 0; !table->m_unread.isEmpty() && c < length; ++c) {
            const auto it = table->m_unread.constFind(cellKey(row, c));
            if (it != table->m_unread.cend())
                unread.insert(cellKey(qsizetype(i), c), *it);
        }
    }
    beginResetModel();
    m_values = values;
    m_rowLength = even ? firstLength : 0;
    if (even)
        std::vector<qsizetype>().swap(m_rowStarts);
    else
        m_rowStarts = std::move(starts);
    m_checked = std::move(checked);
    m_unread = std::move(unread);
    m_texts = std::move(texts);
    endResetModel();
}

std::unique_ptr<TTableModel> TTableModel::takeRows(const std::vector<int> &rows)
{
    auto taken = std::make_unique<TTableModel>(this);
    std::vector<std::pair<const TTableModel *, int>> kept;
    std::vector<std::pair<const TTableModel *, int>> gone;
    const TTableModel copy(this); // the rows as they stood, while this table is rebuilt
    size_t next = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (next < rows.size() && rows[next] == r) {
            gone.push_back({&copy, r});
            ++next;
        } else {
            kept.push_back({&copy, r});
        }
    }
    taken->assembleRows(gone);
    assembleRows(kept);
    return taken;
}

void TTableModel::restore(const TTableModel &snapshot)
{
    beginResetModel();
    copyFrom(snapshot);
    endResetModel();
}

void TTableModel::setHeaders(const QStringList &headers)
{
    if (m_headers == headers)
        return;
    m_headers = headers;
    if (columnCount() > 1)
        emit headerDataChanged(Qt::Horizontal, 1, columnCount() - 1);
}

void TTableModel::setRowChecked(int row, bool checked)
{
    if (row < 0 || row >= rowCount() || bool(m_checked[size_t(row)]) == checked)
        return;
    m_checked[size_t(row)] = checked;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
    emit checksChanged();
}
