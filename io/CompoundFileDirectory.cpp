#include "io/CompoundFileDirectory.h"

#include "io/ReadError.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

// The layout of [MS-CFB] 2.2 (header) and 2.6 (directory entries).
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// A walk this deep follows links no workbook writer makes (a few storages, siblings in a
// balanced tree or a short list), and stays far from the stack libgsf's recursion needs.
constexpr int kMaxWalkDepth = 1000;

[[noreturn]] void throwBrokenDirectory(const std::string& what) {
    throwDamaged("its compound-file directory " + what);
}

std::uint32_t little32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

class SectorReader {
public:
    SectorReader(int fd, std::uint64_t size, std::size_t sectorSize)
        : fd_(fd), size_(size), sectorSize_(sectorSize) {}

    // Sector 0 follows the header, which fills the first sector's room.
    std::uint64_t sectorCount() const {
        const std::uint64_t rooms = (size_ + sectorSize_ - 1) / sectorSize_;
        return rooms > 0 ? rooms - 1 : 0;
    }

    // A sector's bytes; a sector past the end of the file is damage.
    std::string sector(std::uint32_t number) const {
        if (number >= sectorCount())
            throwBrokenDirectory("refers to a sector past the end of the file");
        std::string bytes(sectorSize_, '\0');
        const auto offset = static_cast<off_t>((std::uint64_t{number} + 1) * sectorSize_);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::pread(fd_, bytes.data() + done, bytes.size() - done,
                                        offset + static_cast<off_t>(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw ReadError("the file cannot be read: " + std::string(std::strerror(errno)));
            if (got == 0)
                break; // a last sector cut short reads as zeros
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    }

    std::size_t sectorSize() const { return sectorSize_; }

private:
    int fd_;
    std::uint64_t size_;
    std::size_t sectorSize_;
};

// The file allocation table: for each sector, the next of its chain.
std::vector<std::uint32_t> allocationTable(const SectorReader& reader, const std::string& header) {
    const std::size_t perSector = reader.sectorSize() / 4;
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i) {
        const std::uint32_t sector = little32(header.data() + 76 + 4 * i);
        if (sector <= kLastRegularSector)
            fatSectors.push_back(sector);
    }
    std::uint32_t difat = little32(header.data() + 68);
    for (std::uint64_t hops = 0; difat <= kLastRegularSector; ++hops) {
        if (hops > reader.sectorCount())
            throwBrokenDirectory("lies in a chain of sectors that loops");
        const std::string bytes = reader.sector(difat);
        for (std::size_t i = 0; i + 1 < perSector; ++i) {
            const std::uint32_t sector = little32(bytes.data() + 4 * i);
            if (sector <= kLastRegularSector)
                fatSectors.push_back(sector);
        }
        difat = little32(bytes.data() + 4 * (perSector - 1));
    }
    // More table than sectors to describe is damage, and would only cost memory.
    if (fatSectors.size() > reader.sectorCount() / perSector + 1)
        throwBrokenDirectory("has a sector table larger than the file");
    std::vector<std::uint32_t> table;
    table.reserve(fatSectors.size() * perSector);
    for (const std::uint32_t sector : fatSectors) {
        const std::string bytes = reader.sector(sector);
        for (std::size_t i = 0; i < perSector; ++i)
            table.push_back(little32(bytes.data() + 4 * i));
    }
    return table;
}

// The directory's entries, read along its chain of sectors.
std::string directoryBytes(const SectorReader& reader, const std::string& header) {
    const std::vector<std::uint32_t> table = allocationTable(reader, header);
    std::string entries;
    std::uint32_t sector = little32(header.data() + 48);
    for (std::uint64_t hops = 0; sector <= kLastRegularSector; ++hops) {
        if (hops > reader.sectorCount())
            throwBrokenDirectory("lies in a chain of sectors that loops");
        entries += reader.sector(sector);
        if (sector >= table.size())
            throwBrokenDirectory("refers to a sector the sector table does not describe");
        sector = table[sector];
    }
    return entries;
}

// Walks from the root entry by its child, left and right links, as libgsf's recursion does.
void walk(const std::string& entries) {
    const std::size_t count = entries.size() / kEntrySize;
    if (count == 0)
        throwBrokenDirectory("is empty");
    std::vector<bool> seen(count, false);
    std::vector<std::pair<std::uint32_t, int>> pending{{0, 0}}; // entry, depth
    while (!pending.empty()) {
        const auto [entry, depth] = pending.back();
        pending.pop_back();
        if (entry >= count)
            throwBrokenDirectory("links to an entry it does not hold");
        if (seen[entry])
            throwBrokenDirectory("links an entry twice");
        if (depth > kMaxWalkDepth)
            throwBrokenDirectory("nests or chains its entries more than " +
                                 std::to_string(kMaxWalkDepth) + " deep");
        seen[entry] = true;
        const char* bytes = entries.data() + std::size_t{entry} * kEntrySize;
        for (const std::size_t link : {std::size_t{68}, std::size_t{72}, std::size_t{76}}) {
            const std::uint32_t next = little32(bytes + link);
            if (next != kNoStream && !(entry == 0 && link != 76)) // the root has no siblings
                pending.emplace_back(next, depth + 1);
        }
    }
}

} // namespace

void checkCompoundFileDirectory(int fd, std::uint64_t size) {
    std::string header(kHeaderSize, '\0');
    if (::pread(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
        throwDamaged("its compound-file header is cut short");
    const unsigned shift = static_cast<unsigned char>(header[30]) |
                           static_cast<unsigned>(static_cast<unsigned char>(header[31])) << 8;
    if (shift != 9 && shift != 12)
        throwDamaged("its compound-file header gives sectors of an unknown size");
    walk(directoryBytes(SectorReader(fd, size, std::size_t{1} << shift), header));
}

} // namespace tarnwick
