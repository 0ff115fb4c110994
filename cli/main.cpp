#include "CliCommands.h"
#include "CliSupport.h"

#include <QStringList>

#include <cstdio>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
#if defined(__GLIBC__)
    // A command computes a table a block of rows at a time, and each block
    // takes and frees some MB. They stay with the process for the next block
    // rather than go back to the system and come again as fresh pages, each
    // faulted in and cleared anew; only buffers of a whole file or table
    // (over 8 MB) are mapped apart and given back when freed.
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    int code;
    try {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments.append(argumentText(argv[i]));
        code = runCli(arguments, stdout, stderr);
    } catch (const std::bad_alloc &) {
        // Said without allocating anything more.
        std::fputs("kostimer-cli: Na tuto práci nestačí paměť počítače.\n", stderr);
        code = FileFault;
    }
    // Output that never arrived (a full disk, a closed pipe) is a failure,
    // whichever command printed it.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && code == Done) {
        print(stderr, QStringLiteral("kostimer-cli: Na standardní výstup nelze zapsat (plný disk nebo zavřený "
                                     "výstup).\n"));
        code = FileFault;
    }
    return code;
}
