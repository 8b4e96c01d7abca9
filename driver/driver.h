// The process entry: start-up checks, reading the program file, the run sequence of the
// stages, and the exit status.
#pragma once

#include <optional>
#include <string>

// Reads the whole file in binary; nothing when it cannot be opened or is a directory.
std::optional<std::string> read_program_file(const char* path);

// The interpreter's main: returns the process exit status.
int tarn_main(int argc, char** argv);
