#include "commands/StartFolder.h"

namespace tarnwick {

std::filesystem::path startFolder(const std::filesystem::path& programFolder,
                                  const std::filesystem::path& installedExamples,
                                  const std::filesystem::path& home) {
    std::error_code error;
    for (const auto& candidate :
         {programFolder / ".." / ".." / "examples",
          programFolder / ".." / "share" / "tarnwick" / "examples", installedExamples})
        if (std::filesystem::is_directory(candidate, error))
            return std::filesystem::weakly_canonical(candidate, error);
    return home;
}

} // namespace tarnwick
