// The Analysis menu's parameter items: the Device Parameters window and the model card side file.
#pragma once

void openDeviceParametersWindow();
void saveModelCardNow();
