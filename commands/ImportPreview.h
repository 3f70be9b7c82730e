#pragma once

#include "commands/InputRole.h"
#include "io/FileProgress.h"
#include "io/TableImport.h"

#include <string>
#include <vector>

namespace tarnwick {

// What the import dialog shows and changes: the sheets of a file, the first rows of the one
// chosen, each column's role, and what an import with those settings would give.
class ImportPreview {
public:
    static constexpr int kPreviewRows = 20; // the titles' row included

    // Reads the file's sheet names and the first sheet's first rows; raises an Error naming the
    // file when it cannot be read.
    ImportPreview(std::string fileName, InputRole role);

    const std::string& fileName() const { return fileName_; }
    InputRole role() const { return role_; }
    const std::vector<std::string>& sheetNames() const { return sheetNames_; }

    // The sheet read: an index into sheetNames(), or all of them (the preview shows the first).
    int sheet() const { return sheet_; }
    bool allSheets() const { return allSheets_; }
    void chooseSheet(int index);
    void chooseAllSheets();

    // The previewed sheet's titles and rows after them, as texts.
    const std::vector<std::string>& titles() const { return titles_; }
    const std::vector<std::vector<std::string>>& rows() const { return rows_; }

    // Each column's role as detected, or as the user marked it.
    const std::vector<ColumnRole>& roles() const { return roles_; }
    void mark(int column, ColumnRole role);

    // The settings an import takes from the choices made.
    ImportSettings settings() const;

    // What the import gives with these settings: "152 rows, 76 men, 23 loci; 73 rows typed at no
    // locus", or why it cannot be imported. Reads the whole file.
    struct Outcome {
        std::string text;
        bool importable = false;
    };
    Outcome outcome() const { return outcomeQuery().run(); }
    std::string summary() const { return outcome().text; }

    // What the outcome is worked out from, copied: it may be worked out on another thread while
    // the choices change. The progress is told of the rows read and stops it by raising.
    struct OutcomeQuery {
        std::string fileName;
        InputRole role;
        ImportSettings settings;
        Outcome run(const FileProgress& progress = {}) const;
    };
    OutcomeQuery outcomeQuery() const { return {fileName_, role_, settings()}; }

private:
    void readPreview();
    void detectRoles();

    std::string fileName_;
    InputRole role_;
    std::vector<std::string> sheetNames_;
    int sheet_ = 0;
    bool allSheets_ = false;
    std::vector<std::string> titles_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<ColumnMark> marks_;
    std::vector<ColumnRole> roles_;
};

} // namespace tarnwick
