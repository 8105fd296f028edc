// Answers the message boxes that the code under test shows on the calling thread and keeps what
// they said, so that a test can check them instead of waiting for a user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::wstring caption;
    std::wstring text;
    HWND owner;
    bool warningIcon; // the box shows the system's warning icon
};

// While one exists, every message box of this thread is read and closed with OK.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher &) = delete;
    MessageBoxCatcher &operator=(const MessageBoxCatcher &) = delete;

    std::vector<CaughtBox> boxes;

private:
    HHOOK hook_;
};
