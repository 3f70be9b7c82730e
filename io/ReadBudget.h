#pragma once

#include "io/ReadLimits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Counts what reading one file makes the reader do, and raises a ReadError naming the limit as
// soon as it goes beyond what a file of that size can hold (ReadLimits.h). One per read.
class ReadBudget {
public:
    explicit ReadBudget(std::uint64_t fileBytes) : fileBytes_(fileBytes) {}

    // The worksheet whose values are read from now on (index from 0, its name), so that
    // messages name it. The budget itself holds for the whole read, every sheet together.
    void startSheet(int index, std::string_view name);
    // The worksheet being read as messages name it ("the first worksheet" until another starts).
    const std::string& sheet() const { return sheet_; }

    // XML inflates differently in each format; the .xlsx allowance holds until this is called.
    void setXmlByteAllowance(const Allowance& allowance) { xmlByteAllowance_ = allowance; }

    void countValue();
    // Values a repeat count gives: only the values a sheet may hold bound them.
    void countRepeatedValues(std::uint64_t values);
    void countXmlElement();
    // Starts an XML part; when its size in the file is known, what it inflates to, the elements,
    // values and text it yields are bounded by that size as the whole by the file's, so that a
    // large part nothing reads (a picture) does not raise the allowance of a small one.
    void startXmlPart(std::optional<std::uint64_t> bytesInFile);
    void countXmlBytes(std::size_t bytes);
    // The size a part's package says it inflates to: beyond the part's allowance it is refused
    // before any of it is parsed (what it really inflates to is counted as it is read).
    void expectXmlBytes(std::uint64_t bytes) const;
    // Text a reader holds or hands on for cells; the total is bounded.
    void countText(std::size_t bytes);
    // The text of one cell, at (row, col) counted from 0, is bounded too.
    static void checkCellText(std::size_t bytes, long row, long col);
    // So is the number of worksheets a workbook lists, as readers hold their names.
    static void checkWorksheetCount(std::size_t worksheets);

    std::uint64_t values() const { return values_; }

private:
    void checkPartXmlBytes(std::uint64_t bytes) const;
    void checkSheetValues() const;

    std::uint64_t fileBytes_;
    std::string sheet_ = "the first worksheet";
    int sheetsStarted_ = 0;
    Allowance xmlByteAllowance_ = kXlsxXmlBytesPerFileByte;
    std::uint64_t values_ = 0;
    std::uint64_t repeatedValues_ = 0; // of values_
    std::uint64_t xmlElements_ = 0;
    std::uint64_t xmlBytes_ = 0;
    std::uint64_t partXmlBytes_ = 0;
    std::uint64_t partElements_ = 0;
    std::uint64_t partValues_ = 0;
    std::uint64_t partTextBytes_ = 0;
    std::optional<std::uint64_t> partBytesInFile_;
    std::uint64_t textBytes_ = 0;
};

} // namespace tarnwick
