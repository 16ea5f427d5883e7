// Writing a generated file in one go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// Writes `bytes` to `path`; on failure says so on stderr and returns false.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace assets
