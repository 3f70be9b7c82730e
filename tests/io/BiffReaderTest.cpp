#include "io/BiffReader.h"
#include "io/ReadError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace tarnwick {
namespace {

struct Recorder : SheetSink {
    std::map<std::pair<long, long>, std::string> cells;
    void value(long row, long col, const CellValue& v) override {
        static const char* kinds[] = {"empty", "number", "text", "bool", "date", "error"};
        std::string shown = kinds[static_cast<int>(v.kind)];
        shown += ":" + (v.kind == CellValue::Kind::Text || v.kind == CellValue::Kind::Error
                            ? std::string(v.text)
                            : std::to_string(v.number));
        cells[{row, col}] = shown;
    }
};

class Stream {
public:
    Stream& record(std::uint16_t type, const std::string& data) {
        u16(bytes_, type);
        u16(bytes_, static_cast<std::uint16_t>(data.size()));
        bytes_ += data;
        return *this;
    }
    const std::string& bytes() const { return bytes_; }

    static void u16(std::string& out, std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    }
    static void u32(std::string& out, std::uint32_t v) {
        u16(out, static_cast<std::uint16_t>(v & 0xFFFF));
        u16(out, static_cast<std::uint16_t>(v >> 16));
    }
    static std::string cell(int row, int col, int xf) {
        std::string out;
        u16(out, static_cast<std::uint16_t>(row));
        u16(out, static_cast<std::uint16_t>(col));
        u16(out, static_cast<std::uint16_t>(xf));
        return out;
    }
    static std::string f64(double v) {
        std::string out(8, '\0');
        std::memcpy(out.data(), &v, 8);
        return out;
    }
    static std::string compressed(const std::string& latin1) {
        std::string out;
        u16(out, static_cast<std::uint16_t>(latin1.size()));
        return out + '\0' + latin1;
    }

private:
    std::string bytes_;
};

std::string xf(int format) {
    std::string out;
    Stream::u16(out, 0);
    Stream::u16(out, static_cast<std::uint16_t>(format));
    return out + std::string(16, '\0');
}

TEST(BiffReader, ReadsTheCellRecordsOfAWorkbook) {
    Stream s;
    std::string bof;
    Stream::u16(bof, 0x0600);
    Stream::u16(bof, 0x0010);
    bof += std::string(12, '\0');
    s.record(0x0809, bof);
    std::string format;
    Stream::u16(format, 164);
    s.record(0x041E, format + Stream::compressed("yyyy\\-mm\\-dd"));
    for (int i = 0; i < 16; ++i)
        s.record(0x00E0, xf(0));
    s.record(0x00E0, xf(164)); // 16: custom date
    s.record(0x00E0, xf(14));  // 17: built-in date
    // Shared texts: "DYS19", then "Жук" whose second half continues in a CONTINUE record
    // written with two-byte characters.
    std::string sst;
    Stream::u32(sst, 2);
    Stream::u32(sst, 2);
    sst += Stream::compressed("DYS19");
    Stream::u16(sst, 3);
    sst += '\x01';
    sst += std::string("\x16\x04", 2);
    s.record(0x00FC, sst);
    s.record(0x003C, std::string("\x01\x43\x04\x3A\x04", 5));

    std::string labelSst = Stream::cell(0, 0, 15);
    Stream::u32(labelSst, 0);
    s.record(0x00FD, labelSst);
    labelSst = Stream::cell(0, 1, 15);
    Stream::u32(labelSst, 1);
    s.record(0x00FD, labelSst);
    s.record(0x0203, Stream::cell(1, 0, 15) + Stream::f64(14));
    s.record(0x0203, Stream::cell(1, 1, 16) + Stream::f64(45356));
    s.record(0x0203, Stream::cell(1, 2, 17) + Stream::f64(45356.5));
    std::string rk = Stream::cell(2, 0, 15);
    Stream::u32(rk, (17u << 2) | 0x02);
    s.record(0x027E, rk);
    rk = Stream::cell(2, 1, 15);
    Stream::u32(rk, (1725u << 2) | 0x03); // 17.25, stored times 100
    s.record(0x027E, rk);
    std::string mulrk;
    Stream::u16(mulrk, 3);
    Stream::u16(mulrk, 4);
    for (std::uint32_t v : {13u, 15u}) {
        Stream::u16(mulrk, 15);
        Stream::u32(mulrk, (v << 2) | 0x02);
    }
    Stream::u16(mulrk, 5);
    s.record(0x00BD, mulrk);
    s.record(0x0205, Stream::cell(4, 0, 15) + std::string("\x01\x00", 2));
    s.record(0x0205, Stream::cell(4, 1, 15) + std::string("\x2A\x01", 2));
    const std::string formulaTail = std::string(6, '\0');
    s.record(0x0006, Stream::cell(5, 0, 15) + std::string("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) +
                         formulaTail);
    s.record(0x0207, Stream::compressed("S2x"));
    s.record(0x0006, Stream::cell(5, 1, 15) + std::string("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8) +
                         formulaTail);
    s.record(0x0006, Stream::cell(5, 2, 15) + std::string("\x02\x00\x07\x00\x00\x00\xFF\xFF", 8) +
                         formulaTail);
    s.record(0x0006, Stream::cell(5, 3, 15) + Stream::f64(17) + formulaTail);
    std::string label = Stream::cell(6, 0, 15);
    Stream::u16(label, 2);
    label += '\x01';
    label += std::string("\x16\x04\x16\x04", 4);
    s.record(0x0204, label);
    s.record(0x000A, "");
    s.record(0x0203, Stream::cell(9, 9, 15) + Stream::f64(99)); // after EOF: not read

    Recorder r;
    readPlainBiffStream(s.bytes(), r);
    const std::map<std::pair<long, long>, std::string> expected{
        {{0, 0}, "text:DYS19"},        {{0, 1}, "text:Жук"},          {{1, 0}, "number:14.000000"},
        {{1, 1}, "date:45356.000000"}, {{1, 2}, "date:45356.500000"}, {{2, 0}, "number:17.000000"},
        {{2, 1}, "number:17.250000"},  {{3, 4}, "number:13.000000"},  {{3, 5}, "number:15.000000"},
        {{4, 0}, "bool:1.000000"},     {{4, 1}, "error:#N/A"},        {{5, 0}, "text:S2x"},
        {{5, 1}, "bool:1.000000"},     {{5, 2}, "error:#DIV/0!"},     {{5, 3}, "number:17.000000"},
        {{6, 0}, "text:ЖЖ"},
    };
    EXPECT_EQ(r.cells, expected);
}

TEST(BiffReader, RecognisesBeginningOfFileRecords) {
    EXPECT_TRUE(startsWithBiffBof(std::string("\x09\x08\x08\x00\x00\x00\x10\x00", 8)));
    EXPECT_TRUE(startsWithBiffBof(std::string("\x09\x00\x04\x00\x00\x00\x10\x00", 8)));
    EXPECT_FALSE(startsWithBiffBof("Sample,DYS19\n"));
    EXPECT_FALSE(startsWithBiffBof(std::string("\x09\x08\xFF\x00\x00\x00\x10\x00", 8)));
}

TEST(BiffReader, DamageIsAReadError) {
    Stream s;
    s.record(0x0809, std::string(8, '\0'));
    std::string bytes = s.bytes() + std::string("\x04\x02\x40\x00\x01", 5); // cut LABEL
    Recorder r;
    EXPECT_THROW(readPlainBiffStream(bytes, r), ReadError);
    Stream sstOnly;
    sstOnly.record(0x0809, std::string("\x00\x06\x10\x00", 4) + std::string(12, '\0'));
    std::string badIndex = Stream::cell(0, 0, 0);
    Stream::u32(badIndex, 5);
    sstOnly.record(0x00FD, badIndex);
    EXPECT_THROW(readPlainBiffStream(sstOnly.bytes(), r), ReadError);
}

} // namespace
} // namespace tarnwick
