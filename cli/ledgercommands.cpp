#include "cli/ledgercommands.h"

#include "cli/commandsupport.h"

#include <algorithm>
#include <ostream>

int runLedgerCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CommandIo io{in, out, err};
    CLI::App app("The command-line companion of 明账小匣: record and list files to and from JSON, every page and "
                 "statistics list, text reports, workbooks and the version history. Texts are UTF-8 here and GBK in "
                 "the files. Exit status: 0 done, 1 bad input or a damaged file, 2 wrong password.",
                 "mzledger");
    app.require_subcommand(1);
    addFileCommands(app, io);
    addViewCommands(app, io);
    addExportCommands(app, io);
    std::vector<std::string> reversed(args.rbegin(), args.rend()); // as the parser takes them
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, out, err);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help, out, err);
    } catch (const CLI::ParseError& error) {
        app.exit(error, out, err);
        return EXIT_FAILED;
    } catch (const InputError& error) {
        err << "mzledger: " << error.what() << '\n';
        return EXIT_FAILED;
    }
    return io.status;
}
