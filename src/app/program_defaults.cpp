#include "app/program_defaults.h"

#include "app/settings_file.h"
#include "app/shell_state.h"
#include "app/system_settings.h"
#include "display/cursor_actions.h"
#include "display/menu_check_marks.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "sweep/sweep_state_machine.h"

void resetProgramDefaults() {
    resetShellDefaults();
    resetSettingsFileDefaults();
    resetSystemSettingsDefaults();
    resetCursorDefaults();
    resetMenuCheckMarkDefaults();
    resetInstrumentLinkDefaults();
    resetCommsDefaults();
    resetSweepStateMachineDefaults();
}
