// holder.exe: keeps a file open with no sharing at all until it is ended, as another program
// that holds a document open would. The end-to-end tests use it to see what a save does when
// the menu file cannot be replaced.
//
//   holder FILE [READY]   opens FILE (it must exist) for reading with share mode 0, then
//                         creates READY, when given, so the caller knows the file is held,
//                         and waits until it is ended.
//
// Exit status 1 when FILE cannot be opened or READY cannot be created, 2 on wrong arguments.
#include <windows.h>

#include <string>

namespace {

void say(const std::string& text) {
    DWORD wrote = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &wrote,
              nullptr);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        say("usage: holder FILE [READY]\n");
        return 2;
    }
    // Share mode 0: nobody else may read, write, rename or delete the file while it is open.
    HANDLE held = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        say("holder: cannot open " + std::string(argv[1]) + ": error " +
            std::to_string(GetLastError()) + "\n");
        return 1;
    }
    if (argc == 3) {
        HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready == INVALID_HANDLE_VALUE) {
            say("holder: cannot create " + std::string(argv[2]) + ": error " +
                std::to_string(GetLastError()) + "\n");
            return 1;
        }
        CloseHandle(ready);
    }
    // The handle stays open until the process is ended; the system closes it then.
    for (;;)
        Sleep(INFINITE);
}
