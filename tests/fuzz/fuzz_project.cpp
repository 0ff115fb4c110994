// libFuzzer target: the project reader on any bytes.
#include "MethodCatalog.h"
#include "ProjectArchive.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool catalogBuilt = (buildMethodCatalog(), true);
    (void)catalogBuilt;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ProjectTree roots;
    readProjectFile(&buffer, &roots);
    return 0;
}
