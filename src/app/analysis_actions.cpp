#include "app/analysis_actions.h"

void openDeviceParametersWindow() {}
void saveModelCardNow() {}
