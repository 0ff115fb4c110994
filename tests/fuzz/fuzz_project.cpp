// libFuzzer target: the project reader on any bytes. A refusal must give its
// reason, and the tables may take no more than a bound far above what a small
// input can honestly hold.
#include "MethodCatalog.h"
#include "ProjectArchive.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool catalogBuilt = (buildMethodCatalog(), true);
    (void)catalogBuilt;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ProjectTree roots;
    QString reason;
    const bool read = readProjectFile(&buffer, &roots, &reason, qint64(256) << 20);
    if (!read && (reason.isEmpty() || !roots.empty()))
        std::abort();
    return 0;
}
