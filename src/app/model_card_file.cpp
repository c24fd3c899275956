#include "app/model_card_file.h"

#include "base/messages.h"
#include "base/system_settings.h"
#include "display/run_analysis.h"
#include "results/file_names.h"
#include "sweep/run_record.h"

std::string modelCardPath(const std::string& stem) {
    return systemSettings.saveDataFileLocation + stem + ".model";
}

FileWriteOutcome writeModelCardFile(const std::string& path, const std::string& card) {
    return replaceFile(path, card + "\r\n");
}

void saveCompletedRunModelCard() {
    const std::string& stem = resultNaming.fileStem;
    // The columns the run's data file was just written with, whatever the graph's header still holds.
    const std::string card = modelCardFor(runRecord, currentRunColumns(), stem);
    if (card.empty()) return;
    const std::string path = modelCardPath(stem);
    const FileWriteOutcome outcome = writeModelCardFile(path, card);
    if (!outcome.written) showMessage("Warning #xxxx Model card not saved: " + path + " (" + outcome.failure + ").");
}
