// One parser for the window program and its subcommands.
#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>

#include "app/shell_state.h"
#include "app/startup.h"
#include "base/unit_format.h"

int runCommandLine(int argc, char** argv) {
    CLI::App app{"KRV650 curve tracer control program. Without a subcommand it opens the main window."};
    app.set_version_flag("--version", "krv650 " + formatFixed(static_cast<double>(ShellState{}.programVersion), 3));
    app.require_subcommand(0, 1);
    int exitCode = 0;
    addParamsCommand(app, exitCode);
    addMatchCommand(app, exitCode);
    addRunCommand(app, exitCode);
    // Set after the subcommands so that they do not inherit it; it gathers their own exit codes.
    app.footer([&app] {
        constexpr std::string_view lead = "Exit codes: ";
        std::string text = std::string(lead) + "0 the window program was closed; 2 bad arguments.";
        for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
            std::string codes = command->get_footer();
            if (codes.rfind(lead, 0) != 0) continue;
            text += "\n  " + command->get_name() + ": " + codes.substr(lead.size());
        }
        return text;
    });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : exitBadArguments;
    }
    if (app.get_subcommands().empty()) return runProgram(argc, argv);
    return exitCode;
}
