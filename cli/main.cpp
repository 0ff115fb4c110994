#include "CliCommands.h"
#include "CliSupport.h"

#include <QStringList>

#include <cstdio>
#include <new>

int main(int argc, char *argv[])
{
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
