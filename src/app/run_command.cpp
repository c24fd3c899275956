// The "run" subcommand.
#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/unattended_run.h"

void addRunCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<UnattendedOptions>();
    auto* command = app.add_subcommand(
        "run", "Sweeps a series of parts with no window on screen, as the RUN button does, in the working directory "
               "(settings, log, calibration file and result folders of an installation). Needs no display.");
    command->add_option("--setup", options->setupFile, "The test setup (.tsu) to load instead of the start-up one")
        ->check(CLI::ExistingFile);
    command->add_option("--port", options->port, "The instrument's port COMN (default: KRV_ComPort of the settings)")
        ->type_name("N")
        ->check(CLI::Range(1, 255));
    command->add_option("--repeat", options->repeat, "The number of parts to sweep, one run each (default 1)")
        ->type_name("K")
        ->check(CLI::Range(1, 99999));
    auto waitEnter = std::make_shared<bool>(false);
    auto* enter = command->add_flag("--wait-enter", *waitEnter, "Between parts, wait for Enter (the default)");
    command->add_option("--interval", options->intervalSeconds, "Between parts, wait this many seconds instead")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.0, 86400.0))
        ->excludes(enter);
    command->add_option("--id", options->idPrefix, "Part ids are PREFIX-001, PREFIX-002 ... (default part)")
        ->type_name("PREFIX");
    command->add_option("--out", options->outDir,
                        "The folder (created when missing) for summary.csv and a copy of each part's data file and "
                        "picture named by its id (PREFIX-001.csv, PREFIX-001.png). The runs themselves are saved as "
                        "the RUN button saves them, under the working directory's sampleruns, savedimages and "
                        "saveddata folders (default: the working directory)")
        ->type_name("DIR");
    command->add_flag("--params", options->params, "Add the device kind and the whole-run parameters to each line");
    command->add_flag("--json", options->json,
                      "Print one JSON object per part instead of a line; the summary table then goes to stderr");
    command->footer("Exit codes: 0 every part was swept and saved; 1 the output or a file in --out could not be "
                    "written; 2 bad arguments; " +
                    std::to_string(unattendedPortFailed) + " the port will not open; " +
                    std::to_string(unattendedLinkLost) + " the link to the instrument was lost; " +
                    std::to_string(unattendedStoppedByInstrument) +
                    " the instrument stopped a sweep by itself (its own stop or a fault code); " +
                    std::to_string(unattendedProgramFault) + " the program faulted (report in bugreport.txt); " +
                    std::to_string(unattendedInterrupted) +
                    " stopped by Ctrl-C or SIGTERM (the sweep running then is stopped as STOP does and not saved) or by the "
                    "end of the input while waiting for Enter.");
    command->callback([options, waitEnter, &exitCode] { exitCode = runUnattended(*options); });
}
