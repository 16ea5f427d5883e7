#include "tools/file_out.h"

#include <cstdio>

namespace assets {

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) {
    fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    return false;
  }
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = fclose(f) == 0 && ok;
  if (!ok) fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace assets
