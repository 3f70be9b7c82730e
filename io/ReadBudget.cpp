#include "io/ReadBudget.h"

#include "core/text/CellReference.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"

#include <string>

namespace tarnwick {
namespace {

std::string megabytes(std::uint64_t bytes) {
    return std::to_string(bytes >> 20) + " MB";
}

// The tail of each refusal: what such a file is.
constexpr const char* kCrafted = "; the file is damaged or made to exhaust the reader";

} // namespace

void ReadBudget::startSheet(int index, std::string_view name) {
    sheet_ = worksheetPhrase(index, name);
    ++sheetsStarted_;
}

void ReadBudget::countValue() {
    ++values_;
    ++partValues_;
    checkSheetValues();
    if (partBytesInFile_ && partValues_ > kValuesPerFileByte.allowed(*partBytesInFile_))
        throw ReadError("a part of it holds more values than a part of its size can (1000000 "
                        "and 4 per byte the part takes in the file)" +
                        std::string(kCrafted));
    if (values_ - repeatedValues_ > kValuesPerFileByte.allowed(fileBytes_))
        throw ReadError("it holds more values than a file of its size can (1000000 and 4 per "
                        "byte of the file)" +
                        std::string(kCrafted));
}

void ReadBudget::countRepeatedValues(std::uint64_t values) {
    values_ += values;
    repeatedValues_ += values;
    checkSheetValues();
}

void ReadBudget::checkSheetValues() const {
    if (values_ > kMaxSheetValues)
        throw ReadError((sheetsStarted_ > 1 ? std::string("the worksheets read") : sheet_) +
                        (sheetsStarted_ > 1 ? " hold" : " holds") + " more than 50000000 values");
}

void ReadBudget::countXmlElement() {
    ++partElements_;
    if (partBytesInFile_ && partElements_ > kXmlElementsPerFileByte.allowed(*partBytesInFile_) +
                                                kXmlElementsPerValue * partValues_)
        throw ReadError("a part of its XML holds more elements than a part of its size can "
                        "(4000000, 2 per byte the part takes in the file and 8 per value)" +
                        std::string(kCrafted));
    // Values a repeat count gives take no elements of their own: they allow none.
    if (++xmlElements_ > kXmlElementsPerFileByte.allowed(fileBytes_) +
                             kXmlElementsPerValue * (values_ - repeatedValues_))
        throw ReadError("its XML holds more elements than a workbook of its size can (4000000, "
                        "2 per byte of the file and 8 per value)" +
                        std::string(kCrafted));
}

void ReadBudget::startXmlPart(std::optional<std::uint64_t> bytesInFile) {
    partXmlBytes_ = 0;
    partElements_ = 0;
    partValues_ = 0;
    partTextBytes_ = 0;
    partBytesInFile_ = bytesInFile;
}

void ReadBudget::checkPartXmlBytes(std::uint64_t bytes) const {
    if (!partBytesInFile_)
        return;
    const std::uint64_t partAllowed = xmlByteAllowance_.allowed(*partBytesInFile_);
    if (bytes > partAllowed)
        throw ReadError("a part of its XML inflates to more than " + megabytes(partAllowed) +
                        " (256 MB and " + std::to_string(xmlByteAllowance_.perUnit) +
                        " bytes per byte the part takes in the file)" + kCrafted);
}

void ReadBudget::expectXmlBytes(std::uint64_t bytes) const {
    checkPartXmlBytes(bytes);
}

void ReadBudget::countXmlBytes(std::size_t bytes) {
    xmlBytes_ += bytes;
    partXmlBytes_ += bytes;
    checkPartXmlBytes(partXmlBytes_);
    const std::uint64_t allowed = xmlByteAllowance_.allowed(fileBytes_);
    if (xmlBytes_ > allowed)
        throw ReadError("its XML inflates to more than " + megabytes(allowed) + " (256 MB and " +
                        std::to_string(xmlByteAllowance_.perUnit) + " bytes per byte of the file)" +
                        kCrafted);
}

void ReadBudget::countText(std::size_t bytes) {
    textBytes_ += bytes;
    partTextBytes_ += bytes;
    if (partBytesInFile_) {
        const std::uint64_t partAllowed = kTextBytesPerFileByte.allowed(*partBytesInFile_);
        if (partTextBytes_ > partAllowed)
            throw ReadError("a part of it yields more than " + megabytes(partAllowed) +
                            " of text (256 MB and 16 bytes per byte the part takes in the file)" +
                            kCrafted);
    }
    const std::uint64_t allowed = kTextBytesPerFileByte.allowed(fileBytes_);
    if (textBytes_ > allowed)
        throw ReadError("its cells hold more than " + megabytes(allowed) +
                        " of text (256 MB and 16 bytes per byte of the file)" + kCrafted);
}

void ReadBudget::checkCellText(std::size_t bytes, long row, long col) {
    if (bytes > kMaxCellTextBytes)
        throw ReadError("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) +
                        " holds more than 262144 bytes of text, more than Tarnwick reads in one "
                        "cell");
}

void ReadBudget::checkWorksheetCount(std::size_t worksheets) {
    if (worksheets > kMaxWorksheets)
        throw ReadError("the workbook holds more than 65536 worksheets, more than Tarnwick reads" +
                        std::string(kCrafted));
}

} // namespace tarnwick
