#include "app/program_defaults.h"

#include "app/settings_file.h"
#include "app/shell_state.h"
#include "app/system_settings.h"
#include "display/cursor_actions.h"
#include "display/menu_check_marks.h"

void resetProgramDefaults() {
    resetShellDefaults();
    resetSettingsFileDefaults();
    resetSystemSettingsDefaults();
    resetCursorDefaults();
    resetMenuCheckMarkDefaults();
}
