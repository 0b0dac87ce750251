// Whole files as bytes, for tests that check what the program wrote or give it what to read.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace morvell {

// The file's bytes; empty when it cannot be opened.
inline std::string file_bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// Replaces the file's content by `bytes`.
inline void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << bytes;
}

}  // namespace morvell
