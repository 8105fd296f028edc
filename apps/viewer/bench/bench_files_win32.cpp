// Writing the result files and printing to whoever started the program.
#include "bench_files.h"

#include <windows.h>

namespace bench {

namespace {

const wchar_t *wide(const std::u16string &text) { return reinterpret_cast<const wchar_t *>(text.c_str()); }

bool write_text_file(const std::u16string &path, const std::string &text) {
    HANDLE file = CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
    return CloseHandle(file) && ok && written == text.size();
}

// A program of the windows subsystem has no console of its own: its output goes to the handle it was
// given, or else to the console of the program that started it, if that has one.
HANDLE output() {
    static HANDLE handle = [] {
        HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
        if (given && given != INVALID_HANDLE_VALUE)
            return given;
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return handle;
}

} // namespace

bool write_result_files(const BenchResult &result, const std::u16string &path) {
    return !path.empty() && write_text_file(path, result_json(result)) &&
           write_text_file(csv_name_for(path), frame_times_csv(result));
}

void print_line(const std::string &line) {
    HANDLE out = output();
    if (out == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(out, text.data(), (DWORD)text.size(), &written, nullptr);
}

} // namespace bench
