#include "CliSupport.h"

#include "CsvReader.h"
#include "TextEncoding.h"
#include "ValueRows.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope.
struct DescriptorCloser {
    int fd;
    ~DescriptorCloser() { ::close(fd); }
};

bool sameFile(const struct stat &file, int fd)
{
    struct stat other {};
    return fd >= 0 && ::fstat(fd, &other) == 0 && other.st_dev == file.st_dev && other.st_ino == file.st_ino;
}

// Reads until count bytes, the end of the file, or an error (-1).
qint64 readBytes(int fd, char *data, qint64 count)
{
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, data + done, size_t(std::min<qint64>(count - done, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

QString reasonOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("neexistuje");
    case EACCES:
    case EPERM:
        return QStringLiteral("chybí oprávnění");
    case EISDIR:
        return QStringLiteral("je to složka");
    case ELOOP:
        return QStringLiteral("cesta vede přes zacyklený symbolický odkaz");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString sizeText(qint64 bytes)
{
    return bytes >= (qint64(1) << 20) ? QStringLiteral("%1 MB").arg(bytes >> 20) : QStringLiteral("%1 B").arg(bytes);
}

// The descriptor a name stands for: /dev/stderr, /dev/fd/N, /proc/self/fd/N; -1 for any other name.
int descriptorOfName(const QByteArray &name)
{
    if (name == "/dev/stderr")
        return 2;
    for (const char *prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const int fd = name.mid(qsizetype(std::strlen(prefix))).toInt(&ok);
        return ok && fd >= 0 ? fd : -1;
    }
    return -1;
}

// The files being written beside their targets, for a signal that ends the
// run to remove. The handler may run between any two instructions: it reads
// a fixed table, a slot's path complete before its flag says it is taken,
// and calls nothing but unlink, raise and the signal mask.
struct PendingFile {
    volatile std::sig_atomic_t taken;
    char path[PATH_MAX + 64];
};
PendingFile pendingFiles[8];

constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removePendingAndDie(int signal)
{
    for (const PendingFile &file : pendingFiles)
        if (file.taken)
            ::unlink(file.path);
    // SA_RESETHAND has put back the default action: the signal, let through
    // once more, ends the process as it would have without this handler.
    sigset_t own;
    sigemptyset(&own);
    sigaddset(&own, signal);
    ::raise(signal);
    ::pthread_sigmask(SIG_UNBLOCK, &own, nullptr);
    ::_exit(128 + signal);
}

// The handler, for every ending signal that has its default action (an
// ignored one, as under nohup or in a background job, stays ignored).
void handleEndingSignals()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const int signal : endingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = removePendingAndDie;
        sigemptyset(&action.sa_mask);
        for (const int other : endingSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

// The ending signals held back while it lives: a file is made and entered in
// the table (or renamed or removed and left out of it) as one step.
class EndingSignalsHeld {
public:
    EndingSignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : endingSignals)
            sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &m_before);
    }
    ~EndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld &) = delete;
    EndingSignalsHeld &operator=(const EndingSignalsHeld &) = delete;

private:
    sigset_t m_before;
};

// The slot that now holds path; -1 when the table is full or the path too
// long for it (the file is then left behind by a signal, as before).
int enterPending(const QByteArray &path)
{
    handleEndingSignals();
    if (size_t(path.size()) >= sizeof(PendingFile::path))
        return -1;
    for (int i = 0; i < int(std::size(pendingFiles)); ++i) {
        PendingFile &file = pendingFiles[i];
        if (file.taken)
            continue;
        std::memcpy(file.path, path.constData(), size_t(path.size()) + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        file.taken = 1;
        return i;
    }
    return -1;
}

void leavePending(int *slot)
{
    if (*slot >= 0)
        pendingFiles[*slot].taken = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    *slot = -1;
}

} // namespace

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString argumentText(const char *argument)
{
    QString text;
    const auto *p = reinterpret_cast<const unsigned char *>(argument);
    const auto *end = p + std::strlen(argument);
    while (p < end) {
        char32_t c;
        const int length = utf8Sequence(p, end, &c);
        if (length == 0) {
            text += QChar(char16_t(0xDC00 + *p));
            ++p;
            continue;
        }
        if (c >= 0x10000) {
            text += QChar(QChar::highSurrogate(c));
            text += QChar(QChar::lowSurrogate(c));
        } else {
            text += QChar(char16_t(c));
        }
        p += length;
    }
    return text;
}

QByteArray fileNameBytes(const QString &path)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        // A kept byte; the low half of a pair follows its high half.
        if (u >= 0xDC80 && u <= 0xDCFF && !(i > 0 && path.at(i - 1).isHighSurrogate())) {
            bytes += QStringView(path).mid(start, i - start).toUtf8();
            bytes += char(u - 0xDC00);
            start = i + 1;
        }
    }
    bytes += QStringView(path).mid(start).toUtf8();
    return bytes;
}

qint64 inputByteLimit()
{
    bool ok = false;
    const qint64 set = qEnvironmentVariable("KOSTIMER_CLI_MAX_INPUT_BYTES").toLongLong(&ok);
    if (ok && set > 0)
        return set;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const qint64 quarter = pages > 0 && pageSize > 0 ? qint64(pages) / 4 * pageSize : qint64(1) << 30;
    // One byte past the bound must still fit in a QByteArray.
    return std::min<qint64>(quarter, std::numeric_limits<qsizetype>::max() / 2);
}

bool readInputFile(const QString &path, InputFile *input, std::FILE *err)
{
    const auto refuse = [&](const QString &why) {
        print(err, QStringLiteral("Soubor „%1“ nelze přečíst: %2.\n").arg(path, why));
        return false;
    };
    const int fd = ::open(fileNameBytes(path).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse(errno == EACCES || errno == EPERM ? QStringLiteral("chybí oprávnění ke čtení") : reasonOf(errno));
    const DescriptorCloser closer{fd};
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return refuse(reasonOf(errno));
    if (S_ISDIR(before.st_mode))
        return refuse(reasonOf(EISDIR));
    const qint64 limit = inputByteLimit();
    const auto tooLarge = [&] {
        print(err, QStringLiteral("Soubor „%1“ je příliš velký (víc než %2).\n").arg(path, sizeText(limit)));
        return false;
    };
    const QString readFault = QStringLiteral("chyba čtení");

    QByteArray bytes;
    if (S_ISREG(before.st_mode) && before.st_size > 0) {
        // By its size into one buffer. A file cut short, grown or written to
        // meanwhile is refused rather than read half old, half new (a mapped
        // file that shrinks would kill the process instead).
        if (before.st_size > limit)
            return tooLarge();
        switch (readRegularFile(fd, before.st_size, &bytes)) {
        case FileReading::Done:
            break;
        case FileReading::Failed:
            return refuse(readFault);
        case FileReading::Changed:
            print(err, QStringLiteral("Soubor „%1“ se během čtení změnil.\n").arg(path));
            return false;
        }
    } else {
        // A FIFO, a device, or a file that tells no size (those of /proc):
        // until its end, which an endless one never reaches, so never past
        // the bound.
        qsizetype used = 0;
        for (;;) {
            if (used == bytes.size()) {
                if (used > limit)
                    return tooLarge();
                bytes.resize(qsizetype(std::min<qint64>(std::max<qint64>(qint64(1) << 16, qint64(bytes.size()) * 2),
                                                        limit + 1)));
            }
            const qint64 got = readBytes(fd, bytes.data() + used, bytes.size() - used);
            if (got < 0)
                return refuse(readFault);
            if (got == 0)
                break;
            used += qsizetype(got);
            if (used < bytes.size())
                break; // the end came before the buffer was full
        }
        bytes.truncate(used);
    }
    input->path = path;
    input->bytes = std::move(bytes);
    input->regular = S_ISREG(before.st_mode);
    input->device = quint64(before.st_dev);
    input->inode = quint64(before.st_ino);
    return true;
}

void refuseOutputOverInput(const QString &outputPath, const InputFile &input)
{
    struct stat target {};
    if (outputPath.isEmpty() || !input.regular || ::stat(fileNameBytes(outputPath).constData(), &target) != 0)
        return;
    if (quint64(target.st_dev) == input.device && quint64(target.st_ino) == input.inode)
        throw UsageError{QStringLiteral("Výstup „%1“ je týž soubor jako vstup „%2“, zápis by vstup zničil.")
                             .arg(outputPath, input.path)};
}

OutputFile::OutputFile(const QString &path, std::FILE *out)
    : m_path(path)
    , m_out(out)
{
}

OutputFile::~OutputFile()
{
    m_file.reset();
    if (m_ownsFd)
        ::close(m_fd);
    if (!m_temporary.isEmpty()) {
        const EndingSignalsHeld held;
        ::unlink(m_temporary.constData());
        leavePending(&m_pending);
    }
}

QIODevice *OutputFile::device() const
{
    return m_file.get();
}

bool OutputFile::openDescriptor(int fd, bool owned)
{
    m_fd = fd;
    m_ownsFd = owned;
    m_file = std::make_unique<QFile>();
    return m_file->open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
}

bool OutputFile::open(QString *why)
{
    const auto standardOutput = [this] {
        m_file = std::make_unique<QFile>();
        std::fflush(m_out);
        return m_file->open(m_out, QIODevice::WriteOnly);
    };
    if (m_path.isEmpty())
        return standardOutput();

    const QByteArray name = fileNameBytes(m_path);
    struct stat target {};
    const bool exists = ::stat(name.constData(), &target) == 0;
    if (!exists) {
        // A link that leads nowhere would be replaced by a plain file, and
        // what it was meant to lead to left as it was.
        const int missing = errno;
        struct stat link {};
        if (missing == ELOOP) {
            *why = reasonOf(ELOOP);
            return false;
        }
        if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            *why = QStringLiteral("je to symbolický odkaz, jehož cíl neexistuje");
            return false;
        }
    }
    if (exists) {
        // Where standard output already goes (/dev/stdout, or the file it
        // was sent to): through it, so that a file opened with >> is
        // appended to and not replaced.
        if (sameFile(target, fileno(m_out)))
            return standardOutput();
        const int named = descriptorOfName(name);
        if (named >= 0 && sameFile(target, named))
            return openDescriptor(named, false);
        if (S_ISDIR(target.st_mode)) {
            *why = QStringLiteral("je to složka");
            return false;
        }
        if (!S_ISREG(target.st_mode)) {
            // Neither created nor truncated: a FIFO or a device takes the bytes as they come.
            const int fd = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (fd < 0) {
                *why = reasonOf(errno);
                return false;
            }
            struct stat opened {};
            if (::fstat(fd, &opened) == 0 && !S_ISREG(opened.st_mode))
                return openDescriptor(fd, true);
            ::close(fd); // a regular file took its place meanwhile
        } else if (::access(name.constData(), W_OK) != 0) {
            *why = QStringLiteral("chybí oprávnění k zápisu");
            return false;
        }
    }

    // A link stays a link: the file it names is replaced.
    m_target = name;
    if (char *real = ::realpath(name.constData(), nullptr)) {
        m_target = real;
        std::free(real);
    }
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        m_temporary = m_target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Entered before it is made: a signal taken by another thread (which
        // this one's mask does not hold back) still finds it.
        const EndingSignalsHeld held;
        m_pending = enterPending(m_temporary);
        fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int error = errno;
            leavePending(&m_pending);
            if (error != EEXIST)
                break;
        }
    }
    if (fd < 0) {
        m_temporary.clear();
        *why = QStringLiteral("složka neexistuje nebo k ní chybí oprávnění");
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    if (exists && S_ISREG(target.st_mode))
        static_cast<void>(::fchmod(fd, target.st_mode & 07777));
    return openDescriptor(fd, true);
}

bool OutputFile::commit()
{
    if (!m_file)
        return false;
    bool done = m_file->flush();
    m_file->close();
    if (m_fd < 0)
        return std::fflush(m_out) == 0 && !std::ferror(m_out) && done;
    if (!m_temporary.isEmpty())
        done = done && ::fsync(m_fd) == 0;
    if (m_ownsFd)
        done = ::close(m_fd) == 0 && done;
    m_ownsFd = false;
    m_fd = -1;
    if (!m_temporary.isEmpty()) {
        const EndingSignalsHeld held;
        done = done && ::rename(m_temporary.constData(), m_target.constData()) == 0;
        if (!done)
            ::unlink(m_temporary.constData());
        leavePending(&m_pending);
        m_temporary.clear();
    }
    return done;
}

QString optionValue(const QStringList &args, qsizetype *i)
{
    if (*i + 1 >= args.size())
        throw UsageError{QStringLiteral("Přepínači %1 chybí hodnota.").arg(args.at(*i))};
    return args.at(++*i);
}

void takePositional(const QString &arg, QStringList *positional)
{
    if (arg.startsWith(u'-') && arg.size() > 1)
        throw UsageError{QStringLiteral("Neznámý přepínač „%1“.").arg(arg)};
    positional->append(arg);
}

QString groupingOption(const QStringList &args, qsizetype *i)
{
    const QString column = optionValue(args, i);
    if (column.isEmpty())
        throw UsageError{QStringLiteral("Přepínač --by potřebuje sloupec.")};
    return column;
}

bool takeOutputOption(const QStringList &args, qsizetype *i, OutputOptions *options)
{
    const QString &arg = args.at(*i);
    auto value = [&]() { return optionValue(args, i); };
    if (arg == QStringLiteral("--output"))
        options->path = value();
    else if (arg == QStringLiteral("--header"))
        options->header = true;
    else if (arg == QStringLiteral("--verdicts"))
        options->verdicts = true;
    else if (arg == QStringLiteral("--strict"))
        options->strict = true;
    else if (arg == QStringLiteral("--digits")) {
        if (value() != QStringLiteral("full"))
            throw UsageError{QStringLiteral("Přepínač --digits zná jen hodnotu full.")};
        options->digits = NumberDigits::Full;
    } else {
        return false;
    }
    return true;
}

int writeOutput(const QString &path, const std::function<bool(QIODevice *)> &write, std::FILE *out, std::FILE *err)
{
    OutputFile output(path, out);
    QString why;
    if (!output.open(&why)) {
        print(err, QStringLiteral("Do souboru „%1“ nelze zapsat: %2.\n").arg(path, why));
        return FileFault;
    }
    if (!(write(output.device()) && output.commit())) {
        const QString target =
            path.isEmpty() ? QStringLiteral("na standardní výstup") : QStringLiteral("do souboru „%1“").arg(path);
        print(err, QStringLiteral("Výsledek nelze zapsat %1 (plný disk?).\n").arg(target));
        return FileFault;
    }
    return Done;
}

void CsvFields::separate()
{
    if (!m_first)
        m_bytes += ';';
    m_first = false;
}

void CsvFields::number(double value)
{
    separate();
    if (!std::isnan(value)) {
        char digits[32];
        m_bytes.append(digits, formatValue(digits, value, m_digits) - digits);
    }
}

void CsvFields::text(const QString &text)
{
    separate();
    m_bytes += csvField(text);
}

void CsvFields::endLine()
{
    m_bytes += '\n';
    m_first = true;
}

QByteArray CsvFields::take()
{
    m_first = true;
    return std::exchange(m_bytes, QByteArray());
}

QByteArray textLine(const QStringList &names)
{
    CsvFields fields;
    for (const QString &name : names)
        fields.text(name);
    return fields.take();
}
