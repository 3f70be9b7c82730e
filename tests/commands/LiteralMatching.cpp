#include "LiteralMatching.h"

#include "commands/TableOperations.h"
#include "core/text/IntegerText.h"

#include <cstdint>
#include <string>

namespace tarnwick::literal {
namespace {

void clearCellsOf(StringGrid& table) {
    table.clearCells();
}

std::string text(std::int64_t value) {
    return std::to_string(value);
}

void refuse(Workspace& w, UserMessages& messages, const std::string& message) {
    w.statusLine = "error";
    messages.showMessage(message);
    w.statusLine = "";
}

// The window's work tables: the pairs of loci and the comparison of one search haplotype.
struct WorkTables {
    StringGrid common{1, 3};
    StringGrid comparison{1, 5};
};

void fillSlots(Workspace& w, WorkTables& work, int n, int i, int pairs) {
    StringGrid& database = w.StringGrid1;
    StringGrid& common = work.common;
    StringGrid& comparison = work.comparison;
    StringGrid& result = w.StringGrid5;
    int ones = 0;
    for (int k = 0; k < pairs; ++k) {
        const std::string& cell = comparison.Cells(i, 3 + k);
        if (cell.empty() || cell == "0")
            continue;
        const int difference = parseIntegerText(cell);
        const std::string& name = database.Cells(parseIntegerText(common.Cells(k, 0)), 0);
        if (difference == 1) {
            ++ones;
            if (ones <= 3) {
                result.setCells(5 + 2 * (ones - 1), n, name);
                result.setCells(6 + 2 * (ones - 1), n, "1");
            }
        } else if (difference == 2) {
            result.setCells(7, n, name);
            result.setCells(8, n, "2");
        } else if (difference == 3) {
            result.setCells(9, n, name);
            result.setCells(10, n, "3");
        }
    }
}

void selectionSort(StringGrid& result, int n) {
    for (int k = 1; k <= n; ++k) {
        int j = k;
        for (int m = k; m <= n; ++m)
            if (parseIntegerText(result.Cells(3, m)) < parseIntegerText(result.Cells(3, j)))
                j = m;
        if (j != k)
            for (int c = 0; c < result.ColCount(); ++c) {
                const std::string a = result.Cells(c, k);
                result.setCells(c, k, result.Cells(c, j));
                result.setCells(c, j, a);
            }
    }
}

} // namespace

void calculate(Workspace& w, UserMessages& messages, const TextMeasurer& measurer) {
    StringGrid& database = w.StringGrid1;
    StringGrid& search = w.StringGrid2;
    WorkTables work;
    StringGrid& common = work.common;
    StringGrid& comparison = work.comparison;
    StringGrid& result = w.StringGrid5;
    if (w.databaseHasErrors || w.searchHasErrors) {
        w.statusLine = "";
        return;
    }
    if (w.stepLimit.empty())
        return refuse(w, messages, "nonselected step");
    if (database.Cells(0, 0).empty() || search.Cells(0, 0).empty())
        return refuse(w, messages, "data not load");
    bool anyPair = false;
    for (int u = 0; u < database.ColCount(); ++u)
        for (int t = 2; t < search.ColCount(); ++t)
            anyPair = anyPair || database.Cells(u, 0) == search.Cells(t, 0);
    if (!anyPair && database.RowCount() - 3 > 0 && search.RowCount() - 3 > 0)
        return refuse(w, messages, "no common loci");
    const std::int64_t limit = parseIntegerText(w.stepLimit);

    w.statusLine = "calculating, wait...";
    messages.showMessage("calculate with highlighted cells might take few minutes, press \"ok\"");
    result.setVisible(true);
    database.setVisible(false);
    search.setVisible(false);
    clearCellsOf(result);
    result.setColCount(1);
    result.setRowCount(2);
    result.setFixedRows(1);
    result.setVisible(true);
    w.StringGrid7.setVisible(false);
    int n = 0;
    int pairs = 0;
    for (int s = 1; s <= search.RowCount() - 3; ++s) {
        clearCellsOf(comparison);
        comparison.setColCount(1);
        comparison.setRowCount(5);
        clearCellsOf(common);
        common.setColCount(1);
        common.setRowCount(3);
        pairs = 0;
        for (int u = 0; u < database.ColCount(); ++u)
            for (int t = 2; t < search.ColCount(); ++t)
                if (database.Cells(u, 0) == search.Cells(t, 0)) {
                    common.setColCount(pairs + 1);
                    common.setCells(pairs, 0, text(u));
                    common.setCells(pairs, 1, text(t));
                    ++pairs;
                }
        comparison.setColCount(database.RowCount() - 3);
        comparison.setRowCount(pairs + 3);
        for (int d = 1; d <= database.RowCount() - 3; ++d) {
            const int i = d - 1;
            comparison.setCells(i, 0, "0");
            std::int64_t total = 0;
            int met = 0;
            bool within = true;
            for (int k = 0; k < pairs; ++k) {
                const int u = parseIntegerText(common.Cells(k, 0));
                const int t = parseIntegerText(common.Cells(k, 1));
                if (database.Cells(u, d).empty() || search.Cells(t, s).empty())
                    continue;
                const std::int64_t searchValue = parseIntegerText(search.Cells(t, s));
                const std::int64_t databaseValue = parseIntegerText(database.Cells(u, d));
                ++met;
                const std::int64_t diff = searchValue > databaseValue ? searchValue - databaseValue
                                                                      : databaseValue - searchValue;
                comparison.setCells(i, 3 + k, text(diff));
                total += diff;
                if (total > limit) {
                    comparison.setCells(i, 1, "net");
                    within = false;
                } else if (within) {
                    comparison.setCells(i, 1, text(d + 1));
                    comparison.setCells(i, 0,
                                        text(parseIntegerText(comparison.Cells(i, 0)) + diff));
                    comparison.setCells(i, 2, text(met));
                }
            }
        }
        result.setColCount(database.ColCount() + 11);
        for (int i = 0; i < comparison.ColCount(); ++i) {
            const std::string verdict = comparison.Cells(i, 1);
            if (verdict == "net" || verdict.empty())
                continue;
            const int d = i + 1;
            ++n;
            result.setRowCount(n + 1);
            result.setCells(2, n, comparison.Cells(i, 1));
            result.setCells(3, n, comparison.Cells(i, 0));
            result.setCells(4, n, comparison.Cells(i, 2));
            result.setCells(0, n, search.Cells(0, s));
            result.setCells(1, n, search.Cells(1, s));
            fillSlots(w, work, n, i, pairs);
            for (int u = 0; u < database.ColCount(); ++u) {
                result.setCells(11 + u, n, database.Cells(u, d));
                result.setCells(11 + u, 0, database.Cells(u, 0));
            }
            const char* headers[] = {
                "sample name",         "sample comment",        "number in database",
                "number of steps",     "number of common loci", "not matched marker1",
                "allele difference1",  "not matched marker2",   "allele difference2",
                "not matched marker3", "allele difference3"};
            for (int c = 0; c < 11; ++c)
                result.setCells(c, 0, headers[c]);
        }
        if (n >= 1) {
            fitColumnWidths(result, measurer);
            selectionSort(result, n);
        }
    }
    if (n == 0) {
        result.setFixedRows(0);
        result.setRowCount(1);
        result.setColCount(1);
        w.statusLine = "";
        messages.showMessage("not match");
        return;
    }
    w.statusLine = "";
    messages.showMessage(std::string(19, ' ') + "SUCCESFUL!!!\r\n" + text(pairs) +
                         " markers overlap with the database");
    w.enabled.Button4 = true;
    w.enabled.Save1 = true;
    w.enabled.Button5 = true;
    w.enabled.Button6 = false;
    w.statusLine = "";
}

void showByPopulations(Workspace& w, const TextMeasurer& measurer) {
    StringGrid& table = w.StringGrid7;
    StringGrid& result = w.StringGrid5;
    StringGrid& database = w.StringGrid1;
    StringGrid column(1, 1); // the population column table of the window's work tables
    table.clearCells();
    table.setRowCount(2);
    const char* headers[] = {
        "population name",    "population comments", "N(population sample size)", "exact matches",
        "one-step neighbors", "two-step neighbors",  "three-step neighbors"};
    for (int c = 0; c < 7; ++c)
        table.setCells(c, 0, headers[c]);
    const int R = result.RowCount() - 1;
    column.setRowCount(R);
    result.setVisible(false);
    table.setVisible(true);
    for (int r = 1; r <= R; ++r)
        column.setCells(0, r - 1, result.Cells(12, r));
    auto add = [&](int col, int row) {
        table.setCells(col, row, text(parseIntegerText(table.Cells(col, row)) + 1));
    };
    auto countSampleSize = [&](int p, const std::string& P) {
        for (int d = 1; d <= database.RowCount() - 1; ++d)
            if (database.Cells(1, d) == P)
                add(2, p);
    };
    int p = 0;
    for (int i = 0; i <= R - 1; ++i) {
        const std::string P = column.Cells(0, i);
        if (P.empty() || P == "0")
            continue;
        for (int j = 1; j <= column.RowCount() - 1; ++j)
            if (column.Cells(0, j) == P)
                column.setCells(0, j, "0");
        ++p;
        for (int c : {3, 4, 5, 6, 2})
            table.setCells(c, p, "0");
        table.setCells(0, p, P);
        for (int r = 1; r <= R; ++r) {
            if (result.Cells(12, r) != P)
                continue;
            const std::string& steps = result.Cells(3, r);
            if (steps == "0")
                add(3, p);
            if (steps == "1")
                add(4, p);
            if (steps == "2")
                add(5, p);
            if (steps == "3")
                add(6, p);
        }
        countSampleSize(p, P);
        table.setRowCount(table.RowCount() + 1);
    }
    table.setRowCount(table.RowCount() - 1);
    const int p1 = p;
    column.setRowCount(database.RowCount() - 1);
    for (int d = 1; d <= database.RowCount() - 1; ++d)
        column.setCells(0, d - 1, database.Cells(1, d));
    for (int i = 0; i <= column.RowCount() - 1; ++i) {
        const std::string P = column.Cells(0, i);
        if (P.empty() || P == "0")
            continue;
        for (int j = 1; j <= column.RowCount() - 1; ++j)
            if (column.Cells(0, j) == P)
                column.setCells(0, j, "0");
        bool listed = false;
        for (int q = 1; q <= p1; ++q)
            listed = listed || table.Cells(0, q) == P;
        if (listed)
            continue;
        ++p;
        table.setRowCount(table.RowCount() + 1);
        table.setCells(0, p, P);
        for (int c = 2; c <= 6; ++c)
            table.setCells(c, p, "0");
        countSampleSize(p, P);
    }
    fitColumnWidths(table, measurer);
    result.setVisible(false);
    table.setVisible(true);
    w.enabled.Button6 = true;
    w.enabled.Button5 = false;
}

} // namespace tarnwick::literal
