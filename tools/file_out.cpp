#include "tools/file_out.h"

#include "tools/assets.h"

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

bool WriteDataMark(const char* dir) {
  // The library looks for this name (kDataMark in core/paths.h).
  const std::string text = "The data of Sample Game, made by its asset generator.\n";
  return WriteWholeFile(std::string(dir) + "/OXDATA.TXT",
                        std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace assets
