#pragma once
// One table of the working set: a source table (imported from CSV or restored
// from a project) or the result of a method applied to the checked rows of
// another table. It is the item model the table view shows, it hands its
// checked rows to the compute routines and takes their results back, and it
// writes and reads itself as value rows and as a "model" record of a project.
//
// View column 0 is the row number "č."; view column c shows data column c - 1.
// Rows may differ in length (a table of an older project, the verdict columns
// that have no stored value): a cell past the end of its row shows nothing and
// feeds 0 to a method.
//
// A column holds numbers or texts. A missing number is NaN: it shows as an
// empty tinted cell, and a method gives missing outputs for a row with a
// missing input. A text column keeps each distinct text once and a text
// index per cell; its values are NaN, so a method fed one gives missing
// outputs. A result table may carry columns of its source (an identifier,
// the sex) before the method's own columns.

#include "NumberFormat.h"

#include "CsvImport.h"
#include "CsvReader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

#include <opencv2/core.hpp>

#include <cstddef>
#include <functional>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QXmlStreamReader;
class QXmlStreamWriter;
struct CustomFunctionRecord;
struct MethodRecord;

class TTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // What changed in a table's rows, for the results made from it: the rows
    // removed (ascending, as they stood before) and the rows added at its end.
    struct RowChange {
        std::vector<int> removed;
        int added = 0;
    };

    // An empty source table.
    explicit TTableModel(QObject *parent = nullptr);
    // An empty table of the given type (a method id, or SourceDataType).
    TTableModel(qint32 type, QObject *parent);
    // A copy of other's values, check marks, type and headers, without a parent.
    explicit TTableModel(const TTableModel *other);
    // TTableModel(nullptr): an empty source table without a parent (the two
    // constructors above would both take the bare null pointer).
    explicit TTableModel(std::nullptr_t);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    qint32 type() const { return m_type; }
    // Header texts of a source table, as stored (they may be fewer than its
    // columns); of a result table, those of its carried columns.
    const QStringList &headers() const { return m_headers; }
    // The header text of data column `column`, as the view shows it.
    QString columnName(int column) const;
    // Columns a result table carries from its source before the method's own.
    int carriedCount() const { return m_carried; }
    ColumnKind columnKind(int column) const;
    bool isTextColumn(int column) const { return m_texts.count(column) > 0; }
    // The texts of a text column; null for a number column.
    const TextColumn *textColumn(int column) const;
    // A column that shows its method's class of the row rather than a number,
    // and that class (empty for a missing value).
    bool isVerdictColumn(int column) const;
    QString verdictText(int row, int column) const;
    // A number cell that is NaN (or past the end of its row), a text cell without text.
    bool isMissing(int row, int column) const;
    // The cell as text: a text column's text, a number in the form of the
    // value rows (NumberDigits::Six), empty when missing.
    QString cellText(int row, int column) const;
    // Data columns: the names of the method for a result table, the length of
    // the first row for a source table (its headers while it has no rows).
    int width() const;
    bool isRowChecked(int row) const;
    // The rows with a check mark, ascending.
    std::vector<int> checkedRowList() const;
    // Stored values of a row, and one of them; 0 past the end of the row.
    int rowLength(int row) const;
    // Fields of an imported file that held no number: they are missing (NaN;
    // 0 in projects of older versions), tinted, with what the file held in
    // their tooltip.
    QList<UnreadField> unreadFields() const;
    bool isUnread(int row, int column) const;

    // The rowLength(row) stored values of a row.
    const double *rowValues(int row) const { return rowData(row); }
    // The row as a project entry stores it: a text cell as the index of its
    // text, nan for none. Points into *scratch when the table has text columns.
    const double *storedRow(int row, std::vector<double> *scratch) const;
    double value(int row, int column) const;

    // One row per checked row, width() columns; a row shorter than the table
    // gives 0 in the columns it lacks.
    cv::Mat checkedMatrix() const;
    // The matrix becomes the table, row by row, every row checked.
    void setMatrix(const cv::Mat &matrix);
    // Inputs of the table's method; every column of a source table.
    int inputCount() const;
    // Appends the rows, checked. A result table is then recomputed from its
    // checked rows, so rows unchecked before are gone afterwards. Returns
    // what changed in the rows, for the results made from the table. A
    // source table's text columns take the texts given for the rows, one list
    // per row (an empty text: missing).
    RowChange appendRows(const QList<QList<double>> &rows, const QList<QStringList> &texts = {});

    // Asks which data column of the table feeds each input of method id, in
    // input order; false when the user cancels. The main window passes one that
    // runs the column-mapping wizard.
    using ColumnMapper = std::function<bool(const TTableModel &table, qint32 id, std::vector<int> *columns)>;
    // Applies catalog method id to the checked rows: the mapped columns in
    // input order go to its routine and the result replaces the table, which
    // takes the method's type. False, and the table unchanged, when the mapper
    // is cancelled, id is no method of the catalog, or the mapping does not
    // name one existing column per input.
    bool applyMethod(qint32 id, const ColumnMapper &mapColumns);
    // carried: columns of this table that the result keeps before the
    // method's columns, in the order given.
    bool applyMethod(qint32 id, const std::vector<int> &columns, const std::vector<int> &carried = {});

    // Applies user function id (110 and up) to the checked rows as applyMethod
    // applies a method. The result is a table of its own: a source table whose
    // headers are the function's columns, saved under the function's title,
    // and recomputed by that function alone when rows are added while the
    // program runs. False, and the table unchanged, as for applyMethod.
    bool applyCustomFunction(qint32 id, const ColumnMapper &mapColumns);
    bool applyCustomFunction(qint32 id, const std::vector<int> &columns);
    // The id of the user function that made the table in this run; 0 for none.
    qint32 customFunctionId() const { return m_customFunction; }

    // Fills the table from a CSV file as readCsvTable reads it (the options
    // force what it would otherwise find from the file), every row checked;
    // the table becomes a source table. False, the table unchanged and the
    // reason in *error, when the file cannot be read.
    bool loadCsv(const QString &path, QString *error = nullptr, const CsvReadOptions &options = {});
    // The table read from a file becomes this source table, every row checked.
    void setTable(CsvTable table);
    // Writes every row, checked or not, as value rows. False, with the reason
    // in *error, when the device does not take them.
    // Project entries take every digit (NumberDigits::Full).
    // A text cell is written as the index of its text (the texts are in the
    // table's record), a missing value as nan.
    bool writeCsv(QIODevice *device, NumberDigits digits = NumberDigits::Six, QString *error = nullptr) const;
    // Writes every row for other programs: the header row first when asked,
    // ";" between fields, numbers with a decimal comma, texts as they are
    // (quoted when they hold ";", a quote or a line end), a missing value as
    // an empty field. False, with the reason in *error, as writeCsv.
    bool exportCsv(QIODevice *device, bool header, NumberDigits digits = NumberDigits::Six,
                   QString *error = nullptr) const;
    // Reads value rows into the table.
    //
    // After readXml the table takes its rows from the entry as its lines
    // arrive, each row as many values as its line has fields (the table as it
    // was written); nothing is allocated for rows the entry does not give. The
    // entry is read to its end and surplus lines are ignored. It is refused
    // when it has fewer lines than the record has rows, when it is longer than
    // the record's rows and columns could be written in, or when the table
    // would take more than memoryLimit bytes (-1: no limit of ours); and as no
    // table of ours when more than MaxRowsWithoutValues of its rows get no
    // value from their line, when a field is longer than 4096 bytes, or when
    // more than MaxEntryTexts fields hold something other than a number. The
    // table then keeps no rows. A field that holds something other than a
    // number is missing, and listed among unreadFields() with its text; an
    // empty field is 0, as it always was.
    //
    // On a table sized otherwise, line i fills row i and field j column j, as
    // far as the row reaches; what the entry does not give stays 0, and surplus
    // lines and fields are ignored.
    //
    // False, with the reason in *error, when the device cannot be read or the
    // entry is refused.
    bool readCsv(QIODevice *device, QString *error = nullptr, qint64 memoryLimit = -1);

    // Writes the table's attributes of its "model" element ("rows", "cols",
    // "name", "type", "checkedRows") and its "headers" child; the caller has
    // started the element and ends it. "cols" is the longest row: the width,
    // unless a later row of a ragged source table is longer.
    void writeXml(QXmlStreamWriter &xml) const;
    // Reads the record of the "model" element the reader stands on and returns
    // its "src". The table takes the record's type, headers and name, and no
    // rows: its rows, check marks and unread fields wait for readCsv, so that a
    // record costs nothing until the lines of its entry arrive. A record this
    // program could not have written (a size that is negative, not a number or
    // beyond an int, an unknown type) leaves the table as it was: the reader is
    // given a CustomError with a Czech message for the caller to show, and the
    // text returned is empty.
    //
    // The reader is left on the last token of the record: the start of "model",
    // or for a source table the end of "headers". When a source record has no
    // "headers", the token after the start of "model" (a nested "model" or the
    // end of this one) has already been read; *onNextToken then says so, and
    // the caller must handle that token before reading on.
    QString readXml(QXmlStreamReader &xml, bool *onNextToken = nullptr);

    // Editing a source table. A cell as it is stored, so that an edit can be
    // taken back exactly: the value (NaN when missing), the text index of a
    // text column with the number of texts it had, and what the file held.
    struct Cell {
        double value = 0;
        qint32 text = -1;
        QString textValue; // the text of index `text`, to put it back
        qsizetype textCount = 0;
        std::optional<QString> unread;
        // The whole table as it was, when the edit had to give a short row
        // (of an older project) the table's width: taking the edit back puts
        // the rows' lengths back too.
        std::shared_ptr<const TTableModel> reshapedFrom;
    };
    Cell cell(int row, int column) const;
    void restoreCell(int row, int column, const Cell &cell);
    // Whether the table's cells may be edited: a source table that no method
    // or user function made. Its cells within the width are editable.
    bool isEditableTable() const;
    bool isEditable(int row, int column) const;
    // What typed text makes of the cell: a number column takes a number by
    // the one number rule (either decimal mark) and an empty text as missing;
    // a text column takes any text. False, with the reason, for text that is
    // no number in a number column.
    bool cellFromText(int row, int column, const QString &typed, Cell *cell, QString *reason) const;
    // Why setData refused the last text typed into a cell.
    QString editError() const;

    // Removes the rows (ascending, each once) and returns them as a table of
    // their own.
    std::unique_ptr<TTableModel> takeRows(const std::vector<int> &rows);

    // The table becomes as the snapshot (a copy made by the copy constructor)
    // was: values, check marks, texts, headers, origin.
    void restore(const TTableModel &snapshot);
    // Sets a row's check mark as setData does, without rowCheckChanged.
    void setRowChecked(int row, bool checked);
    // A source table's header texts, all at once.
    void setHeaders(const QStringList &headers);

    // How a result table was made from its source: the source's columns that
    // fed the method's inputs and those it carries, and the source row of
    // each of its rows (-1 for a row typed into the result). Empty for a
    // source table and for results of projects that did not keep it.
    struct Origin {
        std::vector<int> inputs;
        std::vector<int> carried;
        std::vector<int> rows;
    };
    const std::optional<Origin> &origin() const { return m_origin; }
    void setOrigin(std::optional<Origin> origin) { m_origin = std::move(origin); }
    // Whether the origin names only columns and rows the source has (a
    // project's record could say otherwise).
    bool originFits(const TTableModel &source) const;
    // Computes the result again from its source after the source changed:
    // rows of removed source rows go, rows added to the source are added,
    // and every row takes the source's present values. A row keeps its check
    // mark. Returns what changed in this table's rows, for its own results;
    // nothing happens (and nullopt) for a table without an origin.
    std::optional<RowChange> follow(const TTableModel &source, const RowChange &change);

signals:
    // A row's check mark was set or cleared through setData.
    void checksChanged();
    // A row's check mark was set or cleared through setData (row and its new state).
    void rowCheckChanged(int row, bool checked);
    // A cell edited through setData: what it held before; the cell holds the new content.
    void cellEdited(int row, int column, const TTableModel::Cell &before);

private:
    // The record of the table's method; none for a source table.
    const MethodRecord *method() const;
    bool isFormula() const;
    // A missing number or a field the file held no number in: shown tinted.
    bool isTinted(int row, int column) const;
    qsizetype rowStart(int row) const
    {
        return m_rowStarts.empty() ? qsizetype(row) * m_rowLength : m_rowStarts[size_t(row)];
    }
    const double *rowData(int row) const { return reinterpret_cast<const double *>(m_values.data) + rowStart(row); }
    // The values for writing in place; a block shared with a copy is copied first.
    double *writableValues();
    // The checked rows, column columns[j] of the table in column j (0 where a
    // row or the table lacks it): selectColumns over checkedMatrix without the
    // copy of every column.
    cv::Mat checkedColumns(const std::vector<int> &columns) const;
    // The matrix's block becomes the table, every row checked. The matrix must
    // be continuous and nobody may write into it afterwards.
    void adoptMatrix(const cv::Mat &matrix);
    // Runs the record's routine on the checked columns and adopts the result.
    void compute(const MethodRecord &record, const std::vector<int> &columns, const std::vector<int> &carried = {});
    void adoptResult(cv::Mat result);
    // Puts the carried columns of the checked rows of `source` before the
    // table's (result) columns.
    void prependCarried(const TTableModel &source, const std::vector<int> &carried);
    // The user function of the table, while the list holds it.
    const CustomFunctionRecord *userFunction() const;

    // Every value, row after row, in one continuous block. A copy of the table
    // shares it until one of them writes (applying a method replaces it whole,
    // so the copy a method is applied to never copies the values).
    cv::Mat m_values;
    // While every row has the same length, it is m_rowLength and m_rowStarts is
    // empty; rows of different lengths start at m_rowStarts[r] (rows + 1 entries).
    int m_rowLength = 0;
    std::vector<qsizetype> m_rowStarts;
    std::vector<char> m_checked; // one per row; char rather than bool, read often
    qint32 m_type;
    QStringList m_headers;
    std::optional<Origin> m_origin;
    // An origin as the record writes it, for a table of `count` rows; false
    // for one this program could not have written.
    static bool parseOrigin(const QString &inputs, const QString &carried, const QString &rows, qsizetype count,
                            Origin *origin);
    // The record's origin, once the table has its rows: kept when it fits the
    // table's method and rows, else the table does not follow its source.
    void adoptRecordOrigin(const std::optional<std::array<QString, 3>> &written);
    QString m_editError;
    // Everything of the other table but its place among the objects; the
    // values are shared until either table writes.
    void copyFrom(const TTableModel &other);
    // The table becomes the rows given, each a row of a table (this one's
    // copy or another with the same columns), with its values, check mark,
    // text cells and unread fields.
    void assembleRows(const std::vector<std::pair<const TTableModel *, int>> &order);
    // A table made by a user function: the function's id (user functions are
    // not saved, so this is 0 after a project is opened) and its title, which
    // the project keeps as the table's name.
    qint32 m_customFunction = 0;
    QString m_title;
    // Unread fields by row << 32 | column; kept until the values are replaced.
    QHash<qint64, QString> m_unread;
    void setUnread(const QList<UnreadField> &fields);
    // The text columns by data column.
    std::map<int, TextColumn> m_texts;
    // A result table's columns taken from its source; their headers are m_headers.
    int m_carried = 0;

    // What readXml read of a record, until readCsv gives the table its rows.
    struct Record {
        qint64 rows = 0;
        qint64 columns = 0;
        QString checks;
        QList<UnreadField> unread;
        std::map<int, QStringList> texts; // the text columns' texts
        // How a result was made: its inputs, carried columns and source rows
        // as the record wrote them; read once the rows have arrived.
        std::optional<std::array<QString, 3>> origin;
    };
    std::optional<Record> m_record;
    bool readRecordRows(QIODevice *device, QString *error, qint64 memoryLimit);
};
