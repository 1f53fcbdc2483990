#include "cli/ledgercommands.h"
#include "core/ledger/filestore.h"

#include <iostream>

int main(int argc, char** argv) {
    ignoreFileSizeLimitSignal();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runLedgerCommand(args, std::cin, std::cout, std::cerr);
}
