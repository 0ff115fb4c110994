// libFuzzer target: the CSV import dialect on any bytes. Reading a block of
// rows at a time must give what reading them all at once gives, and the
// header lookups what the header list says.
#include "CsvImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const CsvImport table(bytes);
    QList<UnreadField> unread;
    const QList<QList<double>> rows = table.rows(&unread);
    if (rows.size() != table.rowCount() || (!rows.isEmpty() && rows.first().size() != table.width()))
        std::abort();

    const std::vector<int> columns{2, 0, 2};
    std::vector<double> whole(size_t(table.rowCount()) * columns.size());
    table.readColumns(columns, whole.data());
    std::vector<double> blocks(whole.size());
    CsvImport::Position position;
    while (table.readColumns(columns, blocks.data() + size_t(position.row) * columns.size(), 3, &position) > 0) {
    }
    if (position.row != table.rowCount()
        || (!whole.empty() && std::memcmp(whole.data(), blocks.data(), whole.size() * sizeof(double)) != 0))
        std::abort();

    const QStringList headers = table.headers();
    if (headers.size() != table.headerCount())
        std::abort();
    if (!headers.isEmpty() && table.headerIndex(headers.last()) != headers.indexOf(headers.last()))
        std::abort();
    return 0;
}
