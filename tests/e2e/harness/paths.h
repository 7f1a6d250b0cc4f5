// Where the end-to-end tier finds its inputs and puts its files (fixed when it is configured).
#pragma once

#include <filesystem>

namespace zv::e2e {

std::filesystem::path windowsBuild(); // the Windows tree's build folder
std::filesystem::path programExe();   // zelvora.exe there
std::filesystem::path probeExe();     // probe.exe there
std::filesystem::path workDir();      // <native build>/e2e: prefix, program folders, failures
std::filesystem::path objdumpTool();  // x86_64-w64-mingw32-objdump

} // namespace zv::e2e
