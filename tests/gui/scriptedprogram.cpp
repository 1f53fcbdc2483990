// The program itself, its login answered from the environment (MZ_TEST_USER, MZ_TEST_PASSWORD),
// for tests that send the running program signals. Once its window shows, it deletes the first
// record, a change that only a save writes, and prints "ready".
#include "gui/app/ledgercontext.h"
#include "gui/app/program.h"

#include <cstdio>

int main(int argc, char** argv) {
    const auto login = [](Ledger& ledger, QWidget*) {
        ledger.userName = qEnvironmentVariable("MZ_TEST_USER").toStdString();
        ledger.password = qEnvironmentVariable("MZ_TEST_PASSWORD").toStdString();
        return true;
    };
    return runProgram(argc, argv, login, [](MainWindow& window) {
        std::vector<LedgerRecord>& records = window.context().ledger().records;
        if (!records.empty())
            records.erase(records.begin());
        std::puts("ready");
        std::fflush(stdout);
    });
}
