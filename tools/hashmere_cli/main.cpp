#include <iostream>

#include "tools/hashmere_cli/cli.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return hashmere_cli::runCli(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr);
}
