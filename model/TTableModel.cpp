#include "TTableModel.h"

#include "CsvImport.h"
#include "CustomFunctions.h"
#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "ValueRows.h"
#include "Verdicts.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaType>

#include <algorithm>
#include <cstring>
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
    if (other) {
        m_values = other->m_values; // shared until either table writes
        m_rowLength = other->m_rowLength;
        m_rowStarts = other->m_rowStarts;
        m_checked = other->m_checked;
        m_headers = other->m_headers;
        m_customFunction = other->m_customFunction;
        m_title = other->m_title;
        m_unread = other->m_unread;
    }
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
    // A result table has its method's columns even without rows; a source
    // table without rows has none at all, not even "č.".
    if (const MethodRecord *record = method())
        return 1 + int(record->columns.size());
    if (parent.isValid())
        return 0;
    return m_checked.empty() && !userFunction() ? 0 : 1 + width();
}

int TTableModel::width() const
{
    if (const MethodRecord *record = method())
        return int(record->columns.size());
    // A user function's table keeps the function's columns without rows too.
    if (m_checked.empty())
        if (const CustomFunctionRecord *function = userFunction())
            return int(function->columns.size());
    return m_checked.empty() ? 0 : rowLength(0);
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

QVariant TTableModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    const int column = index.column();
    if (!index.isValid() || row >= rowCount() || column >= columnCount())
        return QVariant();
    switch (role) {
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight);
    case Qt::DisplayRole: {
        if (column == 0)
            return row + 1;
        const int dataColumn = column - 1;
        if (isVerdictColumn(m_type, dataColumn))
            return verdictText(m_type, dataColumn, rowData(row), rowLength(row));
        if (dataColumn < rowLength(row))
            return rowData(row)[dataColumn];
        return QVariant();
    }
    case Qt::BackgroundRole:
        if (column == 0)
            return rowNumberBackground();
        return isUnread(row, column - 1) ? unreadBackground() : QVariant();
    case Qt::ToolTipRole: {
        if (column == 0 || !isUnread(row, column - 1))
            return QVariant();
        const QString held = m_unread.value(unreadKey(row, column - 1));
        return held.isEmpty() ? QStringLiteral("V souboru bylo prázdné pole, počítá se s 0.")
                              : QStringLiteral("V souboru stálo „%1“, což není číslo; počítá se s 0.").arg(held);
    }
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
    // Every call reports success; only a check mark of the row-number column
    // changes anything. A formula result shows no check boxes, so its rows
    // cannot be unchecked unseen either.
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || index.row() >= rowCount()
        || isFormula())
        return true;
    m_checked[size_t(index.row())] = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit checksChanged();
    return true;
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0)
        return QVariant();
    if (section == 0)
        return QStringLiteral("č.");
    const int column = section - 1;
    if (const MethodRecord *record = method())
        return column < record->columns.size() ? QVariant(record->columns.at(column)) : QVariant();
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
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
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

void TTableModel::compute(const MethodRecord &record, const std::vector<int> &columns)
{
    adoptResult(computeResult(record, checkedColumns(columns)));
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

void TTableModel::appendRows(const QList<QList<double>> &rows)
{
    if (rows.isEmpty())
        return;
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
        beginResetModel();
        append();
        if (record && record->compute) {
            std::vector<int> inputs(size_t(record->inputCount));
            std::iota(inputs.begin(), inputs.end(), 0);
            compute(*record, inputs);
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
}

bool TTableModel::applyMethod(qint32 id, const ColumnMapper &mapColumns)
{
    if (!isRegisteredMethod(id) || !mapColumns)
        return false;
    std::vector<int> columns;
    if (!mapColumns(*this, id, &columns))
        return false;
    return applyMethod(id, columns);
}

bool TTableModel::applyMethod(qint32 id, const std::vector<int> &columns)
{
    if (!isRegisteredMethod(id))
        return false;
    const MethodRecord &record = MethodCatalog[size_t(id)];
    if (!record.compute || columns.size() != size_t(record.inputCount))
        return false;
    const int available = width();
    if (std::any_of(columns.begin(), columns.end(), [&](int c) { return c < 0 || c >= available; }))
        return false;
    beginResetModel();
    compute(record, columns);
    m_type = id;
    m_customFunction = 0;
    m_title.clear();
    endResetModel();
    return true;
}

bool TTableModel::applyCustomFunction(qint32 id, const ColumnMapper &mapColumns)
{
    if (!customFunction(id) || !mapColumns)
        return false;
    std::vector<int> columns;
    if (!mapColumns(*this, id, &columns))
        return false;
    return applyCustomFunction(id, columns);
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
    beginResetModel();
    adoptResult(computeCustomResult(*function, checkedColumns(columns)));
    m_type = SourceDataType;
    m_headers = function->columns;
    m_customFunction = id;
    m_title = function->title;
    endResetModel();
    return true;
}

bool TTableModel::loadCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    const CsvImport import(bytes);
    QList<UnreadField> unread;
    const QList<QList<double>> rows = import.rows(&unread);

    beginResetModel();
    m_type = SourceDataType;
    m_headers = import.headers();
    m_values = cv::Mat();
    m_rowLength = 0;
    std::vector<qsizetype>().swap(m_rowStarts);
    std::vector<char>().swap(m_checked);
    endResetModel();
    appendRows(rows);
    setUnread(unread);
    return true;
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

bool TTableModel::writeCsv(QIODevice *device, NumberDigits digits) const
{
    if (!device || !device->isWritable())
        return false;
    ValueRowWriter writer(device, digits);
    for (int r = 0; r < rowCount(); ++r)
        writer.writeRow(rowData(r), rowLength(r));
    return writer.flush();
}

bool TTableModel::readCsv(QIODevice *device)
{
    if (!device || !device->isReadable())
        return false;
    const qsizetype rows = rowCount();
    if (rows == 0)
        return true;

    // Only the lines the table has rows for are read: an entry longer than its
    // record announced costs nothing more. The import dialect begins with a
    // header line, which value rows lack, so an empty one goes first.
    QByteArray text("\n");
    // What the device says it holds (bounded by the reader for a project
    // entry) is read straight into one buffer, a few megabytes at a time.
    const qint64 expected = device->bytesAvailable();
    if (expected > 0)
        text.reserve(qsizetype(expected) + 1);
    constexpr qsizetype step = qsizetype(4) << 20;
    qsizetype lines = 0;
    while (lines < rows) {
        const qsizetype start = text.size();
        text.resize(start + step);
        const qint64 got = device->read(text.data() + start, step);
        text.resize(start + qMax<qint64>(got, 0));
        if (got <= 0)
            break;
        const char *end = text.constData() + text.size();
        for (const char *p = text.constData() + start;
             (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p) {
            if (++lines == rows) {
                text.truncate(p - text.constData() + 1);
                break;
            }
        }
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
