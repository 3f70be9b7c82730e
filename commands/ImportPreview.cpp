#include "commands/ImportPreview.h"

#include "core/Error.h"

#include <algorithm>

namespace tarnwick {

ImportPreview::ImportPreview(std::string fileName, InputRole role)
    : fileName_(std::move(fileName)), role_(role) {
    readPreview();
}

void ImportPreview::chooseSheet(int index) {
    if (index < 0 || index >= static_cast<int>(sheetNames_.size()))
        return;
    sheet_ = index;
    allSheets_ = false;
    readPreview();
}

void ImportPreview::chooseAllSheets() {
    sheet_ = 0;
    allSheets_ = true;
    readPreview();
}

void ImportPreview::mark(int column, ColumnRole role) {
    if (column < 0 || column >= static_cast<int>(titles_.size()) ||
        titles_[static_cast<std::size_t>(column)].empty())
        return;
    const std::string compared = comparedTitle(titles_[static_cast<std::size_t>(column)]);
    std::erase_if(marks_, [&](const ColumnMark& m) { return comparedTitle(m.title) == compared; });
    marks_.push_back({titles_[static_cast<std::size_t>(column)], role});
    detectRoles();
}

ImportSettings ImportPreview::settings() const {
    ImportSettings settings;
    settings.sheet = allSheets_ ? "all" : std::to_string(sheet_ + 1);
    // Marks of titles the sheet read has not (left from another sheet) would refuse the import.
    for (const ColumnMark& m : marks_)
        if (std::any_of(titles_.begin(), titles_.end(), [&](const std::string& t) {
                return comparedTitle(t) == comparedTitle(m.title);
            }))
            settings.marks.push_back(m);
    return settings;
}

ImportPreview::Outcome ImportPreview::OutcomeQuery::run(const FileProgress& progress) const {
    try {
        const ImportedTable imported = importTable(fileName, layoutOf(role), settings, progress);
        const ImportReport& report = imported.report;
        std::string text = std::to_string(report.rows) + (report.rows == 1 ? " row, " : " rows, ") +
                           std::to_string(report.men) + (report.men == 1 ? " man, " : " men, ") +
                           std::to_string(report.loci.size()) +
                           (report.loci.size() == 1 ? " locus" : " loci");
        if (report.untyped > 0)
            text += "; " + std::to_string(report.untyped) +
                    (report.untyped == 1 ? " row" : " rows") + " typed at no locus";
        if (!imported.faults.empty())
            text += "; " + std::to_string(imported.faults.size()) + " faulty cell" +
                    (imported.faults.size() == 1 ? "" : "s");
        return {text, true};
    } catch (const Error& error) {
        return {error.what(), false};
    }
}

void ImportPreview::readPreview() {
    const SheetPreview preview = previewSheet(fileName_, std::to_string(sheet_ + 1), kPreviewRows);
    sheetNames_ = preview.sheetNames;
    titles_ = preview.rows.empty() ? std::vector<std::string>() : preview.rows.front();
    rows_.assign(preview.rows.size() > 1 ? preview.rows.begin() + 1 : preview.rows.end(),
                 preview.rows.end());
    std::size_t width = titles_.size();
    for (const auto& row : rows_)
        width = std::max(width, row.size());
    titles_.resize(width);
    for (auto& row : rows_)
        row.resize(width);
    detectRoles();
}

void ImportPreview::detectRoles() {
    roles_ = columnRoles(titles_, marks_);
}

} // namespace tarnwick
