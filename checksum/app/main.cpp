// Hashmere: the checksum calculator's executable.

#include <cstdio>
#include <cstdlib>

#include "checksum/app/hashmere_app.h"
#include "toolkit/toolkit.h"

int main(int argc, char** argv)
{
    if (!toolkit::displayAvailable() || !toolkit::initialise(argc, argv)) {
        std::fputs("Hashmere needs a graphical display and none was found; on this machine use the command-line "
                   "program instead, for example: hashmere-cli -a all FILE\n",
            stderr);
        return 1;
    }
    static hashmere::HashmereApp hashmere;
    if (!hashmere::startHashmere(hashmere, hashmere::defaultStartOptions(argc, argv))) {
        hashmere::endProcess(hashmere, 1);
    }
    if (std::getenv("HASHMERE_EXIT_WHEN_SHOWN") != nullptr) {
        // Start-up benchmark: end once the shown window has been painted, writing nothing.
        toolkit::waitEvent(0);
        hashmere::endProcess(hashmere, 0);
    }
    hashmere::runEventLoop(hashmere);
    hashmere::shutdownHashmere(hashmere);
    hashmere::endProcess(hashmere, 0);
}
