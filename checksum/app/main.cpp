// Hashmere: the checksum calculator's executable.

#include <cstdio>
#include <cstdlib>

#include "checksum/app/hashmere_app.h"
#include "toolkit/toolkit.h"

int main(int argc, char** argv) {
    if (!tk::displayAvailable() || !tk::initialise(argc, argv)) {
        std::fputs("Hashmere needs a graphical display and none was found; on this machine use the command-line "
                   "program instead, for example: hashmere-cli -a all FILE\n",
                   stderr);
        return 1;
    }
    static app::HashmereApp hashmere;
    if (!app::startHashmere(hashmere, app::defaultStartOptions(argc, argv))) {
        app::endProcess(hashmere, 1);
    }
    if (std::getenv("HASHMERE_EXIT_WHEN_SHOWN") != nullptr) {
        // Start-up benchmark: end once the shown window has been painted, writing nothing.
        tk::waitEvent(0);
        app::endProcess(hashmere, 0);
    }
    app::runEventLoop(hashmere);
    app::shutdownHashmere(hashmere);
    app::endProcess(hashmere, 0);
}
