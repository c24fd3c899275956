#include "results/result_saving.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "base/messages.h"
#include "base/system_settings.h"
#include "results/file_names.h"
#include "results/result_picture.h"
#include "results/run_data_file.h"
#include "results/sample_runs.h"

namespace {

constexpr std::int64_t sampleRunMaximum = 99999;

std::map<std::int64_t, std::string> dataFileStems; // by sample-run number

// Files of one save that could not be written, each with its reason; shown together in one box.
struct SaveFailures {
    std::string list;
    void note(const std::string& path, const FileWriteOutcome& outcome) {
        if (outcome.written) return;
        if (!list.empty()) list += "; ";
        list += path + " (" + outcome.failure + ")";
    }
    void showIfAny() const {
        if (list.empty()) return;
        showMessage("Warning #xxxx Results not saved: " + list + ". Any older file of the same name is unchanged.");
    }
};

// Returns the stem the two files were saved under.
std::string savePictureAndData(SaveFailures& failures) {
    const SystemSettings& s = systemSettings;
    const std::string stem = generateFileStem();
    const std::string picturePath = s.saveImageFileLocation + stem + ".png";
    const std::string dataPath = s.saveDataFileLocation + stem + ".csv";
    failures.note(picturePath, saveGraphPicture(picturePath));
    failures.note(dataPath, writeRunDataFile(dataPath));
    advanceRunNumber();
    return stem;
}

} // namespace

bool autoSaveIsOn() {
    return systemSettings.autoSave == "Yes";
}

void saveResultsNow() {
    SaveFailures failures;
    savePictureAndData(failures);
    failures.showIfAny();
}

std::string sampleRunDataStem(std::int64_t number) {
    const auto found = dataFileStems.find(number);
    if (found != dataFileStems.end()) return found->second;
    const std::string name = sampleRunFileName(number);
    return name.substr(0, name.size() - 4); // without ".csv"
}

void resetSavedDataFileStems() {
    dataFileStems.clear();
}

void autoSaveRun(void (*showCopy)()) {
    SaveFailures failures;
    const std::int64_t number = std::clamp<std::int64_t>(sampleRuns.sampleRunCount, -1, sampleRunMaximum - 1) + 1;
    const std::string path = sampleRunPath(number);
    const FileWriteOutcome copy = writeRunDataFile(path);
    failures.note(path, copy);
    // A copy that could not be written is not counted, so the tile never names a missing file.
    if (copy.written) {
        sampleRuns.sampleRunCount = number;
        sampleRuns.sampleRunIndex = number;
        if (showCopy) showCopy();
    }
    const std::string stem = savePictureAndData(failures);
    if (copy.written) dataFileStems[number] = stem;
    failures.showIfAny();
}
