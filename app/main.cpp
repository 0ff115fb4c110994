#include "MethodCatalog.h"
#include "MethodListing.h"

#include <cstdio>

int main()
{
    buildMethodCatalog();
    // Until the main window is here, the program shows what it can compute.
    std::fputs(methodListing().toUtf8().constData(), stdout);
    return 0;
}
