#include "core/table/RepeatedRows.h"

namespace tarnwick {

std::shared_ptr<const HaplotypeTable> withRepeatedRows(const HaplotypeTable& table,
                                                       std::span<const std::uint32_t> times) {
    HaplotypeTableBuilder builder(table.layout(), table.reading() == CellReading::Genotypes
                                                      ? CellReading::Genotypes
                                                      : CellReading::Integers);
    std::uint64_t rows = 1;
    for (const std::uint32_t t : times)
        rows += t;
    builder.expectRows(static_cast<long>(rows));
    builder.cover(static_cast<long>(rows), table.columns());
    for (int col = 0; col < table.columns(); ++col)
        builder.setText(0, col, table.title(col));
    std::string scratch;
    long row = 1;
    for (std::size_t h = 0; h < table.haplotypes() && h < times.size(); ++h)
        for (std::uint32_t copy = 0; copy < times[h]; ++copy, ++row)
            for (int col = 0; col < table.columns(); ++col)
                if (const auto text = table.cell(col, h, scratch); !text.empty())
                    builder.setText(row, col, text);
    return builder.finish().table;
}

} // namespace tarnwick
