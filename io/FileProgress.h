#pragma once

#include "io/CellValue.h"

#include <cstdint>
#include <functional>

namespace tarnwick {

// Told now and then how far a read or a write is (done of total; total 0 when it is not known).
// It stops the work by raising an exception, which passes out of the reader or writer; a writer
// removes what it had half written first.
using FileProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Passes a sheet's values on to its target and reports the rows read, of the rows the reader
// expects when it says (delimited text does), every few thousand values.
class ProgressSink : public SheetSink {
public:
    ProgressSink(SheetSink& target, const FileProgress& progress)
        : target_(target), progress_(progress) {}

    bool beginSheet(int index, std::string_view name) override {
        return target_.beginSheet(index, name);
    }
    void expectRows(long rows) override {
        expectedRows_ = rows > 0 ? static_cast<std::uint64_t>(rows) : 0;
        target_.expectRows(rows);
    }
    void value(long row, long col, const CellValue& value) override {
        if (progress_ && ++values_ % kValuesPerReport == 0)
            progress_(static_cast<std::uint64_t>(row), expectedRows_);
        target_.value(row, col, value);
    }
    void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) override {
        if (progress_) {
            const std::uint64_t before = values_ / kValuesPerReport;
            values_ += static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols);
            if (values_ / kValuesPerReport != before)
                progress_(static_cast<std::uint64_t>(row), expectedRows_);
        }
        target_.repeatedValue(row, rows, col, cols, value);
    }

private:
    // Often enough to stop within a few milliseconds, seldom enough to cost nothing.
    static constexpr std::uint64_t kValuesPerReport = 4096;

    SheetSink& target_;
    const FileProgress& progress_;
    std::uint64_t expectedRows_ = 0;
    std::uint64_t values_ = 0;
};

} // namespace tarnwick
