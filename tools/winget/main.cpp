// winget_manifest SHA256 OUT_DIR [URL]: writes the three manifest files into OUT_DIR,
// which must exist. scripts/winget-manifest.sh computes the digest and calls it.
#include <cstdio>
#include <string>

#include "tools/winget/winget_manifest.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: winget_manifest SHA256 OUT_DIR [URL]\n");
    return 2;
  }
  const std::string sha = argv[1];
  if (sha.size() != 64 || sha.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    std::fprintf(stderr, "winget_manifest: not a SHA-256 in hex: %s\n", argv[1]);
    return 2;
  }
  for (const ManifestFile& f : MakeWingetManifest(sha, argc == 4 ? argv[3] : kPlaceholderUrl)) {
    const std::string path = std::string(argv[2]) + "/" + f.name;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out != nullptr && std::fwrite(f.text.data(), 1, f.text.size(), out) == f.text.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
      std::fprintf(stderr, "winget_manifest: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
