// Whole-file reads and writes of host files (UTF-8 paths) for the tool's subcommands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace halcyra {

// Reads the whole file into bytes; false when it cannot be opened or read.
bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

// Creates or replaces the file with bytes; false when it cannot be created or fully written.
bool WriteHostFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace halcyra
