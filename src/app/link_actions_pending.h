// Instrument link and run control entry points used by the dispatch tables.
#pragma once

void openInstrumentLink();
void closeInstrumentLink();
void toggleInstrumentLink();
void toggleHighVoltage();
void startRun();
void stopRun();
void sendHardwareReset();
void loopTick();
