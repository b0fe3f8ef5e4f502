// Writes the check-pattern jobs the maintenance wizard sends to KPM
// printers, one file per resource id (arp_<id>.bin), and with --previews
// also their preview pictures (preview_<id>.png). Run by the build.
//
// Usage: kpm-pattern-gen OUTPUT_DIR [--previews]
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "job.h"
#include "patterns.h"

namespace {

// Writes through a temporary file, so a failed run never leaves a partial
// job for the build to embed.
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--previews")) {
        std::cerr << "usage: kpm-pattern-gen OUTPUT_DIR [--previews]\n";
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const patterns::PatternJob& job : patterns::AllPatternJobs()) {
            const std::string id = std::to_string(job.id);
            WriteFile(dir / ("arp_" + id + ".bin"), patterns::BuildJob(job));
            if (argc == 3) {
                WriteFile(dir / ("preview_" + id + ".png"), patterns::BuildPreview(job));
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "kpm-pattern-gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
