// The domain's matching on generated tables of realistic diversity: each row of the targets for a
// million haplotypes, the comparison kernel at each level, the comparison copy of the database and
// the writing of a large by-haplotype result.
#include "core/matching/ByHaplotypeTable.h"
#include "core/matching/GenotypeMatching.h"
#include "core/matching/Matching.h"
#include "core/matching/PairedColumns.h"
#include "core/matching/kernel/ByteKernel.h"
#include "core/matching/kernel/MatchKernel.h"
#include "core/statistics/Diversity.h"
#include "core/statistics/MatchProbabilities.h"
#include "io/DelimitedTextWriter.h"
#include "tools/HaplotypeGenerator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tarnwick {
namespace {

// Tables made once per process and size.
const GeneratedTables& tablesOf(const GeneratorOptions& options) {
    static std::map<std::tuple<int, int, int>, GeneratedTables> made;
    const auto key = std::tuple(options.databaseHaplotypes, options.searchHaplotypes,
                                options.foundersPerPopulation);
    auto found = made.find(key);
    if (found == made.end())
        found = made.emplace(key, generateTables(options)).first;
    return found->second;
}

// Arguments: database haplotypes, search haplotypes, step limit. Wall time and the CPU time of
// all the threads.
void BM_Match(benchmark::State& state) {
    const auto& tables = tablesOf(
        diverseOptions(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    std::size_t rows = 0;
    for (auto _ : state)
        rows = match(*tables.database, *tables.search, state.range(2)).matches.size();
    state.counters["result rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_Match)
    ->Args({100000, 1000, 3})
    ->Args({100000, 10000, 10})
    ->Args({100000, 1000, 0})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The same tables read by the genotype reading (made once).
const GeneratedTables& genotypeTablesOf(const GeneratorOptions& options) {
    static std::map<std::pair<int, int>, GeneratedTables> made;
    const auto key = std::pair(options.databaseHaplotypes, options.searchHaplotypes);
    if (auto found = made.find(key); found != made.end())
        return found->second;
    const auto reread = [](const HaplotypeTable& table) {
        HaplotypeTableBuilder builder(table.layout(), CellReading::Genotypes);
        std::string scratch;
        for (int row = 0; row < table.rowCount(); ++row)
            for (int col = 0; col < table.columnCount(); ++col)
                if (const auto text = table.text(col, row, scratch); !text.empty())
                    builder.setText(row, col, text);
        builder.cover(table.rowCount(), table.columnCount());
        return builder.finish().table;
    };
    const auto& tables = tablesOf(options);
    return made.emplace(key, GeneratedTables{reread(*tables.database), reread(*tables.search)})
        .first->second;
}

// The genotype reading's matching beside BM_Match on the same tables.
void BM_MatchGenotypes(benchmark::State& state) {
    const auto& tables = genotypeTablesOf(
        diverseOptions(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    std::size_t rows = 0;
    for (auto _ : state)
        rows = matchGenotypes(*tables.database, *tables.search, state.range(2)).matches.size();
    state.counters["result rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_MatchGenotypes)
    ->Args({100000, 1000, 3})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Haplotypes of 20 loci descended from 200 founders by a few one-step mutations, as the
// kernels take them: database (100,000) and search (1,000) alike, 1 in 20 values untyped.
struct KernelInput {
    static constexpr std::size_t kLoci = 20;
    std::vector<std::vector<std::int16_t>> database;
    std::vector<SearchLoci> searches;
};

const KernelInput& kernelInput() {
    static const KernelInput input = [] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> repeats(9, 40);
        std::uniform_int_distribution<std::size_t> loci(0, KernelInput::kLoci - 1);
        std::vector<std::vector<std::int16_t>> founders(200);
        for (auto& founder : founders)
            for (std::size_t k = 0; k < KernelInput::kLoci; ++k)
                founder.push_back(static_cast<std::int16_t>(repeats(random)));
        const auto descendant = [&] {
            auto haplotype = founders[random() % founders.size()];
            for (int mutation = 0; mutation < 3; ++mutation) {
                const int step = random() % 2 == 0 ? 1 : -1;
                const std::size_t k = loci(random);
                haplotype[k] = static_cast<std::int16_t>(haplotype[k] + step);
            }
            if (random() % 20 == 0)
                haplotype[loci(random)] = LocusBlocks::kUntyped;
            return haplotype;
        };
        KernelInput made;
        for (int h = 0; h < 100000; ++h)
            made.database.push_back(descendant());
        for (int s = 0; s < 1000; ++s) {
            const auto haplotype = descendant();
            SearchLoci search;
            for (std::size_t k = 0; k < KernelInput::kLoci; ++k)
                if (haplotype[k] != LocusBlocks::kUntyped) {
                    search.loci.push_back(static_cast<std::uint32_t>(k));
                    search.values.push_back(haplotype[k]);
                }
            made.searches.push_back(std::move(search));
        }
        return made;
    }();
    return input;
}

// The kernels alone, on one thread, at the level matching uses (TARNWICK_KERNEL chooses
// another): 16-bit lanes (0) or 8-bit ones (1), limit 3, the search haplotypes 100 at a time.
void BM_CompareBlocks(benchmark::State& state) {
    const KernelInput& input = kernelInput();
    const std::size_t haplotypes = input.database.size();
    LocusBlocks words(haplotypes, KernelInput::kLoci);
    ByteBlocks bytes(haplotypes, std::vector<std::int16_t>(KernelInput::kLoci, 0));
    for (std::size_t h = 0; h < words.blocks() * LocusBlocks::kLanes; ++h)
        for (std::size_t k = 0; k < KernelInput::kLoci; ++k) {
            const std::int16_t v = h < haplotypes ? input.database[h][k] : LocusBlocks::kUntyped;
            words.at(h / LocusBlocks::kLanes, k)[h % LocusBlocks::kLanes] = v;
        }
    for (std::size_t h = 0; h < bytes.blocks() * ByteBlocks::kLanes; ++h)
        for (std::size_t k = 0; k < KernelInput::kLoci; ++k) {
            const std::int16_t v = h < haplotypes ? input.database[h][k] : LocusBlocks::kUntyped;
            bytes.at(h / ByteBlocks::kLanes, k)[h % ByteBlocks::kLanes] =
                v == LocusBlocks::kUntyped ? ByteBlocks::kUntyped : static_cast<std::uint8_t>(v);
        }
    constexpr std::size_t kBatch = 100;
    const KernelLevel level = kernelLevel();
    std::size_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (std::size_t first = 0; first < input.searches.size(); first += kBatch) {
            std::vector<std::vector<KernelMatch>> matches(kBatch);
            if (state.range(0) == 0)
                compareBlocks(words, 0, words.blocks(), &input.searches[first], kBatch, 3, true,
                              matches.data(), level);
            else
                compareByteBlocks(bytes, 0, bytes.blocks(), &input.searches[first], kBatch, 3, true,
                                  matches.data(), level);
            for (const auto& list : matches)
                found += list.size();
        }
    }
    state.counters["matches"] = static_cast<double>(found);
    state.SetLabel(std::string(kernelLevelName(level)));
}
BENCHMARK(BM_CompareBlocks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The database's paired columns read and laid out in the kernel's blocks.
void BM_ComparisonCopy(benchmark::State& state) {
    const auto& tables = tablesOf(diverseOptions(static_cast<int>(state.range(0)), 1));
    const auto pairs = pairLoci(*tables.database, *tables.search);
    for (auto _ : state) {
        PairedColumns columns(*tables.database, *tables.search, pairs);
        benchmark::DoNotOptimize(columns.useKernel(3));
    }
}
BENCHMARK(BM_ComparisonCopy)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Match probabilities of 1,000 search haplotypes in 100,000 database haplotypes.
void BM_MatchProbabilities(benchmark::State& state) {
    const auto& tables = tablesOf(diverseOptions(100000, 1000));
    std::size_t rows = 0;
    for (auto _ : state)
        rows = matchProbabilities(*tables.database, *tables.search, 0.95).rows.size();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_MatchProbabilities)->Unit(benchmark::kMillisecond);

// Diversity of every population of 1,000,000 haplotypes.
void BM_PopulationDiversity(benchmark::State& state) {
    const auto& tables = tablesOf(diverseOptions(1000000, 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(populationDiversity(*tables.database));
}
BENCHMARK(BM_PopulationDiversity)->Unit(benchmark::kMillisecond);

// A by-haplotype result of about a million rows (the everyday generator's close-knit
// populations: 700 matches per search haplotype within 3 steps) saved as CSV: into a file (0),
// or into /dev/null (1), the time of making the text alone.
void BM_WriteByHaplotypeCsv(benchmark::State& state) {
    GeneratorOptions options;
    options.databaseHaplotypes = 100000;
    options.searchHaplotypes = 1400;
    const auto& tables = tablesOf(options);
    const ByHaplotypeTable result(
        tables.database, tables.search,
        std::make_shared<const MatchResult>(match(*tables.database, *tables.search, 3)));
    const bool discard = state.range(0) == 1;
    const auto path = discard
                          ? std::filesystem::path("/dev/null")
                          : std::filesystem::temp_directory_path() / "tarnwick-bench-result.csv";
    for (auto _ : state)
        saveDelimitedText(result, result.rowCount(), TextTableFormat::Csv, path.string());
    state.counters["result rows"] = result.rowCount() - 1;
    if (!discard) {
        state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
        std::filesystem::remove(path);
    }
}
BENCHMARK(BM_WriteByHaplotypeCsv)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarnwick
