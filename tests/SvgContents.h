#pragma once

// What an SVG document holds, read with expat: its elements by name and the texts of its text
// elements. A document that is not well-formed XML fails the test.

#include <expat.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::testing_files {

struct SvgContents {
    std::map<std::string, int> elements;
    std::vector<std::string> texts;
    bool inText = false;
};

struct ExpatRelease {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

inline SvgContents parsedSvg(const std::string& document) {
    SvgContents contents;
    const std::unique_ptr<XML_ParserStruct, ExpatRelease> parser(XML_ParserCreate("UTF-8"));
    XML_SetUserData(parser.get(), &contents);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const XML_Char* name, const XML_Char**) {
            auto& svg = *static_cast<SvgContents*>(data);
            ++svg.elements[name];
            if (std::string(name) == "text") {
                svg.texts.emplace_back();
                svg.inText = true;
            }
        },
        [](void* data, const XML_Char*) { static_cast<SvgContents*>(data)->inText = false; });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
        auto& svg = *static_cast<SvgContents*>(data);
        if (svg.inText)
            svg.texts.back().append(text, static_cast<std::size_t>(length));
    });
    if (XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), 1) !=
        XML_STATUS_OK)
        ADD_FAILURE() << "not well-formed: " << XML_ErrorString(XML_GetErrorCode(parser.get()))
                      << " at line " << XML_GetCurrentLineNumber(parser.get());
    return contents;
}

} // namespace tarnwick::testing_files
