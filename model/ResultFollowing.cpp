// A result table follows the table it was made from: when the source's rows
// change, the result is computed again from the source rows it was made of.

#include "TTableModel.h"

#include "CustomFunctions.h"
#include "MethodCatalog.h"

#include <algorithm>

std::vector<int> TTableModel::checkedRowList() const
{
    std::vector<int> rows;
    for (size_t r = 0; r < m_checked.size(); ++r)
        if (m_checked[r])
            rows.push_back(int(r));
    return rows;
}

std::optional<TTableModel::RowChange> TTableModel::follow(const TTableModel &source, const RowChange &change)
{
    if (!m_origin)
        return std::nullopt;
    const MethodRecord *record = method();
    const CustomFunctionRecord *function = record ? nullptr : userFunction();
    if (!(record && record->compute) && !function)
        return std::nullopt;
    const Origin &origin = *m_origin;
    const int inputs = int(origin.inputs.size());
    const int carried = int(origin.carried.size());

    // Which source row each row now comes from (-1: typed into the result),
    // and which of this table's rows it was (-1: new).
    RowChange mine;
    std::vector<int> sourceRow;
    std::vector<int> ownRow;
    sourceRow.reserve(size_t(rowCount() + change.added));
    ownRow.reserve(size_t(rowCount() + change.added));
    for (int r = 0; r < rowCount(); ++r) {
        int s = size_t(r) < origin.rows.size() ? origin.rows[size_t(r)] : -1;
        if (s >= 0) {
            const auto at = std::lower_bound(change.removed.begin(), change.removed.end(), s);
            if (at != change.removed.end() && *at == s) {
                mine.removed.push_back(r);
                continue;
            }
            s -= int(at - change.removed.begin());
        }
        sourceRow.push_back(s);
        ownRow.push_back(r);
    }
    for (int s = std::max(source.rowCount() - change.added, 0); s < source.rowCount(); ++s) {
        sourceRow.push_back(s);
        ownRow.push_back(-1);
        ++mine.added;
    }

    // The inputs and the carried columns of every row, as applying the method
    // takes them: a column a row lacks gives 0.
    const int rows = int(sourceRow.size());
    cv::Mat in(rows, inputs, CV_64F);
    cv::Mat kept(rows, carried, CV_64F);
    for (int i = 0; i < rows; ++i) {
        const int s = sourceRow[size_t(i)];
        const int own = ownRow[size_t(i)];
        double *inRow = in.ptr<double>(i);
        double *keptRow = kept.ptr<double>(i);
        for (int j = 0; j < inputs; ++j)
            inRow[j] = s >= 0 ? source.value(s, origin.inputs[size_t(j)]) : value(own, carried + j);
        for (int j = 0; j < carried; ++j)
            keptRow[j] = s >= 0 ? source.value(s, origin.carried[size_t(j)]) : value(own, j);
    }
    cv::Mat result = record ? computeResult(*record, in) : computeCustomResult(*function, in);
    if (!result.isContinuous() || result.type() != CV_64F) {
        cv::Mat continuous;
        result.convertTo(continuous, CV_64F);
        result = continuous;
    }
    cv::Mat joined = result;
    if (carried > 0) {
        joined.create(rows, carried + result.cols, CV_64F);
        for (int i = 0; i < rows; ++i) {
            std::copy_n(kept.ptr<double>(i), carried, joined.ptr<double>(i));
            if (result.cols > 0)
                std::copy_n(result.ptr<double>(i), result.cols, joined.ptr<double>(i) + carried);
        }
    }

    std::vector<char> checks(size_t(rows), 1);
    for (int i = 0; i < rows; ++i)
        if (ownRow[size_t(i)] >= 0)
            checks[size_t(i)] = m_checked[size_t(ownRow[size_t(i)])];
    std::map<int, TextColumn> texts;
    for (int j = 0; j < carried; ++j) {
        const TextColumn *from = source.textColumn(origin.carried[size_t(j)]);
        if (!from)
            continue;
        const TextColumn *own = textColumn(j);
        TextColumn &to = texts[j];
        to.texts = from->texts;
        to.cells.assign(size_t(rows), -1);
        for (int i = 0; i < rows; ++i) {
            const int s = sourceRow[size_t(i)];
            const int r = ownRow[size_t(i)];
            if (s >= 0 && size_t(s) < from->cells.size())
                to.cells[size_t(i)] = from->cells[size_t(s)];
            else if (s < 0 && own && size_t(r) < own->cells.size())
                to.cells[size_t(i)] = own->cells[size_t(r)];
        }
    }

    Origin followed{origin.inputs, origin.carried, std::move(sourceRow)};
    beginResetModel();
    adoptMatrix(joined);
    m_checked = std::move(checks);
    m_texts = std::move(texts);
    m_carried = record ? carried : 0;
    m_origin = std::move(followed);
    endResetModel();
    return mine;
}

void TTableModel::adoptRecordOrigin(const std::optional<std::array<QString, 3>> &written)
{
    m_origin.reset();
    const MethodRecord *record = method();
    if (!written || !record)
        return;
    Origin origin;
    if (!parseOrigin((*written)[0], (*written)[1], (*written)[2], rowCount(), &origin))
        return;
    if (int(origin.inputs.size()) != record->inputCount || int(origin.carried.size()) != m_carried)
        return;
    m_origin = std::move(origin);
}

bool TTableModel::originFits(const TTableModel &source) const
{
    if (!m_origin)
        return true;
    const int columns = source.width();
    const auto outside = [columns](int c) { return c < 0 || c >= columns; };
    const int rows = source.rowCount();
    return std::none_of(m_origin->inputs.begin(), m_origin->inputs.end(), outside)
           && std::none_of(m_origin->carried.begin(), m_origin->carried.end(), outside)
           && std::all_of(m_origin->rows.begin(), m_origin->rows.end(), [rows](int r) { return r < rows; });
}
