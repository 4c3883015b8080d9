// Command-line parsing with CLI11; every problem is reported in one line.
#include "options.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include "one_line.h"

namespace kvlhost {

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
    CLI::App app("Loads the network-inventory plug-in, lets it collect once and prints the "
                 "CIM instances it serves.",
                 "kvlhost");
    app.add_option("--machine", options.machineFile,
                   "Describe the machine from this description file (\"-\": standard input) instead of asking the system")
        ->type_name("FILE");
    app.add_option("--class", options.classes,
                   "Query only this class (repeatable; default: every served class)")
        ->type_name("NAME");
    std::string format = "json";
    app.add_option("--format", format, "Output format: json (default) or mof")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"json", "mof"}));
    app.add_flag("--exclude-ip", options.excludeIp, "Leave every network address out");
    app.add_option("--log-level", options.logLevel,
                   "Echo log messages up to this level to stderr (default 1; 0 silences)")
        ->type_name("N")
        ->check(CLI::Range(0, 100));
    app.add_option("--plugin", options.pluginPath,
                   "Load the plug-in from this file (default: the one beside kvlhost)")
        ->type_name("PATH")
        ->check(CLI::ExistingFile);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << "kvlhost: " << OneLine(error.what()) << " (see kvlhost --help)\n";
        return 2;
    }
    options.format = format == "mof" ? OutputFormat::kMof : OutputFormat::kJson;
    return std::nullopt;
}

}  // namespace kvlhost
