// Stands in for the help viewer in tests: writes its working folder and its
// arguments, one per line, to the file named by VIEWER_STAND_IN_REPORT (a
// named pipe the test reads), then writes "raise" there for every raise
// request it gets, until it is ended.

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/raise_request.h"

namespace {

void report(const char* path, int argc, char** argv)
{
    if (std::FILE* out = std::fopen(path, "w")) {
        char folder[4096] = {};
        std::fprintf(out, "%s\n", getcwd(folder, sizeof folder) != nullptr ? folder : "");
        for (int i = 1; i < argc; ++i) {
            std::fprintf(out, "%s\n", argv[i]);
        }
        std::fclose(out);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* path = std::getenv("VIEWER_STAND_IN_REPORT");
    if (path != nullptr) {
        report(path, argc, argv);
    }
    const int requests = platform::listenForRaiseRequests();
    for (;;) {
        pollfd wait{requests, POLLIN, 0};
        if (::poll(&wait, 1, -1) != 1) {
            continue;
        }
        for (int n = platform::takeRaiseRequests(); n > 0 && path != nullptr; --n) {
            if (std::FILE* out = std::fopen(path, "w")) {
                std::fputs("raise\n", out);
                std::fclose(out);
            }
        }
    }
}
