// hiddump FILE...: parses each report-descriptor file (hex text or raw
// bytes) and prints the model of every top-level collection. Exits 1 when a
// file cannot be read or its descriptor is refused.
#include <cstdio>
#include <string>
#include <vector>

#include "descriptor_text.h"
#include "hidhost/hidp.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: hiddump FILE...\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!hid::LoadDescriptorFile(argv[i], &bytes, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      status = 1;
      continue;
    }
    const hid::ParseResult result = hid::ParseReportDescriptor(bytes.data(), bytes.size());
    if (!result.ok()) {
      std::fprintf(stderr, "%s: %s\n", argv[i], result.error.c_str());
      status = 1;
      continue;
    }
    std::printf("# %s: %zu bytes, %zu top-level collection(s)%s\n", argv[i], bytes.size(),
                result.collections.size(), result.usesReportIds ? ", report IDs" : "");
    for (size_t c = 0; c < result.collections.size(); ++c) {
      std::printf("## collection %zu\n%s", c, hid::DumpPreparsedData(result.collections[c].get()).c_str());
    }
  }
  return status;
}
