// Stands in for the help viewer in tests: writes its working folder and its
// arguments, one per line, to the file named by VIEWER_STAND_IN_REPORT (a
// named pipe the test reads), then waits until it is ended.

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (const char* report = std::getenv("VIEWER_STAND_IN_REPORT")) {
        if (std::FILE* out = std::fopen(report, "w")) {
            char folder[4096] = {};
            std::fprintf(out, "%s\n", getcwd(folder, sizeof folder) != nullptr ? folder : "");
            for (int i = 1; i < argc; ++i) {
                std::fprintf(out, "%s\n", argv[i]);
            }
            std::fclose(out);
        }
    }
    for (;;) {
        pause();
    }
}
