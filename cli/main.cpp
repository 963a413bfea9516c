// pnxcut: runs one layout job and prints the engine's result records.
#include "JobFile.h"

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    // A deep run's budget counts from here.
    const auto Start = std::chrono::steady_clock::now();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> Args(argv, argv + argc);
    return cli::Main(Args, std::cout, std::cerr, cli::LoadQtOutputs, Start);
}
