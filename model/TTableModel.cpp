#include "TTableModel.h"

#include "BoundedDevice.h"
#include "CsvImport.h"
#include "CustomFunctions.h"
#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "ValueRows.h"
#include "Verdicts.h"

#include <QCoreApplication>
#include <QMetaType>

#include <cmath>

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <numeric>

namespace {

// The light grey of the toolkit's colour list behind the row numbers. QColor
// belongs to QtGui, which this library does not link: under a GUI application
// object (every program that shows a view) the colour is made through the
// meta-type system; elsewhere the cell gives the colour's number.
QVariant rowNumberBackground()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (!application || !application->inherits("QGuiApplication"))
        return QVariant::fromValue(Qt::lightGray);
    static const QVariant color = [] {
        QVariant c(QStringLiteral("#c0c0c0")); // Qt::lightGray
        c.convert(QMetaType(QMetaType::QColor));
        return c;
    }();
    return color;
}

// The tint of a cell that held no number in its file.
QVariant unreadBackground()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (!application || !application->inherits("QGuiApplication"))
        return QVariant::fromValue(Qt::yellow);
    static const QVariant color = [] {
        QVariant c(QStringLiteral("#ffd8a8"));
        c.convert(QMetaType(QMetaType::QColor));
        return c;
    }();
    return color;
}

qint64 unreadKey(qsizetype row, int column)
{
    return (qint64(row) << 32) | quint32(column);
}

// Reads the device into *text, after what it holds, until `lines` lines have
// come or the device ends; returns the lines that came. What the device says
// it holds (bounded by the project reader for an entry) is read straight into
// one buffer, a few megabytes at a time. *tooBig when the text would take more
// than memoryLimit bytes (-1: no limit). When *fieldTooLong is given, reading
// stops too, and it is set, once a field (the text between ";" and line ends)
// is longer than longestField bytes.
qsizetype readLines(QIODevice *device, qsizetype lines, qint64 memoryLimit, QByteArray *text, bool *tooBig,
                    qsizetype longestField = 0, bool *fieldTooLong = nullptr)
{
    *tooBig = false;
    if (fieldTooLong)
        *fieldTooLong = false;
    qsizetype field = 0; // bytes of the field begun
    const qint64 expected = device->bytesAvailable();
    if (expected > 0 && (memoryLimit < 0 || expected < memoryLimit))
        text->reserve(text->size() + qsizetype(expected) + 1);
    constexpr qint64 step = qint64(4) << 20;
    qsizetype count = 0;
    while (count < lines) {
        const qsizetype start = text->size();
        // A block as big as what is left (and one byte to see the end), so
        // that a small entry takes a small buffer.
        const qsizetype block = qsizetype(std::clamp<qint64>(device->bytesAvailable() + 1, 4096, step));
        text->resize(start + block);
        const qint64 got = device->read(text->data() + start, block);
        text->resize(start + qMax<qint64>(got, 0));
        if (got <= 0)
            break;
        const char *end = text->constData() + text->size();
        for (const char *p = text->constData() + start;
             (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p) {
            if (++count == lines) {
                text->truncate(p - text->constData() + 1);
                end = p + 1;
                break;
            }
        }
        if (fieldTooLong) {
            for (const char *p = text->constData() + start; p < end && field <= longestField; ++p)
                field = *p == ';' || *p == '\n' ? 0 : field + 1;
            if (field > longestField) {
                *fieldTooLong = true;
                break;
            }
        }
        if (memoryLimit >= 0 && text->size() > memoryLimit) {
            *tooBig = true;
            break;
        }
    }
    return count;
}

// A field of a project entry: a value takes at most 24 characters.
constexpr qsizetype longestEntryField = 4096;

// Reads the device to its end.
void drain(QIODevice *device)
{
    char scratch[16384];
    while (device->read(scratch, sizeof scratch) > 0) {
    }
}

// Fields of the line [begin, end) without its line end: none in an empty line.
qint64 fieldCount(const char *begin, const char *end)
{
    if (end > begin && end[-1] == '\r')
        --end;
    return end == begin ? 0 : std::count(begin, end, ';') + 1;
}

// a * b + c for sizes from 0 up, the largest qint64 when it would overflow.
qint64 saturated(qint64 a, qint64 b, qint64 c)
{
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    if (a != 0 && b > (most - c) / a)
        return most;
    return a * b + c;
}

} // namespace

TTableModel::TTableModel(QObject *parent)
    : TTableModel(SourceDataType, parent)
{
}

TTableModel::TTableModel(qint32 type, QObject *parent)
    : QAbstractTableModel(parent)
    , m_type(type)
{
}

TTableModel::TTableModel(std::nullptr_t)
    : TTableModel(SourceDataType, nullptr)
{
}

TTableModel::TTableModel(const TTableModel *other)
    : QAbstractTableModel(nullptr)
    , m_type(other ? other->m_type : SourceDataType)
{
    if (other)
        copyFrom(*other);
}

void TTableModel::copyFrom(const TTableModel &other)
{
    m_values = other.m_values; // shared until either table writes
    m_rowLength = other.m_rowLength;
    m_rowStarts = other.m_rowStarts;
    m_checked = other.m_checked;
    m_type = other.m_type;
    m_headers = other.m_headers;
    m_customFunction = other.m_customFunction;
    m_title = other.m_title;
    m_unread = other.m_unread;
    m_texts = other.m_texts;
    m_carried = other.m_carried;
    m_origin = other.m_origin;
}

const MethodRecord *TTableModel::method() const
{
    return isRegisteredMethod(m_type) ? &MethodCatalog[size_t(m_type)] : nullptr;
}

const CustomFunctionRecord *TTableModel::userFunction() const
{
    return m_customFunction != 0 ? customFunction(m_customFunction) : nullptr;
}

bool TTableModel::isFormula() const
{
    const MethodRecord *record = method();
    return record && record->kind == Formula;
}

int TTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_checked.size());
}

int TTableModel::columnCount(const QModelIndex &parent) const
{
    // A result table has its method's columns even without rows, a source
    // table those its header names; with no column at all there is not even
    // "č.".
    if (const MethodRecord *record = method())
        return 1 + m_carried + int(record->columns.size());
    if (parent.isValid())
        return 0;
    return width() == 0 && m_checked.empty() && !userFunction() ? 0 : 1 + width();
}

int TTableModel::width() const
{
    if (const MethodRecord *record = method())
        return m_carried + int(record->columns.size());
    // A user function's table keeps the function's columns without rows too.
    if (m_checked.empty())
        if (const CustomFunctionRecord *function = userFunction())
            return int(function->columns.size());
    // A source table without rows (a template to type measurements into)
    // has the columns its header names.
    return m_checked.empty() ? int(m_headers.size()) : rowLength(0);
}

bool TTableModel::isRowChecked(int row) const
{
    return row >= 0 && size_t(row) < m_checked.size() && m_checked[size_t(row)];
}

int TTableModel::rowLength(int row) const
{
    if (row < 0 || size_t(row) >= m_checked.size())
        return 0;
    if (m_rowStarts.empty())
        return m_rowLength;
    return int(m_rowStarts[size_t(row) + 1] - m_rowStarts[size_t(row)]);
}

double *TTableModel::writableValues()
{
    if (m_values.u && m_values.u->refcount > 1)
        m_values = m_values.clone();
    return reinterpret_cast<double *>(m_values.data);
}

double TTableModel::value(int row, int column) const
{
    if (column < 0 || column >= rowLength(row))
        return 0.0;
    return rowData(row)[column];
}

QString TTableModel::columnName(int column) const
{
    return headerData(column + 1, Qt::Horizontal, Qt::DisplayRole).toString();
}

ColumnKind TTableModel::columnKind(int column) const
{
    return isTextColumn(column) ? ColumnKind::Text : ColumnKind::Number;
}

const TextColumn *TTableModel::textColumn(int column) const
{
    const auto it = m_texts.find(column);
    return it == m_texts.end() ? nullptr : &it->second;
}

bool TTableModel::isMissing(int row, int column) const
{
    if (const TextColumn *texts = textColumn(column))
        return row < 0 || size_t(row) >= texts->cells.size() || texts->cells[size_t(row)] < 0;
    return column < 0 || column >= rowLength(row) || std::isnan(rowData(row)[column]);
}

bool TTableModel::isVerdictColumn(int column) const
{
    return column >= m_carried && ::isVerdictColumn(m_type, column - m_carried);
}

QString TTableModel::verdictText(int row, int column) const
{
    if (!isVerdictColumn(column) || row < 0 || row >= rowCount())
        return QString();
    return ::verdictText(m_type, column - m_carried, rowData(row) + m_carried, rowLength(row) - m_carried);
}

bool TTableModel::isTinted(int row, int column) const
{
    if (isUnread(row, column))
        return true;
    return !isTextColumn(column) && column >= 0 && column < rowLength(row) && std::isnan(rowData(row)[column]);
}

QString TTableModel::cellText(int row, int column) const
{
    if (const TextColumn *texts = textColumn(column))
        return texts->text(row);
    if (isMissing(row, column))
        return QString();
    return QString::fromLatin1(formatValue(rowData(row)[column], NumberDigits::Six));
}

QVariant TTableModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    const int column = index.column();
    if (!index.isValid() || row >= rowCount() || column >= columnCount())
        return QVariant();
    switch (role) {
    case Qt::TextAlignmentRole:
        // Texts read from the left, numbers line up on the right.
        return column > 0 && isTextColumn(column - 1) ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight);
    case Qt::DisplayRole: {
        if (column == 0)
            return row + 1;
        const int dataColumn = column - 1;
        if (isVerdictColumn(dataColumn))
            return verdictText(row, dataColumn);
        if (const TextColumn *texts = textColumn(dataColumn))
            return texts->text(row);
        if (dataColumn < rowLength(row) && !std::isnan(rowData(row)[dataColumn]))
            return rowData(row)[dataColumn];
        return QVariant();
    }
    case Qt::BackgroundRole:
        if (column == 0)
            return rowNumberBackground();
        return isTinted(row, column - 1) ? unreadBackground() : QVariant();
    case Qt::ToolTipRole: {
        if (column == 0 || !isTinted(row, column - 1))
            return QVariant();
        const int dataColumn = column - 1;
        if (!isUnread(row, dataColumn))
            return QStringLiteral("Hodnota chybí.");
        const QString held = m_unread.value(unreadKey(row, dataColumn));
        // Projects of older versions kept such a field as 0.
        if (!isMissing(row, dataColumn))
            return held.isEmpty() ? QStringLiteral("V souboru bylo prázdné pole, počítá se s 0.")
                                  : QStringLiteral("V souboru stálo „%1“, což není číslo; počítá se s 0.").arg(held);
        return QStringLiteral("V souboru stálo „%1“, což není číslo; hodnota chybí.").arg(held);
    }
    case Qt::EditRole:
        // What an editor starts from: the cell as text, the whole number.
        if (column == 0 || !isEditable(row, column - 1))
            return QVariant();
        if (isTextColumn(column - 1) || isMissing(row, column - 1))
            return cellText(row, column - 1);
        return QString::fromLatin1(formatValue(rowData(row)[column - 1], NumberDigits::Full));
    case Qt::CheckStateRole:
        if (column != 0 || isFormula())
            return QVariant();
        return m_checked[size_t(row)] ? int(Qt::Checked) : int(Qt::Unchecked);
    default:
        return QVariant();
    }
}

bool TTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // Text typed into a cell of a source table; refused with its reason when
    // the column takes no such text.
    if (role == Qt::EditRole && index.isValid() && index.model() == this && index.column() > 0
        && isEditable(index.row(), index.column() - 1)) {
        const int row = index.row();
        const int column = index.column() - 1;
        Cell typed;
        if (!cellFromText(row, column, value.toString(), &typed, &m_editError))
            return false;
        m_editError.clear();
        Cell before = cell(row, column);
        if (column >= rowLength(row))
            before.reshapedFrom = std::make_shared<const TTableModel>(this);
        restoreCell(row, column, typed);
        emit cellEdited(row, column, before);
        return true;
    }
    // Every other call reports success; only a check mark of the row-number
    // column changes anything. A formula result shows no check boxes, so its
    // rows cannot be unchecked unseen either.
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || index.row() >= rowCount()
        || isFormula())
        return true;
    const bool checked = value.toInt() == Qt::Checked;
    m_checked[size_t(index.row())] = checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit checksChanged();
    emit rowCheckChanged(index.row(), checked);
    return true;
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0)
        return QVariant();
    if (section == 0)
        return QStringLiteral("č.");
    const int column = section - 1;
    if (const MethodRecord *record = method()) {
        if (column < m_carried)
            return column < m_headers.size() ? m_headers.at(column) : QString();
        return column - m_carried < record->columns.size() ? QVariant(record->columns.at(column - m_carried))
                                                          : QVariant();
    }
    if (column < m_headers.size())
        return m_headers.at(column);
    // A data column that the header row did not name.
    return column < width() ? QVariant(QString()) : QVariant();
}

bool TTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    // Only the columns of a source table take new names; every call reports success.
    if (orientation != Qt::Horizontal || m_type != SourceDataType || section < 1 || role != Qt::DisplayRole)
        return true;
    const int column = section - 1;
    if (column >= std::max(width(), int(m_headers.size())))
        return true;
    while (m_headers.size() <= column)
        m_headers.append(QString());
    m_headers[column] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

Qt::ItemFlags TTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isFormula())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0 && isEditable(index.row(), index.column() - 1))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
}

cv::Mat TTableModel::checkedMatrix() const
{
    const int columns = width();
    const int rows = int(std::count(m_checked.begin(), m_checked.end(), char(1)));
    cv::Mat matrix(rows, columns, CV_64F);
    if (rows == int(m_checked.size()) && m_rowStarts.empty() && m_rowLength == columns) {
        // Every row checked and exactly as wide as the table: one block.
        if (rows > 0 && columns > 0)
            std::memcpy(matrix.data, m_values.data, size_t(rows) * size_t(columns) * sizeof(double));
        return matrix;
    }
    int k = 0;
    for (size_t r = 0; r < m_checked.size(); ++r) {
        if (!m_checked[r])
            continue;
        const int length = std::min(rowLength(int(r)), columns);
        double *out = matrix.ptr<double>(k++);
        if (length > 0)
            std::memcpy(out, rowData(int(r)), size_t(length) * sizeof(double));
        std::fill(out + std::max(length, 0), out + columns, 0.0);
    }
    return matrix;
}

cv::Mat TTableModel::checkedColumns(const std::vector<int> &columns) const
{
    const int n = int(columns.size());
    const int available = width();
    const int rows = int(std::count(m_checked.begin(), m_checked.end(), char(1)));
    cv::Mat matrix(rows, n, CV_64F);
    double *out = reinterpret_cast<double *>(matrix.data);
    const double *values = reinterpret_cast<const double *>(m_values.data);
    if (m_rowStarts.empty()) {
        // Rows of one length: whether a column is there is the same for all.
        const int length = std::min(m_rowLength, available);
        std::vector<char> present(static_cast<size_t>(n));
        bool all = true;
        for (int j = 0; j < n; ++j) {
            present[size_t(j)] = columns[size_t(j)] >= 0 && columns[size_t(j)] < length;
            all = all && present[size_t(j)];
        }
        const int *column = columns.data();
        for (size_t r = 0; r < m_checked.size(); ++r) {
            if (!m_checked[r])
                continue;
            const double *in = values + qsizetype(r) * m_rowLength;
            if (all) {
                for (int j = 0; j < n; ++j)
                    out[j] = in[column[j]];
            } else {
                for (int j = 0; j < n; ++j)
                    out[j] = present[size_t(j)] ? in[column[j]] : 0.0;
            }
            out += n;
        }
        return matrix;
    }
    for (size_t r = 0; r < m_checked.size(); ++r) {
        if (!m_checked[r])
            continue;
        const double *in = values + m_rowStarts[r];
        const qsizetype length = std::min<qsizetype>(m_rowStarts[r + 1] - m_rowStarts[r], available);
        for (int j = 0; j < n; ++j) {
            const int c = columns[size_t(j)];
            *out++ = c >= 0 && c < length ? in[c] : 0.0;
        }
    }
    return matrix;
}

void TTableModel::adoptMatrix(const cv::Mat &matrix)
{
    CV_Assert(matrix.total() == 0 || (matrix.type() == CV_64F && matrix.dims <= 2 && matrix.isContinuous()));
    const int rows = std::max(matrix.rows, 0);
    m_values = matrix.total() > 0 ? matrix : cv::Mat();
    m_rowLength = std::max(matrix.cols, 0);
    std::vector<qsizetype>().swap(m_rowStarts);
    m_unread.clear(); // the values are no longer those of the file
    m_texts.clear();
    m_carried = 0;
    // A fresh vector: fewer rows must not keep the memory of more.
    std::vector<char>(size_t(rows), 1).swap(m_checked);
}

void TTableModel::setMatrix(const cv::Mat &matrix)
{
    // The table keeps a copy of its own: the caller's matrix stays the caller's.
    cv::Mat own;
    const cv::Mat single = matrix.channels() == 1 ? matrix : matrix.reshape(1);
    if (single.type() == CV_64F)
        own = single.clone();
    else
        single.convertTo(own, CV_64F);
    if (own.dims > 2)
        own = own.reshape(1, int(own.total()));
    beginResetModel();
    adoptMatrix(own);
    endResetModel();
}

int TTableModel::inputCount() const
{
    if (const MethodRecord *record = method())
        return record->inputCount;
    if (const CustomFunctionRecord *function = userFunction())
        return function->inputCount;
    return width();
}

void TTableModel::compute(const MethodRecord &record, const std::vector<int> &columns,
                          const std::vector<int> &carried)
{
    if (carried.empty()) {
        adoptResult(computeResult(record, checkedColumns(columns)));
        return;
    }
    // The carried columns are taken before the result replaces the table.
    const TTableModel source(this);
    QStringList names;
    for (int column : carried)
        names.append(source.columnName(column));
    adoptResult(computeResult(record, checkedColumns(columns)));
    prependCarried(source, carried);
    m_headers = names;
}

void TTableModel::prependCarried(const TTableModel &source, const std::vector<int> &carried)
{
    const cv::Mat kept = source.checkedColumns(carried);
    const int n = int(carried.size());
    const int rows = kept.rows;
    const int length = m_rowStarts.empty() ? m_rowLength : -1;
    CV_Assert(length >= 0 && rows == rowCount());
    cv::Mat joined(rows, n + length, CV_64F);
    for (int r = 0; r < rows; ++r) {
        double *out = joined.ptr<double>(r);
        std::copy_n(kept.ptr<double>(r), n, out);
        if (length > 0)
            std::copy_n(rowData(r), length, out + n);
    }
    const std::vector<int> checkedRows = source.checkedRowList();
    std::map<int, TextColumn> texts;
    for (int j = 0; j < n; ++j) {
        const TextColumn *from = source.textColumn(carried[size_t(j)]);
        if (!from)
            continue;
        TextColumn &to = texts[j];
        to.texts = from->texts;
        to.cells.reserve(checkedRows.size());
        for (int r : checkedRows)
            to.cells.push_back(size_t(r) < from->cells.size() ? from->cells[size_t(r)] : -1);
    }
    adoptMatrix(joined);
    m_texts = std::move(texts);
    m_carried = n;
}

void TTableModel::adoptResult(cv::Mat result)
{
    // A routine's result is fresh and continuous; passThrough hands back its
    // input, which is fresh too.
    if (!result.isContinuous() || result.type() != CV_64F) {
        cv::Mat continuous;
        result.convertTo(continuous, CV_64F);
        result = continuous;
    }
    adoptMatrix(result);
}

TTableModel::RowChange TTableModel::appendRows(const QList<QList<double>> &givenRows, const QList<QStringList> &texts)
{
    if (givenRows.isEmpty())
        return {};
    RowChange change;
    change.added = int(givenRows.size());
    // A result's new rows give its method's inputs: the carried columns come
    // first, missing. The cells of a text column are missing too.
    QList<QList<double>> padded;
    if ((method() && m_carried > 0) || !m_texts.empty()) {
        const double missing = std::numeric_limits<double>::quiet_NaN();
        padded.reserve(givenRows.size());
        for (QList<double> row : givenRows) {
            if (method() && m_carried > 0)
                row = QList<double>(m_carried, missing) + row;
            for (const auto &[column, texts] : m_texts)
                if (column < row.size())
                    row[column] = missing;
            padded.append(std::move(row));
        }
    }
    const QList<QList<double>> &rows = padded.isEmpty() ? givenRows : padded;
    for (auto &[column, texts] : m_texts)
        texts.cells.resize(m_checked.size() + size_t(rows.size()), -1);
    auto append = [&] {
        const int oldRows = rowCount();
        const qsizetype oldValues = qsizetype(m_values.total());
        qsizetype added = 0;
        // Rows keep one length as long as every new row has the table's (or,
        // in an empty table, the first new row's).
        const int length = oldRows > 0 ? m_rowLength : int(rows.first().size());
        bool even = oldRows == 0 || m_rowStarts.empty();
        for (const QList<double> &row : rows) {
            added += row.size();
            even = even && row.size() == length;
        }
        cv::Mat values;
        if (oldValues + added > 0) {
            values.create(1, int(oldValues + added), CV_64F);
            double *out = reinterpret_cast<double *>(values.data);
            if (oldValues > 0)
                std::memcpy(out, m_values.data, size_t(oldValues) * sizeof(double));
            out += oldValues;
            for (const QList<double> &row : rows)
                out = std::copy(row.begin(), row.end(), out);
        }
        if (!even) {
            if (m_rowStarts.empty()) {
                m_rowStarts.resize(size_t(oldRows) + 1);
                for (int r = 0; r <= oldRows; ++r)
                    m_rowStarts[size_t(r)] = qsizetype(r) * m_rowLength;
            }
            for (const QList<double> &row : rows)
                m_rowStarts.push_back(m_rowStarts.back() + row.size());
        } else {
            m_rowLength = length;
        }
        m_values = values;
        m_checked.insert(m_checked.end(), size_t(rows.size()), 1);
    };
    // A result table is computed anew (a user function's by that function),
    // and the first rows of a source table give it its columns: the views
    // start over. Otherwise rows come after rows.
    const MethodRecord *record = method();
    const CustomFunctionRecord *function = record ? nullptr : userFunction();
    if (record || function || m_checked.empty()) {
        // A result keeps only its checked rows.
        if (record || function)
            for (size_t r = 0; r < m_checked.size(); ++r)
                if (!m_checked[r])
                    change.removed.push_back(int(r));
        if (m_origin && (record || function)) {
            // Only the checked rows stay; the typed rows come from no source row.
            std::vector<int> rowsFrom;
            for (size_t r = 0; r < m_checked.size() && r < m_origin->rows.size(); ++r)
                if (m_checked[r])
                    rowsFrom.push_back(m_origin->rows[r]);
            rowsFrom.insert(rowsFrom.end(), size_t(rows.size()), -1);
            m_origin->rows = std::move(rowsFrom);
        }
        beginResetModel();
        append();
        if (record && record->compute) {
            std::vector<int> inputs(size_t(record->inputCount));
            std::iota(inputs.begin(), inputs.end(), m_carried);
            std::vector<int> carried(static_cast<size_t>(m_carried));
            std::iota(carried.begin(), carried.end(), 0);
            const QStringList names = m_headers;
            compute(*record, inputs, carried);
            m_headers = names;
        } else if (function) {
            std::vector<int> inputs(size_t(function->inputCount));
            std::iota(inputs.begin(), inputs.end(), 0);
            adoptResult(computeCustomResult(*function, checkedColumns(inputs)));
        }
        endResetModel();
    } else {
        beginInsertRows(QModelIndex(), rowCount(), rowCount() + int(rows.size()) - 1);
        append();
        endInsertRows();
    }
    if (!method() && !userFunction() && !texts.isEmpty()) {
        const int first = rowCount() - int(givenRows.size());
        for (auto &[column, own] : m_texts) {
            for (qsizetype i = 0; i < texts.size() && i < givenRows.size(); ++i) {
                const QString text = texts[i].value(column).trimmed();
                if (text.isEmpty())
                    continue;
                qsizetype at = own.texts.indexOf(text);
                if (at < 0) {
                    at = own.texts.size();
                    own.texts.append(text);
                }
                own.cells[size_t(first + i)] = qint32(at);
            }
        }
        emit dataChanged(index(first, 1), index(rowCount() - 1, columnCount() - 1));
    }
    return change;
}

bool TTableModel::applyMethod(qint32 id, const ColumnMapper &mapColumns)
{
    std::vector<int> columns;
    return isRegisteredMethod(id) && mapColumns && mapColumns(*this, id, &columns) && applyMethod(id, columns);
}

bool TTableModel::applyMethod(qint32 id, const std::vector<int> &columns, const std::vector<int> &carried)
{
    if (!isRegisteredMethod(id))
        return false;
    const MethodRecord &record = MethodCatalog[size_t(id)];
    if (!record.compute || columns.size() != size_t(record.inputCount))
        return false;
    const int available = width();
    const auto outside = [&](int c) { return c < 0 || c >= available; };
    if (std::any_of(columns.begin(), columns.end(), outside) || std::any_of(carried.begin(), carried.end(), outside))
        return false;
    Origin origin{columns, carried, checkedRowList()};
    beginResetModel();
    compute(record, columns, carried);
    m_origin = std::move(origin);
    m_type = id;
    m_customFunction = 0;
    m_title.clear();
    endResetModel();
    return true;
}

bool TTableModel::applyCustomFunction(qint32 id, const ColumnMapper &mapColumns)
{
    std::vector<int> columns;
    return customFunction(id) && mapColumns && mapColumns(*this, id, &columns) && applyCustomFunction(id, columns);
}

bool TTableModel::applyCustomFunction(qint32 id, const std::vector<int> &columns)
{
    const CustomFunctionRecord *function = customFunction(id);
    if (!function || columns.size() != size_t(function->inputCount))
        return false;
    const int available = width();
    if (std::any_of(columns.begin(), columns.end(), [&](int c) { return c < 0 || c >= available; }))
        return false;
    // Its own table: the function's columns as headers, never the routine or
    // the width of the method whose table it was applied to.
    Origin origin{columns, {}, checkedRowList()};
    beginResetModel();
    adoptResult(computeCustomResult(*function, checkedColumns(columns)));
    m_origin = std::move(origin);
    m_type = SourceDataType;
    m_headers = function->columns;
    m_customFunction = id;
    m_title = function->title;
    endResetModel();
    return true;
}

bool TTableModel::loadCsv(const QString &path, QString *error, const CsvReadOptions &options)
{
    CsvTable table;
    if (!readCsvFile(path, options, &table, error))
        return false;
    setTable(std::move(table));
    return true;
}

void TTableModel::setTable(CsvTable table)
{
    beginResetModel();
    m_origin.reset();
    adoptMatrix(table.values);
    table.values = cv::Mat();
    m_type = SourceDataType;
    m_headers = std::move(table.headers);
    m_customFunction = 0;
    m_title.clear();
    m_texts = std::move(table.texts);
    endResetModel();
    setUnread(table.unread);
}

void TTableModel::setUnread(const QList<UnreadField> &fields)
{
    m_unread.clear();
    for (const UnreadField &field : fields)
        if (field.row >= 0 && field.row < rowCount() && field.column >= 0 && field.column < rowLength(int(field.row)))
            m_unread.insert(unreadKey(field.row, field.column), field.text);
    if (!m_unread.isEmpty())
        emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

QList<UnreadField> TTableModel::unreadFields() const
{
    QList<UnreadField> fields;
    for (auto it = m_unread.cbegin(); it != m_unread.cend(); ++it)
        fields.append({qsizetype(it.key() >> 32), int(it.key() & 0xFFFFFFFF), it.value()});
    std::sort(fields.begin(), fields.end(), [](const UnreadField &a, const UnreadField &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return fields;
}

bool TTableModel::isUnread(int row, int column) const
{
    return !m_unread.isEmpty() && m_unread.contains(unreadKey(row, column));
}

bool TTableModel::writeCsv(QIODevice *device, NumberDigits digits, QString *error) const
{
    if (!device || !device->isWritable()) {
        if (error)
            *error = QStringLiteral("Do souboru nelze zapisovat.");
        return false;
    }
    ValueRowWriter writer(device, digits);
    std::vector<double> scratch;
    for (int r = 0; r < rowCount(); ++r)
        writer.writeRow(storedRow(r, &scratch), rowLength(r));
    if (writer.flush())
        return true;
    if (error)
        *error = QStringLiteral("Zápis selhal: %1").arg(device->errorString());
    return false;
}

const double *TTableModel::storedRow(int row, std::vector<double> *scratch) const
{
    if (m_texts.empty())
        return rowData(row);
    // A text cell is the index of its text, a cell without text nan.
    scratch->assign(rowData(row), rowData(row) + rowLength(row));
    for (const auto &[column, texts] : m_texts)
        if (size_t(column) < scratch->size()) {
            const qint32 i = size_t(row) < texts.cells.size() ? texts.cells[size_t(row)] : -1;
            (*scratch)[size_t(column)] = i >= 0 ? double(i) : std::numeric_limits<double>::quiet_NaN();
        }
    return scratch->data();
}

bool TTableModel::exportCsv(QIODevice *device, bool header, NumberDigits digits, QString *error) const
{
    if (!device || !device->isWritable()) {
        if (error)
            *error = QStringLiteral("Do souboru nelze zapisovat.");
        return false;
    }
    ValueRowWriter writer(device, digits);
    writer.setMissingAsEmpty(true);
    const int columns = width();
    if (header) {
        QByteArray line;
        for (int c = 0; c < columns; ++c)
            line += (c > 0 ? ";" : "") + csvField(columnName(c));
        writer.writeLine(line);
    }
    // Verdict columns export the numbers stored in them, as they always have.
    char number[32];
    // A row without values (a table of an older project) is a row of empty
    // fields, so that the rows after it keep their place.
    const QByteArray emptyRow(std::max(width() - 1, 0), ';');
    for (int r = 0; r < rowCount(); ++r) {
        if (rowLength(r) == 0) {
            writer.writeLine(emptyRow);
            continue;
        }
        if (m_texts.empty()) {
            writer.writeRow(rowData(r), rowLength(r));
            continue;
        }
        QByteArray line;
        for (int c = 0; c < rowLength(r); ++c) {
            if (c > 0)
                line += ';';
            if (const TextColumn *texts = textColumn(c))
                line += csvField(texts->text(r));
            else if (!std::isnan(rowData(r)[c]))
                line.append(number, formatValue(number, rowData(r)[c], digits) - number);
        }
        writer.writeLine(line);
    }
    if (writer.flush())
        return true;
    if (error)
        *error = QStringLiteral("Zápis selhal: %1").arg(device->errorString());
    return false;
}

bool TTableModel::readCsv(QIODevice *device, QString *error, qint64 memoryLimit)
{
    if (!device || !device->isReadable()) {
        if (error)
            *error = QStringLiteral("Hodnoty tabulky nelze číst.");
        return false;
    }
    if (m_record)
        return readRecordRows(device, error, memoryLimit);
    const qsizetype rows = rowCount();
    if (rows == 0)
        return true;

    // Only the lines the table has rows for are read: an entry longer than its
    // record announced costs nothing more. The import dialect begins with a
    // header line, which value rows lack, so an empty one goes first.
    QByteArray text("\n");
    bool tooBig = false;
    readLines(device, rows, memoryLimit, &text, &tooBig);
    if (tooBig) {
        if (error)
            *error = QStringLiteral("Na hodnoty tabulky nestačí paměť.");
        return false;
    }
    const CsvImport entry(text);
    const qsizetype given = std::min(entry.rowCount(), rows);
    if (given == 0)
        return true;

    int longest = 0;
    bool even = true;
    for (qsizetype r = 0; r < given; ++r) {
        longest = std::max(longest, rowLength(int(r)));
        even = even && rowLength(int(r)) == rowLength(0);
    }
    std::vector<int> columns(static_cast<size_t>(longest));
    std::iota(columns.begin(), columns.end(), 0);
    // readColumns reads every line of the entry, at most `rows` of them here.
    double *values = writableValues();
    if (even) {
        // Rows of one length lie in the table as the entry's lines do.
        entry.readColumns(columns, values);
    } else {
        std::vector<double> read(size_t(entry.rowCount()) * size_t(longest));
        if (!read.empty())
            entry.readColumns(columns, read.data());
        for (qsizetype r = 0; r < given; ++r)
            std::copy_n(read.begin() + r * longest, rowLength(int(r)), values + rowStart(int(r)));
    }
    if (longest > 0)
        emit dataChanged(index(0, 1), index(int(given) - 1, columnCount() - 1), {Qt::DisplayRole});
    return true;
}

bool TTableModel::readRecordRows(QIODevice *device, QString *error, qint64 memoryLimit)
{
    const Record record = std::move(*m_record);
    m_record.reset();
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString noMemory = QStringLiteral("Na hodnoty tabulky nestačí paměť.");

    try {
        // No entry of ours is longer than its rows and columns written out;
        // past that it is no table of ours but a bomb.
        const qint64 most = CsvImport::mostBytes(record.rows, record.columns);
        BoundedDevice bounded(device, most);
        // A result's row has a value for every column of its method, 0 where
        // the entry gives none (its verdict column). What the table takes at
        // least, a check mark a row, a result's values and the text the entry
        // says it holds, must fit before a byte of it is read.
        const MethodRecord *own = method();
        const qint64 least = own ? qint64(own->columns.size()) : 0;
        const qint64 leastTable = saturated(record.rows, saturated(least, 8, 1), 0);
        if (memoryLimit >= 0 && (leastTable > memoryLimit || bounded.bytesAvailable() >= memoryLimit - leastTable))
            return refuse(noMemory);
        QByteArray text("\n"); // the empty header line of the import dialect
        bool tooBig = false;
        bool fieldTooLong = false;
        readLines(&bounded, qsizetype(record.rows), memoryLimit, &text, &tooBig, longestEntryField, &fieldTooLong);
        if (tooBig)
            return refuse(noMemory);
        // No value of ours, and no hand's text in place of one, is that long:
        // the line would be the whole entry, and its text kept all.
        if (fieldTooLong)
            return refuse(QStringLiteral("Hodnoty tabulky mají pole delší než %1 bajtů.").arg(longestEntryField));
        // Surplus lines are read past too: the whole entry is read, so that
        // the archive can check it.
        drain(&bounded);
        if (bounded.exceeded())
            return refuse(QStringLiteral("Hodnoty tabulky jsou delší, než může být %1 řádků po %2 hodnotách.")
                              .arg(record.rows)
                              .arg(record.columns));

        // The rows as their lines give them, counted before anything is
        // allocated for them, and the lines that hold no value.
        const char *const data = text.constData();
        const char *const end = data + text.size();
        qsizetype given = 0;
        qint64 blank = 0;
        qint64 values = 0;
        qint64 first = 0;
        bool even = true;
        for (const char *p = data + 1; p < end && given < record.rows; ++given) {
            const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            const char *lineEnd = lf ? lf : end;
            const qint64 held = fieldCount(p, lineEnd);
            blank += held == 0 ? 1 : 0;
            const qint64 fields = std::max(held, least);
            if (fields > INT_MAX)
                return refuse(QStringLiteral("Řádek %1 hodnot tabulky má víc polí, než program pojme.").arg(given + 1));
            if (given == 0)
                first = fields;
            even = even && fields == first;
            values += fields;
            p = lf ? lf + 1 : end;
        }
        // Older versions wrote nothing at all for a row without values, so an
        // entry may lack lines; the rows it lacks come last, with no values
        // of their own.
        // More of them than the entry has bytes (and a little) is no table of
        // ours, and would cost memory the file does not hold.
        const qsizetype rows = qsizetype(record.rows);
        if (rows - given > text.size() - 1 + 4096)
            return refuse(QStringLiteral("Hodnoty tabulky jsou jen na %1 z %2 řádků.").arg(given).arg(record.rows));
        if (given == 0)
            first = least;
        even = even && (given == rows || first == least);
        values += (rows - given) * least;
        if (!even && values > INT_MAX)
            return refuse(QStringLiteral("Tabulka má víc hodnot, než program pojme."));
        if (blank + (rows - given) > MaxRowsWithoutValues)
            return refuse(QStringLiteral("Tabulka má %1 řádků bez hodnot; projekt jich může mít nejvýše %2.")
                              .arg(blank + (rows - given))
                              .arg(MaxRowsWithoutValues));
        const qint64 table = saturated(values, 8, rows) + (even ? 0 : saturated(rows + 1, 8, 0));
        if (memoryLimit >= 0 && (table > memoryLimit || text.size() > memoryLimit - table))
            return refuse(noMemory);

        cv::Mat block;
        if (values > 0)
            block.create(even ? int(rows) : 1, even ? int(first) : int(values), CV_64F);
        double *out = reinterpret_cast<double *>(block.data);
        std::vector<qsizetype> starts;
        if (!even) {
            starts.reserve(size_t(rows) + 1);
            starts.push_back(0);
            for (const char *p = data + 1; qsizetype(starts.size()) <= given;) {
                const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
                starts.push_back(starts.back() + fieldCount(p, lf ? lf : end));
                p = lf ? lf + 1 : end;
            }
            while (qsizetype(starts.size()) <= rows)
                starts.push_back(starts.back() + least);
        }
        const CsvImport entry(text);
        CsvImport::Position position;
        // A field that holds something other than a number is missing, and
        // listed with what it held, as such a field of a file people send is.
        QList<UnreadField> texts;
        // Runs of rows of one length are read in one go, straight into place.
        for (qsizetype r = 0; out && r < given;) {
            const qsizetype length = even ? first : starts[size_t(r) + 1] - starts[size_t(r)];
            qsizetype next = r + 1;
            while (next < given && (even || starts[size_t(next) + 1] - starts[size_t(next)] == length))
                ++next;
            std::vector<int> columns(static_cast<size_t>(length));
            std::iota(columns.begin(), columns.end(), 0);
            double *rowsOut = out + (even ? r * length : starts[size_t(r)]);
            const qsizetype listed = texts.size();
            const qsizetype read = entry.readColumns(columns, rowsOut, next - r, &position, &texts, MaxEntryTexts + 1);
            if (texts.size() > MaxEntryTexts)
                return refuse(
                    QStringLiteral("Hodnoty tabulky mají víc než %1 polí, která nejsou čísla.").arg(MaxEntryTexts));
            for (qsizetype k = listed; k < texts.size(); ++k)
                rowsOut[(texts[k].row - r) * length + texts[k].column] = std::numeric_limits<double>::quiet_NaN();
            std::fill(rowsOut + read * length, rowsOut + (next - r) * length, 0.0);
            r = next;
        }
        if (out && given < rows) {
            const qsizetype from = even ? given * first : starts[size_t(given)];
            std::fill(out + from, out + values, 0.0);
        }

        std::vector<char> checked(size_t(rows), 0);
        for (qsizetype r = 0; r < std::min<qsizetype>(record.checks.size(), rows); ++r)
            checked[size_t(r)] = record.checks[r] == u'1';

        beginResetModel();
        m_values = block;
        m_rowLength = even ? int(first) : 0;
        m_rowStarts.swap(starts);
        m_checked.swap(checked);
        // A text column's cells hold the index of their text.
        for (const auto &[column, texts] : record.texts) {
            TextColumn &kept = m_texts[column];
            kept.texts = texts;
            kept.cells.assign(size_t(rows), -1);
            for (qsizetype r = 0; r < rows; ++r) {
                if (column >= rowLength(int(r)))
                    continue;
                double &cell = reinterpret_cast<double *>(m_values.data)[rowStart(int(r)) + column];
                if (cell >= 0 && cell < double(texts.size()) && cell == std::floor(cell))
                    kept.cells[size_t(r)] = qint32(cell);
                cell = std::numeric_limits<double>::quiet_NaN();
            }
        }
        adoptRecordOrigin(record.origin);
        endResetModel();
        texts.append(record.unread);
        setUnread(texts); // only fields inside the table count
        return true;
    } catch (const std::bad_alloc &) {
        return refuse(noMemory);
    } catch (const cv::Exception &) {
        return refuse(noMemory);
    }
}
