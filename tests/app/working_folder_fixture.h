// A scratch working directory with the folders an installation has, program defaults, and dialogs
// answered by the test: OK for every message box, `dialogAnswer` for the file dialogs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/program_defaults.h"
#include "platform/platform.h"
#include "sweep/run_record.h"
#include "test_support.h"

class WorkingFolderTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    std::string dialogAnswer;

    // The settings file starts with `settings`.
    void setUpWorkingFolder(const std::string& settings) {
        for (const char* folder : {"settings", "sampleruns", "savedimages", "saveddata"})
            std::filesystem::create_directory(folder);
        testsupport::writeFile("settings/system_settings.txt", settings);
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder(
            [this](const platform::RecordedDialog& d) { return d.kind == "message" ? "ok" : dialogAnswer; });
        resetProgramDefaults();
        clearRunRecord(runRecord);
    }
    void TearDown() override {
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }
};
