// pnxcut: runs one layout job and prints the engine's result records.
#include "JobFile.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> Args(argv, argv + argc);
    return cli::Main(Args, std::cout, std::cerr);
}
