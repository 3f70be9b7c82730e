#include "commands/Dialogs.h"

namespace tarnwick {

std::vector<std::pair<std::string, std::string>> spreadsheetFilters() {
    return {{"Excel", "*.xls"}, {"CSV", "*.csv"}, {"All files(*.*)", "*.*"}};
}

std::vector<std::pair<std::string, std::string>> openFilters() {
    auto filters = spreadsheetFilters();
    filters.insert(filters.begin(), {"Tables (*.xls *.xlsx *.ods *.csv *.tsv *.txt)",
                                     "*.xls *.xlsx *.ods *.csv *.tsv *.txt"});
    return filters;
}

std::string withDefaultExtension(const std::string& fileName, const std::string& extension) {
    if (extension.empty() || fileName.empty())
        return fileName;
    const auto slash = fileName.find_last_of('/');
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    if (base.find('.') != std::string::npos)
        return fileName;
    return fileName + "." + extension;
}

} // namespace tarnwick
