#include "cli/Arguments.h"

#include "core/statistics/MatchProbabilities.h"

#include <charconv>
#include <filesystem>
#include <utility>

namespace tarnwick {
namespace {

void setFlagOnce(bool& flag, const std::string& option) {
    if (flag)
        throw UsageError(option + " is given twice");
    flag = true;
}

// Splits arguments into options (with the value that follows each, for those that take one) and
// positional ones.
class ArgumentList {
public:
    explicit ArgumentList(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool atEnd() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    std::string valueOf(const std::string& option) {
        if (atEnd())
            throw UsageError(option + " needs a value");
        return take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
};

void setOnce(std::optional<std::string>& field, const std::string& option, ArgumentList& list) {
    if (field)
        throw UsageError(option + " is given twice");
    field = list.valueOf(option);
}

// Whether two names lead to the same file, or would once it is created.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    const auto canonicalA = std::filesystem::weakly_canonical(a, error);
    if (error)
        return false;
    const auto canonicalB = std::filesystem::weakly_canonical(b, error);
    return !error && canonicalA == canonicalB;
}

// An output never replaces an input, nor the other output: a run must not destroy what it reads
// or what it has just written.
void checkOutputsAreNew(const MatchOptions& options) {
    const std::pair<const std::optional<std::string>&, const char*> outputs[] = {
        {options.byHaplotype, "--by-haplotype"}, {options.byPopulation, "--by-population"}};
    for (const auto& [output, option] : outputs) {
        if (!output || *output == "-")
            continue;
        for (const auto& [input, role] :
             {std::pair{&options.database, "database"}, std::pair{&options.search, "search"}})
            if (sameFile(*output, *input))
                throw UsageError(std::string(option) + " " + *output + " is the " + role +
                                 " file; choose another name for the output");
    }
    if (options.byHaplotype && options.byPopulation && *options.byHaplotype != "-" &&
        sameFile(*options.byHaplotype, *options.byPopulation))
        throw UsageError("--by-haplotype and --by-population name the same file " +
                         *options.byPopulation);
}

// Positional arguments and the options of the statistics commands.
template <typename Options>
std::vector<std::string> parseStatistics(ArgumentList& list, Options& options,
                                         std::optional<std::string>* confidence) {
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--out")
            setOnce(options.out, argument, list);
        else if (argument == "--genotypes")
            setFlagOnce(options.genotypes, argument);
        else if (argument == "--confidence" && confidence)
            setOnce(*confidence, argument, list);
        else if (argument.starts_with("--"))
            throw UsageError("unknown option " + argument);
        else
            files.push_back(argument);
    }
    if (!options.out)
        throw UsageError("--out FILE is needed");
    return files;
}

} // namespace

MatchOptions parseMatch(const std::vector<std::string>& arguments) {
    ArgumentList list(arguments);
    MatchOptions options;
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--steps")
            setOnce(options.steps, argument, list);
        else if (argument == "--by-haplotype")
            setOnce(options.byHaplotype, argument, list);
        else if (argument == "--by-population")
            setOnce(options.byPopulation, argument, list);
        else if (argument == "--genotypes")
            setFlagOnce(options.genotypes, argument);
        else if (argument.starts_with("--"))
            throw UsageError("unknown option " + argument);
        else
            files.push_back(argument);
    }
    if (files.size() != 2)
        throw UsageError("match needs a database file and a search file");
    if (!options.steps)
        throw UsageError("match needs --steps N");
    options.database = files[0];
    options.search = files[1];
    checkOutputsAreNew(options);
    return options;
}

FrequenciesOptions parseFrequencies(const std::vector<std::string>& arguments) {
    ArgumentList list(arguments);
    FrequenciesOptions options;
    const auto files = parseStatistics(list, options, &options.confidence);
    if (files.size() != 2)
        throw UsageError("frequencies needs a database file and a search file");
    options.database = files[0];
    options.search = files[1];
    for (const std::string* input : {&options.database, &options.search})
        if (*options.out != "-" && sameFile(*options.out, *input))
            throw UsageError("--out " + *options.out + " is an input file; choose another name");
    return options;
}

DiversityOptions parseDiversity(const std::vector<std::string>& arguments) {
    ArgumentList list(arguments);
    DiversityOptions options;
    const auto files = parseStatistics(list, options, nullptr);
    if (files.size() != 1)
        throw UsageError("diversity needs a database file");
    options.database = files[0];
    if (*options.out != "-" && sameFile(*options.out, options.database))
        throw UsageError("--out " + *options.out + " is the database file; choose another name");
    return options;
}

ShowOptions parseShow(const std::vector<std::string>& arguments) {
    ArgumentList list(arguments);
    ShowOptions options;
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--database" || argument == "--search") {
            if (options.layout)
                throw UsageError("show takes one role");
            options.layout = argument == "--database" ? kDatabaseLayout : kSearchLayout;
        } else if (argument == "--genotypes") {
            setFlagOnce(options.genotypes, argument);
        } else if (argument.starts_with("--")) {
            throw UsageError("unknown option " + argument);
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 1)
        throw UsageError("show needs one file");
    options.file = files[0];
    if (options.genotypes && !options.layout)
        options.layout = kDatabaseLayout;
    return options;
}

double confidenceOf(const std::optional<std::string>& text) {
    if (!text)
        return 0.95;
    double value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() ||
        !(value >= kLeastConfidence) || !(value <= kGreatestConfidence))
        throw UsageError("--confidence takes a number from 0.5 to 0.9999, not \"" + *text + "\"");
    return value;
}

} // namespace tarnwick
