#include "sweep/calibration_transfer.h"

#include <string>
#include <string_view>

#include "base/messages.h"
#include "calibration/calibration_check.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"

namespace {

constexpr std::int64_t settleReports = 30;

void showStatus(const char* text) {
    instrumentLink.commsStatusText = text;
}

bool syncFlagSet() {
    return (currentReport.statusWord & statusCalibrationSync) != 0;
}

// The low byte of the word is the earlier byte of the block.
void storeWord(CalibrationBlock& pass) {
    CalibrationTransfer& t = calibrationTransfer;
    if (t.index + 1 >= pass.size()) return;
    pass[t.index] = static_cast<std::uint8_t>(currentReport.calibrationWord & 0xFF);
    pass[t.index + 1] = static_cast<std::uint8_t>((currentReport.calibrationWord >> 8) & 0xFF);
    t.index += 2;
}

// States 2 and 5: a pass starts with the report that carries the sync flag.
void waitForSync(CalibrationBlock& pass, const char* gotSync, const char* waitSync, std::int64_t next) {
    CalibrationTransfer& t = calibrationTransfer;
    if (!syncFlagSet()) {
        showStatus(waitSync);
        return;
    }
    t.index = 0;
    storeWord(pass);
    showStatus(gotSync);
    t.state = next;
}

// States 3 and 6.
void takePass(CalibrationBlock& pass, const char* passDone, std::int64_t next) {
    CalibrationTransfer& t = calibrationTransfer;
    storeWord(pass);
    if (t.index < pass.size()) return;
    showStatus(passDone);
    t.state = next;
}

// State 10: a block no working instrument holds (erased, written over without an erase) would make
// every later reading wrong; the file stays and the transfer ends with the file's coefficients.
void saveBlockIfPlausible() {
    CalibrationTransfer& t = calibrationTransfer;
    const std::string_view bytes(reinterpret_cast<const char*>(t.firstPass.data()), t.firstPass.size());
    std::string why;
    if (!calibrationDataPlausible(bytes, why)) {
        showStatus(" OK, CAL#10.1(BadBlock)");
        appendLogLine("Calibration block in the instrument refused (" + why + "): KRV_cal.txt kept");
        t.state = 14;
        return;
    }
    if (!replaceCalibrationFileWithBlock(t.firstPass, why)) {
        showStatus(" OK, CAL#10.2(SaveFailed)");
        appendLogLine("Calibration block not saved: " + why);
        t.state = 14;
        return;
    }
    showStatus(" OK, CAL#10(SaveNewCalFile)");
    t.state = 0;
}

} // namespace

void resetCalibrationTransferDefaults() {
    calibrationTransfer = CalibrationTransfer{};
}

void restartCalibrationTransfer() {
    calibrationTransfer.state = 0;
}

void calibrationTransferStep() {
    CalibrationTransfer& t = calibrationTransfer;
    switch (t.state) {
    case 0:
        if (calibrationFileCanBeOpened()) {
            loadCalibrationFile();
            showStatus(" OK, CAL#0.0");
        } else {
            createPlaceholderCalibrationFile();
            showStatus(" OK, CAL#0.1");
        }
        t.state = 1;
        break;
    case 1:
        t.firstPass.fill(0);
        t.secondPass.fill(0);
        t.state = 2;
        break;
    case 2: waitForSync(t.firstPass, " OK, CAL#2.0(GotSync1)", " OK, CAL#2.1(WaitSync1)", 3); break;
    case 3: takePass(t.firstPass, " OK, CAL#3.0(PassDone1)", 5); break;
    case 5: waitForSync(t.secondPass, " OK, CAL#5.0(GotSync2)", " OK, CAL#5.1(WaitSync2)", 6); break;
    case 6: takePass(t.secondPass, " OK, CAL#6.0(PassDone2)", 8); break;
    case 8:
        showStatus(" OK, CAL#8.0(Comp1-2)");
        // Passes that disagree are both taken again.
        t.state = t.firstPass == t.secondPass ? 9 : 2;
        break;
    case 9:
        if (calibrationFileMatches(t.firstPass)) {
            showStatus(" OK, CAL#9.0(Comp1-File)");
            t.state = 11;
        } else {
            showStatus(" OK, CAL#9.1(CompFail)");
            t.state = 10;
        }
        break;
    case 10: saveBlockIfPlausible(); break;
    case 11:
        t.counter = 0;
        loadCalibrationFile();
        showStatus(" OK, CAL#11(AllGood)");
        t.state = 13;
        break;
    case 13:
        if (t.counter < settleReports) {
            t.counter += 1;
        } else {
            showStatus(" OK");
            t.state = 14;
        }
        break;
    default: break;
    }
}
