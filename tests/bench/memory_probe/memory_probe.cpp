// zv_memory_probe EXE: the memory counters of every running process of EXE (by file name,
// case ignored), as the system reports them to Task Manager. One tab-separated record a line,
// then "E <records>":
//   M  pid  exe  private-bytes  page-file-usage  working-set  peak-working-set
// A process that cannot be opened or queried gives -1 for its numbers.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace {

struct SnapshotCloser {
    HANDLE handle;
    ~SnapshotCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

void report(const PROCESSENTRY32& entry) {
    long long privateBytes = -1, pagefileUsage = -1, workingSet = -1, peakWorkingSet = -1;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE,
                                 entry.th32ProcessID);
    if (process) {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                    sizeof counters)) {
            privateBytes = static_cast<long long>(counters.PrivateUsage);
            pagefileUsage = static_cast<long long>(counters.PagefileUsage);
            workingSet = static_cast<long long>(counters.WorkingSetSize);
            peakWorkingSet = static_cast<long long>(counters.PeakWorkingSetSize);
        }
        CloseHandle(process);
    }
    std::printf("M\t%lu\t%s\t%lld\t%lld\t%lld\t%lld\n",
                static_cast<unsigned long>(entry.th32ProcessID), entry.szExeFile, privateBytes,
                pagefileUsage, workingSet, peakWorkingSet);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zv_memory_probe EXE\n");
        return 2;
    }
    const SnapshotCloser snapshot{CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    if (snapshot.handle == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "zv_memory_probe: no process snapshot\n");
        return 1;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int records = 0;
    for (BOOL more = Process32First(snapshot.handle, &entry); more;
         more = Process32Next(snapshot.handle, &entry)) {
        if (lstrcmpiA(entry.szExeFile, argv[1]) == 0) {
            report(entry);
            ++records;
        }
    }
    std::printf("E\t%d\n", records);
    return 0;
}
