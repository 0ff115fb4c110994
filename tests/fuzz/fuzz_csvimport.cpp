// libFuzzer target: the CSV import dialect on any bytes, under a Czech and an
// English locale.
#include "CsvImport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QLocale &locale : {QLocale(QLocale::Czech), QLocale(QLocale::English)}) {
        const CsvImport table(bytes, locale);
        const QList<QList<double>> rows = table.rows();
        std::vector<double> columns(size_t(table.rowCount()) * 3);
        table.readColumns({2, 0, 2}, columns.data());
        (void)rows;
    }
    return 0;
}
