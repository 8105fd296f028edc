// Shared ground of the engine's tests: a window, the recording driver's log, and a started engine.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "recording_driver.h"
#include "trvx.h"

// The recording driver as loaded in this process (the engine loads the same module).
struct RecordingDriver {
    RecordingLogProc log = nullptr;
    RecordingClearProc clear = nullptr;
    RecordingAnswerProc answer = nullptr;
    RecordingInputProc input = nullptr;
    RecordingObjectsProc objectsProc = nullptr;

    static RecordingDriver &get();
    std::vector<RecordedCommand> commands() const;
    // The command numbers received since the last clear.
    std::vector<int> numbers() const;
    RecordedObjects objects() const;
};

HWND test_window();
// The folder of the test program, ending in a backslash.
std::wstring test_folder();

// A started engine on the test window; every test starts with an empty driver log.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    RecordingDriver &driver = RecordingDriver::get();
    TRVXCONTEXT ctx = nullptr;
};
