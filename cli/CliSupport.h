#pragma once
// What the commands of kostimer-cli share: exit codes, usage faults, messages,
// how files are named, read and written, and the one form of the lines a
// table leaves the tool in.

#include "NumberFormat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>

class QFile;
class QIODevice;

enum ExitCode { Done = 0, FileFault = 1, UsageFault = 2 };

// A usage fault: runCli prints the message on one line and exits with 2.
struct UsageError {
    QString message;
};

void print(std::FILE *stream, const QString &text);

// A file name is bytes, not always UTF-8. An argument is decoded as UTF-8,
// with every byte that is no part of valid UTF-8 kept as the lone surrogate
// U+DC00 + byte, so the name still is a QString (shown with a replacement
// character) and fileNameBytes gives back the exact bytes to open.
QString argumentText(const char *argument);
QByteArray fileNameBytes(const QString &path);

// A file a command reads whole.
struct InputFile {
    QString path;
    QByteArray bytes;
    // Device and inode of a regular file, to tell an output that would replace it.
    bool regular = false;
    quint64 device = 0;
    quint64 inode = 0;
};

// The most bytes an input may have: a quarter of the machine's memory.
// KOSTIMER_CLI_MAX_INPUT_BYTES sets another bound; it exists so that tests
// can reach the bound without files of gigabytes.
qint64 inputByteLimit();

// Reads the file at path whole: a regular file by its size, anything else (a
// FIFO, a device, standard input) until its end. False, with the reason on
// err, when it cannot be opened or read, has more than inputByteLimit()
// bytes, or changed while it was read (its size or its modification time).
bool readInputFile(const QString &path, InputFile *input, std::FILE *err);

// Throws UsageError when outputPath names the input's file (also through a
// link), which writing the output would destroy.
void refuseOutputOverInput(const QString &outputPath, const InputFile &input);

// Where a command's result goes. With no path, standard output. A path to a
// regular file, or to none yet, is written beside it and put in its place
// only when complete, so that a failure leaves the old file as it was.
// Anything else (a FIFO, a device, /dev/stdout, /dev/fd/N) is written in
// place: replacing it would turn a pipe or a terminal into a plain file. A
// symbolic link that leads nowhere (dangling, or in a loop) is refused. A
// run ended by SIGINT, SIGTERM or SIGHUP removes the file written beside the
// target before it dies of the signal.
class OutputFile {
public:
    OutputFile(const QString &path, std::FILE *out);
    ~OutputFile(); // an output not committed leaves nothing behind
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // False with the reason (Czech, lower case) in *why.
    bool open(QString *why);
    QIODevice *device() const;
    // Hands everything over and puts a new file in place; false when
    // anything failed, the old file then untouched.
    bool commit();

private:
    bool openDescriptor(int fd, bool owned);

    QString m_path;
    std::FILE *m_out;
    std::unique_ptr<QFile> m_file;
    int m_fd = -1;
    bool m_ownsFd = false;
    QByteArray m_temporary; // written here, renamed to m_target
    QByteArray m_target;
    int m_pending = -1; // its slot among the files a signal removes
};

// --output FILE, --header, --verdicts, --digits full, --strict.
struct OutputOptions {
    QString path; // empty: standard output; see OutputFile
    bool header = false;
    bool verdicts = false;
    NumberDigits digits = NumberDigits::Six;
    // A field of the input that is not a number (or, for apply, a row shorter
    // or longer than the table) fails the command, and nothing is written.
    bool strict = false;
};

// The value of the option at args[*i], advancing *i past it. Throws
// UsageError when the option is the last argument.
QString optionValue(const QStringList &args, qsizetype *i);

// An argument no option of the command took: a positional one (a file, a
// method), or an unknown option, which throws UsageError. A lone "-" is
// positional.
void takePositional(const QString &arg, QStringList *positional);

// The column of --by at args[*i] (advancing *i); UsageError when empty.
QString groupingOption(const QStringList &args, qsizetype *i);

// Takes the output option at args[*i] (and its value, advancing *i); false
// when args[*i] is none of them. Throws UsageError on a bad value.
bool takeOutputOption(const QStringList &args, qsizetype *i, OutputOptions *options);

// Writes a command's output where path says (see OutputFile):
// write(device) writes it and returns false when the device refused it.
// Returns the exit code, with a message on err when writing failed.
int writeOutput(const QString &path, const std::function<bool(QIODevice *)> &write, std::FILE *out, std::FILE *err);

// The fields of output lines, as every command writes them: joined by ";",
// a text as it is or quoted when it holds ";", a quote or a line end
// (csvField), a number in the value-row form and a missing one (NaN) an
// empty field.
class CsvFields {
public:
    explicit CsvFields(NumberDigits digits = NumberDigits::Six)
        : m_digits(digits)
    {
    }
    void number(double value);
    void text(const QString &text);
    // Ends the line: the next field starts the next one.
    void endLine();
    // Every line so far; the fields of a line not ended yet without its LF.
    const QByteArray &bytes() const { return m_bytes; }
    // The same, handed over; the fields start anew.
    QByteArray take();

private:
    void separate();
    NumberDigits m_digits;
    QByteArray m_bytes;
    bool m_first = true;
};

// Texts as the fields of one line (a header line), without its LF.
QByteArray textLine(const QStringList &names);
