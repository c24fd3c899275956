// Check marks of the menu items that mirror settings; each group is touched only when its value changed.
#pragma once

void resetMenuCheckMarkDefaults();
void refreshMenuCheckMarks();
