#include "InputTable.h"

#include "CliSupport.h"
#include "UnreadReport.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <new>
#include <thread>

namespace {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();

// Rows shorter or longer than the table: how many, and the first few with
// their line of the file.
void reportRows(const QList<RaggedRow> &rows, const QString &heading, int width, const QString &fileName,
                std::FILE *err)
{
    if (rows.isEmpty())
        return;
    QString text = QStringLiteral("kostimer-cli: %1: %2: %3\n").arg(fileName, heading).arg(rows.size());
    for (qsizetype i = 0; i < std::min<qsizetype>(rows.size(), UnreadReport::Listed); ++i)
        text += QStringLiteral("  řádek %1 souboru (řádek dat %2): polí %3 místo %4\n")
                    .arg(rows.at(i).line)
                    .arg(rows.at(i).row + 1)
                    .arg(rows.at(i).fields)
                    .arg(width);
    if (rows.size() > UnreadReport::Listed)
        text += QStringLiteral("  … a další (%1)\n").arg(rows.size() - UnreadReport::Listed);
    print(err, text);
}

// A big file is read a piece at a time by several threads, each piece by
// readCsvTable, and the pieces joined into the table the whole file gives.
// Pieces start at line breaks, so only a file without quotes is read so (a
// quoted field may hold a line break); and one whose pieces do not read
// alike, as one table (a piece whose first row is shorter or longer than the
// table, a column that is of texts in one piece and of numbers in another),
// is read whole after all. Below this size, or with one thread, it is read
// whole anyway.
constexpr qsizetype smallestPiece = qsizetype(1) << 20;

// How many pieces the machine reads at once; KOSTIMER_CLI_READ_THREADS sets
// another number, so that tests can compare the two ways.
int readingThreads()
{
    bool ok = false;
    const int set = qEnvironmentVariableIntValue("KOSTIMER_CLI_READ_THREADS", &ok);
    if (ok && set > 0)
        return std::min(set, 64);
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

// Line breaks in [p, end): LF, CR LF and a lone CR, as the reader counts them.
qsizetype lineBreaks(const char *p, const char *end)
{
    qsizetype count = 0;
    for (const char *q = p; q < end; ++q)
        if (*q == '\n' || (*q == '\r' && (q + 1 == end || q[1] != '\n')))
            ++count;
    return count;
}

// Whether the pieces read as one table: of one width, each column of one kind.
bool readAlike(const std::vector<CsvTable> &pieces)
{
    const CsvTable &first = pieces.front();
    qsizetype rows = 0;
    for (const CsvTable &piece : pieces) {
        if (piece.width() == 0 && piece.rows() == 0)
            continue; // a piece of blank lines alone
        if (piece.width() != first.width() || piece.kinds != first.kinds)
            return false;
        rows += piece.rows();
    }
    return rows <= INT_MAX;
}

// The pieces joined, in order, each given back as it is copied.
void joinPieces(std::vector<CsvTable> &pieces, const std::vector<qsizetype> &linesBefore, CsvTable *table)
{
    const CsvTable &first = pieces.front();
    qsizetype rows = 0;
    for (const CsvTable &piece : pieces)
        rows += piece.rows();
    *table = CsvTable();
    table->dialect = first.dialect;
    table->headers = first.headers;
    table->kinds = first.kinds;
    table->values.create(int(rows), first.width(), CV_64F);
    // Each text of a column once: those of the first piece, then the new
    // ones of each piece after it.
    std::map<int, QHash<QString, qint32>> indexOfText;
    for (const auto &[column, texts] : first.texts) {
        table->texts[column].texts = texts.texts;
        QHash<QString, qint32> &index = indexOfText[column];
        for (qsizetype i = 0; i < texts.texts.size(); ++i)
            index.insert(texts.texts.at(i), qint32(i));
    }
    qsizetype row = 0;
    for (size_t k = 0; k < pieces.size(); ++k) {
        CsvTable &piece = pieces[k];
        const qsizetype pieceRows = piece.rows();
        if (pieceRows == 0)
            continue;
        piece.values.copyTo(table->values.rowRange(int(row), int(row + pieceRows)));
        piece.values.release();
        for (auto &[column, texts] : piece.texts) {
            TextColumn &joined = table->texts[column];
            QHash<QString, qint32> &indexOf = indexOfText[column];
            std::vector<qint32> index(size_t(texts.texts.size()));
            for (qsizetype i = 0; i < texts.texts.size(); ++i) {
                auto found = indexOf.constFind(texts.texts.at(i));
                if (found == indexOf.constEnd()) {
                    found = indexOf.insert(texts.texts.at(i), qint32(joined.texts.size()));
                    joined.texts.append(texts.texts.at(i));
                }
                index[size_t(i)] = found.value();
            }
            joined.cells.reserve(size_t(rows));
            for (const qint32 cell : texts.cells)
                joined.cells.push_back(cell >= 0 ? index[size_t(cell)] : -1);
            texts = TextColumn();
        }
        for (UnreadField field : piece.unread) {
            field.row += row;
            table->unread.append(std::move(field));
        }
        for (const auto &[from, to] :
             {std::pair{&piece.shortRows, &table->shortRows}, {&piece.longRows, &table->longRows}})
            for (RaggedRow ragged : *from) {
                ragged.row += row;
                ragged.line += linesBefore[k];
                to->append(ragged);
            }
        row += pieceRows;
        piece = CsvTable();
    }
}

// Reads the file in pieces when it is big and may be read so; its bytes are
// given back before the pieces are joined. False with *reason empty when it is
// to be read whole; with the reason, when it cannot be read at all.
bool readInPieces(QByteArray &bytes, CsvReadOptions options, CsvTable *table, QString *reason)
{
    const int threads = readingThreads();
    const qsizetype count = std::min<qsizetype>(threads, bytes.size() / smallestPiece);
    if (count < 2 || bytes.contains('"') || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
        || bytes.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4)))
        return false;
    // The dialect, the header and the width, as the whole file shows them.
    CsvReadOptions probe = options;
    probe.maxRows = 0;
    CsvTable head;
    if (!readCsvTable(bytes, probe, &head, reason))
        return false;
    if (head.width() == 0)
        return false;
    options.separator = head.dialect.separator;
    options.decimal = head.dialect.decimal;
    options.encoding = head.dialect.encoding;

    // Pieces of about equal size, each starting after a line break.
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    std::vector<const char *> starts{begin};
    for (qsizetype k = 1; k < count; ++k) {
        const char *from = begin + bytes.size() / count * k;
        if (from <= starts.back())
            continue;
        const void *lf = std::memchr(from, '\n', size_t(end - from));
        if (!lf)
            break;
        starts.push_back(static_cast<const char *>(lf) + 1);
    }
    starts.push_back(end);
    const size_t pieces = starts.size() - 1;
    if (pieces < 2)
        return false;
    std::vector<CsvTable> tables(pieces);
    std::vector<char> read(pieces, 0);
    std::vector<QString> reasons(pieces);
    const auto readPiece = [&](size_t k) {
        CsvReadOptions own = options;
        own.header = k == 0 ? head.dialect.header : false;
        try {
            read[k] = readCsvTable(QByteArray::fromRawData(starts[k], starts[k + 1] - starts[k]), own, &tables[k],
                                   &reasons[k]);
        } catch (const std::bad_alloc &) {
            reasons[k] = QStringLiteral("Na tabulku nestačí paměť.");
        }
    };
    {
        std::vector<std::thread> workers;
        for (size_t k = 1; k < pieces; ++k)
            workers.emplace_back(readPiece, k);
        readPiece(0);
        for (std::thread &worker : workers)
            worker.join();
    }
    for (size_t k = 0; k < pieces; ++k)
        if (!read[k]) {
            *reason = reasons[k];
            return false;
        }
    if (!readAlike(tables))
        return false;
    // The lines before each piece, which its rows of uneven length are told by.
    std::vector<qsizetype> linesBefore(pieces, 0);
    const bool ragged = std::any_of(tables.begin() + 1, tables.end(), [](const CsvTable &piece) {
        return !piece.shortRows.isEmpty() || !piece.longRows.isEmpty();
    });
    for (size_t k = 1; k < pieces && ragged; ++k)
        linesBefore[k] = linesBefore[k - 1] + lineBreaks(starts[k - 1], starts[k]);
    bytes = QByteArray();
    joinPieces(tables, linesBefore, table);
    return true;
}

} // namespace

char separatorOf(const QString &value)
{
    if (value == QStringLiteral(";") || value == QStringLiteral(",") || value == QStringLiteral("|"))
        return char(value.at(0).unicode());
    if (value == QStringLiteral("tab") || value == QStringLiteral("\t"))
        return '\t';
    throw UsageError{QStringLiteral("Přepínač --sep zná jen oddělovače „;“, „,“, „|“ a tab (tabulátor), ne „%1“.")
                         .arg(value)};
}

bool takeSeparatorOption(const QStringList &args, qsizetype *i, std::optional<char> *separator)
{
    if (args.at(*i) != QStringLiteral("--sep"))
        return false;
    *separator = separatorOf(optionValue(args, i));
    return true;
}

bool readInputTable(QByteArray bytes, const std::optional<char> &separator, const QString &path, CsvTable *table,
                    std::FILE *err)
{
    CsvReadOptions options;
    options.separator = separator;
    QString reason;
    bool read = false;
    try {
        read = readInPieces(bytes, options, table, &reason);
        if (!read && reason.isEmpty())
            read = readCsvTable(std::move(bytes), options, table, &reason);
    } catch (const std::bad_alloc &) {
        reason = QStringLiteral("Na tabulku nestačí paměť.");
    }
    if (read)
        return true;
    print(err, QStringLiteral("Soubor „%1“ nelze přečíst: %2\n").arg(path, reason));
    return false;
}

int tableColumn(const CsvTable &table, const QString &fileName, const QString &named, const QString &what)
{
    const bool isNumber =
        !named.isEmpty() && std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
    qsizetype column = -1;
    if (isNumber) {
        bool ok = false;
        const int number = named.toInt(&ok);
        column = ok ? qsizetype(number) - 1 : -1;
    } else if (table.dialect.header) {
        column = table.headers.indexOf(named);
    }
    if (column < 0 || column >= table.width()) {
        const QString message = what.isEmpty() ? QStringLiteral("Soubor %1 nemá sloupec „%2“.").arg(fileName, named)
                                               : QStringLiteral("Soubor %1 nemá sloupec „%2“ (%3).")
                                                     .arg(fileName, named, what);
        throw UsageError{message};
    }
    return int(column);
}

QString columnLabel(const CsvTable &table, int column)
{
    const QString header = table.headers.value(column);
    return header.isEmpty() ? QString::number(column + 1) : header;
}

std::vector<double> columnOf(const CsvTable &table, int column)
{
    std::vector<double> values(size_t(table.rows()), missing);
    if (column < 0 || column >= table.width())
        return values;
    for (int r = 0; r < int(values.size()); ++r)
        values[size_t(r)] = table.values.at<double>(r, column);
    return values;
}

GroupingColumn groupingColumnOf(const CsvTable &table, int column)
{
    GroupingColumn grouping{columnLabel(table, column), {}, {}};
    const auto texts = table.texts.find(column);
    if (texts == table.texts.end()) {
        grouping.keys = columnOf(table, column);
        return grouping;
    }
    grouping.texts = texts->second.texts;
    grouping.keys.assign(size_t(table.rows()), missing);
    const std::vector<qint32> &cells = texts->second.cells;
    for (size_t r = 0; r < grouping.keys.size() && r < cells.size(); ++r)
        if (cells[r] >= 0)
            grouping.keys[r] = cells[r];
    return grouping;
}

qint64 reportReading(const CsvTable &table, const QString &fileName, const std::vector<int> &columns, std::FILE *err)
{
    if (table.dialect.header && table.width() > 0 && table.rows() == 0)
        print(err,
              QStringLiteral("kostimer-cli: %1: soubor má jen řádek záhlaví, žádné řádky s daty.\n").arg(fileName));
    const QString than = table.dialect.header ? QStringLiteral("než záhlaví") : QStringLiteral("než první řádek");
    reportRows(table.shortRows,
               QStringLiteral("řádků souboru kratších %1 (jejich poslední buňky chybějí)").arg(than),
               table.width(), fileName, err);
    reportRows(table.longRows, QStringLiteral("řádků souboru delších %1 (přebývající pole se nečtou)").arg(than),
               table.width(), fileName, err);
    std::vector<char> asked(size_t(table.width()), 0);
    for (int c : columns)
        if (c >= 0 && c < table.width())
            asked[size_t(c)] = 1;
    UnreadReport unread;
    for (const UnreadField &field : table.unread)
        if (field.column >= 0 && field.column < table.width() && asked[size_t(field.column)])
            unread.add(field.row, field.column, field.text);
    unread.print(err, fileName, [&table](int column) { return columnLabel(table, column); });
    return qint64(table.shortRows.size()) + qint64(table.longRows.size()) + unread.count();
}

void reportUngrouped(qsizetype rows, const QString &fileName, const GroupingColumn &grouping, std::FILE *err)
{
    if (rows > 0)
        print(err, QStringLiteral("kostimer-cli: %1: řádků bez skupiny (hodnota ve sloupci „%2“ chybí), které se "
                                  "počítají jen mezi všemi řádky: %3\n")
                       .arg(fileName, grouping.name)
                       .arg(rows));
}
