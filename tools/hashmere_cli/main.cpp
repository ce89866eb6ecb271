#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

#include "tools/hashmere_cli/cli.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    hashmere_cli::Terminal terminal;
    terminal.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    terminal.width = [] {
        winsize size{};
        return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? int{size.ws_col} : 80;
    };
    return hashmere_cli::runCli(
        std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr, terminal);
}
