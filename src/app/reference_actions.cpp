#include "app/reference_actions.h"

void setReferenceFromDisplayedRun() {}
void loadReferenceFile() {}
void clearReference() {}
void toggleReferenceGrey() {}
