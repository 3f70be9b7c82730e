#include "io/SheetReader.h"

#include "io/BiffReader.h"
#include "io/CompoundFileDirectory.h"
#include "io/DelimitedTextReader.h"
#include "io/GsfHandles.h"
#include "io/OdsReader.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/XlsxReader.h"
#include "io/ZipDirectory.h"

#include <gsf/gsf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tarnwick {
namespace {

constexpr std::string_view kOle2Magic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kZipMagic = "PK\x03\x04";

// Only regular files are read: a named pipe would wait for a writer forever, and devices and
// sockets hold no workbook.
void checkRegularFile(const struct stat& status) {
    if (S_ISREG(status.st_mode))
        return;
    if (S_ISDIR(status.st_mode))
        throw ReadError("it is a folder, not a file");
    if (S_ISFIFO(status.st_mode))
        throw ReadError("it is a named pipe, not a file");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        throw ReadError("it is a device, not a file");
    if (S_ISSOCK(status.st_mode))
        throw ReadError("it is a socket, not a file");
    throw ReadError("it is not a regular file");
}

constexpr const char* kTooLarge = "the file is larger than 1 GB, more than Tarnwick reads";

// A regular file of at most 1 GB: its size is checked before any of it is read, so that a huge
// file is refused at once whatever its format, and never met by a failed allocation.
void checkReadableFile(const struct stat& status) {
    checkRegularFile(status);
    if (static_cast<std::uint64_t>(status.st_size) > kMaxFileBytes)
        throw ReadError(kTooLarge);
}

// The file, opened without waiting and checked again once open, so that nothing can swap it
// for a pipe in between.
class OpenFile {
public:
    explicit OpenFile(const std::string& path) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0)
            throw ReadError(std::strerror(errno));
        checkReadableFile(status);
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            throw ReadError(std::strerror(errno));
        if (::fstat(fd_, &status) != 0) {
            const int error = errno;
            ::close(fd_);
            throw ReadError(std::strerror(error));
        }
        size_ = static_cast<std::uint64_t>(status.st_size);
        try {
            checkReadableFile(status);
        } catch (...) {
            ::close(fd_);
            throw;
        }
    }
    ~OpenFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::uint64_t size() const { return size_; }
    int descriptor() const { return fd_; }

    // Up to count bytes from the current position; fewer only at the end of the file. Files such
    // as those of /proc tell no size, so the end is where reading stops.
    std::string read(std::size_t count) {
        std::string bytes;
        char buffer[1 << 16];
        while (bytes.size() < count) {
            const std::size_t got = readSome(buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got == 0)
                break;
            bytes.append(buffer, got);
        }
        return bytes;
    }

    // Appends the rest of the file to bytes, read straight into place. The size the file told
    // when opened was checked; one that tells none, or grows, is checked as it is read.
    void readRest(std::string& bytes) {
        std::size_t size = bytes.size();
        bytes.resize(std::max<std::size_t>(size + (1 << 16), size_ + 1));
        for (;;) {
            if (size == bytes.size())
                bytes.resize(std::min(2 * size, kMaxFileBytes + 1));
            const std::size_t got = readSome(bytes.data() + size, bytes.size() - size);
            if (got == 0)
                break;
            size += got;
            if (size > kMaxFileBytes)
                throw ReadError(kTooLarge);
        }
        bytes.resize(size);
    }

    // Hands the open file to libgsf, which then owns it.
    GsfPtr<GsfInput> gsfInput(const std::string& path) {
        ensureGsfInitialised();
        ::lseek(fd_, 0, SEEK_SET);
        FILE* file = ::fdopen(fd_, "rb");
        if (!file)
            throw ReadError(std::strerror(errno));
        fd_ = -1;
        GsfPtr<GsfInput> input(gsf_input_stdio_new_FILE(path.c_str(), file, FALSE));
        if (!input)
            throw ReadError("the file cannot be opened");
        return input;
    }

private:
    // Up to count bytes into buffer, 0 at the end of the file; an interrupted read is retried.
    std::size_t readSome(char* buffer, std::size_t count) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, count);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                throw ReadError("the file cannot be read: " + std::string(std::strerror(errno)));
        }
    }

    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Opens a file as a libgsf container (an OLE2 compound file or a ZIP package).
GsfPtr<GsfInfile> openContainer(GsfPtr<GsfInput> input, GsfInfile* (*open)(GsfInput*, GError**),
                                const char* brokenWhat) {
    GError* error = nullptr;
    GsfPtr<GsfInfile> container(open(input.get(), &error));
    if (error)
        g_error_free(error);
    if (!container)
        throwDamaged(std::string("its ") + brokenWhat + " structure is broken");
    return container;
}

void readOle2Workbook(GsfPtr<GsfInput> input, SheetSink& sink) {
    const auto ole = openContainer(std::move(input), gsf_infile_msole_new, "compound-file");
    if (GsfPtr<GsfInput>(gsf_infile_child_by_name(ole.get(), "EncryptedPackage")))
        throwPasswordProtected();
    GsfPtr<GsfInput> stream(gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!stream)
        stream.reset(gsf_infile_child_by_name(ole.get(), "Book"));
    if (!stream) {
        // Other Office documents name their main stream; a workbook whose directory lost its
        // stream is damaged.
        for (const char* other : {"WordDocument", "PowerPoint Document", "VisioDocument"})
            if (GsfPtr<GsfInput>(gsf_infile_child_by_name(ole.get(), other)))
                throw ReadError("it is an Office document but not a spreadsheet workbook");
        throwDamaged("its compound-file directory holds no workbook stream");
    }
    readBiffWorkbookStream(readWholeInput(stream.get(), kMaxFileBytes), sink);
}

void readZipWorkbook(GsfPtr<GsfInput> input, const std::optional<ZipDirectory>& directory,
                     SheetSink& sink, ReadBudget& budget) {
    // libgsf finds no package behind a comment of 65,500 bytes or more: it gets the package
    // without it.
    if (directory &&
        directory->packageEnd() < static_cast<std::uint64_t>(gsf_input_size(input.get())))
        input.reset(gsf_input_proxy_new_section(input.get(), 0,
                                                static_cast<gsf_off_t>(directory->packageEnd())));
    if (!input)
        throwDamaged("its ZIP structure is broken");
    const auto zip = openContainer(std::move(input), gsf_infile_zip_new, "ZIP");
    if (directory)
        attachZipDirectory(zip.get(), *directory);
    if (isOdsPackage(zip.get()))
        readOdsWorkbook(zip.get(), sink, budget);
    else if (isXlsxPackage(zip.get()))
        readXlsxWorkbook(zip.get(), sink, budget);
    else
        throw ReadError("it is a ZIP archive but not a spreadsheet workbook");
}

// Checks every value on its way from a format's reader to the sink: its place on the sheet, and
// the budget of values and text. It also tells the budget which worksheet is read.
class CheckedSink : public SheetSink {
public:
    CheckedSink(SheetSink& target, ReadBudget& budget) : target_(target), budget_(budget) {}

    bool beginSheet(int index, std::string_view name) override {
        const bool wanted = target_.beginSheet(index, name);
        if (wanted)
            budget_.startSheet(index, name);
        return wanted;
    }

    void value(long row, long col, const CellValue& value) override {
        if (value.kind == CellValue::Kind::Empty)
            return;
        if (row < 0 || col < 0)
            throwDamaged("a cell lies before A1");
        if (row >= kMaxSheetRows)
            throw ReadError(budget_.sheet() + " has more than 1048576 rows");
        if (col >= kMaxSheetColumns)
            throw ReadError(budget_.sheet() + " has more than 16384 columns");
        budget_.countValue();
        if (!value.text.empty()) {
            ReadBudget::checkCellText(value.text.size(), row, col);
            budget_.countText(value.text.size());
        }
        target_.value(row, col, value);
    }

    // Counted by how many cells the block covers, but not against the allowance of the part
    // that gives it: a repeat costs the reader nothing, and the values the sheet may hold bound it.
    void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) override {
        if (value.kind == CellValue::Kind::Empty || rows <= 0 || cols <= 0)
            return;
        if (row < 0 || col < 0)
            throwDamaged("a cell lies before A1");
        if (row + rows > kMaxSheetRows)
            throw ReadError(budget_.sheet() + " has more than 1048576 rows");
        if (col + cols > kMaxSheetColumns)
            throw ReadError(budget_.sheet() + " has more than 16384 columns");
        const auto cells = static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols);
        budget_.countRepeatedValues(cells);
        if (!value.text.empty()) {
            ReadBudget::checkCellText(value.text.size(), row, col);
            budget_.countText(value.text.size() * cells);
        }
        target_.repeatedValue(row, rows, col, cols, value);
    }

    void expectRows(long rows) override { target_.expectRows(std::min(rows, kMaxSheetRows)); }

private:
    SheetSink& target_;
    ReadBudget& budget_;
};

} // namespace

void readSheets(const std::string& path, SheetSink& sink) {
    try {
        OpenFile file(path);
        ReadBudget budget(file.size());
        CheckedSink checked(sink, budget);
        std::string bytes = file.read(kOle2Magic.size());
        const LibraryMessagesDropped quiet;
        if (bytes.starts_with(kOle2Magic)) {
            checkCompoundFileDirectory(file.descriptor(), file.size());
            readOle2Workbook(file.gsfInput(path), checked);
        } else if (bytes.starts_with(kZipMagic)) {
            const auto directory = ZipDirectory::read(file.descriptor(), file.size());
            readZipWorkbook(file.gsfInput(path), directory, checked, budget);
        } else if (checked.beginSheet(0, "")) {
            // A file of one sheet is read only when that sheet is wanted.
            file.readRest(bytes);
            if (startsWithBiffBof(bytes))
                readPlainBiffStream(bytes, checked);
            else
                readDelimitedText(std::move(bytes), checked);
        }
    } catch (const ReadError& error) {
        throw Error("Cannot read \"" + path + "\": " + error.what());
    } catch (const std::bad_alloc&) {
        throw Error("Cannot read \"" + path + "\": it is too large for the memory available");
    }
}

void readFirstSheet(const std::string& path, SheetSink& sink) {
    // The sink learns the first worksheet's name and may decline it; it is not asked about others.
    class FirstSheetOnly : public SheetSink {
    public:
        explicit FirstSheetOnly(SheetSink& target) : target_(target) {}
        bool beginSheet(int index, std::string_view name) override {
            return index == 0 && target_.beginSheet(index, name);
        }
        void value(long row, long col, const CellValue& value) override {
            target_.value(row, col, value);
        }
        void repeatedValue(long row, long rows, long col, long cols,
                           const CellValue& value) override {
            target_.repeatedValue(row, rows, col, cols, value);
        }
        void expectRows(long rows) override { target_.expectRows(rows); }

    private:
        SheetSink& target_;
    } first(sink);
    readSheets(path, first);
}

} // namespace tarnwick
