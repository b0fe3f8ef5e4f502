// kpbidi: the printer functions of the maintenance wizard from a shell, for
// technicians and scripts on machines without a desktop.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/net_raw.h"
#include "tools/kpbidi/commands.h"
#include "tools/kpbidi/open_printer.h"
#include "tools/kpbidi/output.h"

namespace {

using kpbidi_tool::Subcommand;

void PrintHelp() {
    std::cout << "Usage: kpbidi (-p NAME | --host ADDRESS) [--json] COMMAND [ARGS]\n"
                 "       kpbidi [--json] discover\n"
                 "\n"
                 "Talks to a KPM printer with the same library functions the maintenance\n"
                 "wizard uses.\n"
                 "\n"
                 "  -p, --printer NAME  the printer's print queue (default: $KPBIDI_PRINTER)\n"
                 "  --host ADDRESS      a network printer by host name or IPv4 address,\n"
                 "                      bypassing the print system\n"
                 "  --json              one JSON object per command on standard output\n"
                 "  -h, --help          this help; 'kpbidi COMMAND --help' for a command\n"
                 "\n"
                 "Commands:\n";
    for (const Subcommand& sub : kpbidi_tool::Subcommands()) {
        std::string name = sub.name;
        name.resize(16, ' ');
        std::cout << "  " << name << sub.summary << '\n';
    }
    std::cout << "\nOn failure the error code, its name and message are printed and the exit\n"
                 "status is 1 (2 for a usage error, 130 when interrupted).\n";
}

void PrintSubcommandHelp(const Subcommand& sub) {
    std::cout << (sub.needsPrinter ? "Usage: kpbidi (-p NAME | --host ADDRESS) [--json] "
                                   : "Usage: kpbidi [--json] ")
              << sub.name;
    if (*sub.usage != '\0') {
        std::cout << ' ' << sub.usage;
    }
    std::cout << "\n\n" << sub.summary << ".\n";
    if (*sub.details != '\0') {
        std::cout << sub.details << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Installed without capabilities, as the wizard is (the echo's raw
    // socket is kpm-echo's); given some by hand, it gives them up.
    if (const std::error_code error = platform::DropPrivilegesGainedAtStart()) {
        std::cerr << "kpbidi: cannot give up the capabilities it was started with: "
                  << error.message() << '\n';
        return 1;
    }
    std::string printerName;
    std::string host;
    bool json = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-p" || arg == "--printer") && i + 1 < argc) {
            printerName = argv[++i];
        } else if (arg == "--host" && i + 1 < argc) {
            host = argv[++i];
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "-h" || arg == "--help") {
            PrintHelp();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return kpbidi_tool::Output(json).UsageError("unknown option " + arg);
        } else {
            break;
        }
    }
    const kpbidi_tool::Output output(json);
    if (i == argc) {
        PrintHelp();
        return 2;
    }
    const Subcommand* sub = kpbidi_tool::FindSubcommand(argv[i]);
    if (sub == nullptr) {
        return output.UsageError(std::string("unknown command ") + argv[i]);
    }
    std::vector<std::string> args(argv + i + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintSubcommandHelp(*sub);
            return 0;
        }
    }

    if (!sub->needsPrinter) {
        if (!printerName.empty() || !host.empty()) {
            return output.UsageError(std::string(sub->name) + " names no printer");
        }
        return sub->run({nullptr, &output, std::move(args)});
    }
    if (printerName.empty() && host.empty()) {
        if (const char* fromEnvironment = std::getenv("KPBIDI_PRINTER")) {
            printerName = fromEnvironment;
        }
    }
    if (printerName.empty() == host.empty()) {
        return output.UsageError("choose the printer with either -p NAME or --host ADDRESS");
    }
    kpbidi_error_tag error{};
    kpbidi_tool::PrinterHandle printer = printerName.empty()
                                             ? kpbidi_tool::OpenHost(host, error)
                                             : kpbidi_tool::OpenQueue(printerName, error);
    if (!printer) {
        return output.Failure(error);
    }
    return sub->run({printer.get(), &output, std::move(args)});
}
