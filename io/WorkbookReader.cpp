#include "io/WorkbookReader.h"

#include "io/ReadError.h"
#include "io/SheetReader.h"
#include "io/TableCollector.h"
#include "io/ValueText.h"

namespace tarnwick {

HaplotypeTableBuilder::Result readHaplotypeTable(const std::string& fileName, TableLayout layout,
                                                 CellReading reading,
                                                 const FileProgress& progress) {
    HaplotypeTableBuilder builder(layout, reading);
    TableCollector sheet(builder,
                         reading == CellReading::Genotypes ? '.' : localeDecimalSeparator());
    ProgressSink reported(sheet, progress);
    readFirstSheet(fileName, reported);
    const auto fail = [&](const std::string& why) {
        throw Error("Cannot read \"" + fileName + "\": " + why);
    };
    if (builder.rows() == 0)
        fail("its first worksheet holds no table");
    if (builder.rows() == 1 && builder.cols() == 1)
        fail("its first worksheet holds a single cell, A1, and no table");
    return builder.finish();
}

} // namespace tarnwick
