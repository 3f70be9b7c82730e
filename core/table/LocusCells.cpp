#include "core/table/LocusCells.h"

#include "core/text/IntegerText.h"

namespace tarnwick {

std::string tidyLocusText(std::string_view text) {
    std::string tidied(text.substr(0, text.find('.')));
    if (const auto apostrophe = tidied.find('\''); apostrophe != std::string::npos)
        tidied.erase(apostrophe, 1);
    return tidied;
}

IntegerCell IntegerCell::read(std::string_view text) {
    if (text.empty())
        return {Kind::Untyped};
    if (const auto value = tryParseIntegerText(text))
        return {Kind::Integer, *value};
    return {Kind::NotInteger};
}

} // namespace tarnwick
