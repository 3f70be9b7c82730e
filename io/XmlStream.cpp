#include "io/XmlStream.h"

#include "io/ReadError.h"
#include "io/ReadLimits.h"

#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace tarnwick {
namespace {

// Names are split at their prefix: the formats read here always use their standard prefixes,
// and expat's namespace processing would double the time spent parsing a large sheet.
constexpr char kSeparator = ':';
constexpr std::size_t kChunk = 1 << 16;

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserPtr = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree>;

struct Context {
    XmlHandler& handler;
    XML_Parser parser;
    std::exception_ptr failure; // exceptions must not unwind through expat's C frames
};

template <typename Call> void guarded(void* data, Call call) {
    auto* context = static_cast<Context*>(data);
    if (context->failure)
        return;
    try {
        call(context->handler);
        if (context->handler.done())
            XML_StopParser(context->parser, XML_FALSE);
    } catch (...) {
        context->failure = std::current_exception();
        XML_StopParser(context->parser, XML_FALSE);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    guarded(data, [&](XmlHandler& h) { h.startElement(splitXmlName(name), attributes); });
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](XmlHandler& h) { h.endElement(splitXmlName(name)); });
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    guarded(data, [&](XmlHandler& h) {
        h.characters(std::string_view(text, static_cast<std::size_t>(length)));
    });
}

} // namespace

XmlName splitXmlName(const char* name) {
    const char* colon = nullptr;
    const char* end = name;
    for (; *end; ++end)
        if (*end == kSeparator && !colon)
            colon = end;
    if (!colon)
        return {{}, std::string_view(name, static_cast<std::size_t>(end - name))};
    return {std::string_view(name, static_cast<std::size_t>(colon - name)),
            std::string_view(colon + 1, static_cast<std::size_t>(end - colon - 1))};
}

const char* findXmlAttribute(const char** attributes, std::string_view local, std::string_view ns) {
    // Called for every attribute of every cell: compares in place instead of splitting names.
    for (const char** a = attributes; a && *a; a += 2) {
        const char* name = *a;
        const char* colon = std::strchr(name, kSeparator);
        const char* localStart = colon ? colon + 1 : name;
        if (std::strncmp(localStart, local.data(), local.size()) != 0 ||
            localStart[local.size()] != '\0')
            continue;
        const std::string_view prefix(name, colon ? static_cast<std::size_t>(colon - name) : 0);
        if (ns.empty() || prefix == ns)
            return a[1];
    }
    return nullptr;
}

void parseXmlStream(GsfInput* input, XmlHandler& handler) {
    ParserPtr parser(XML_ParserCreate(nullptr));
    if (!parser)
        throw std::bad_alloc();
    Context context{handler, parser.get(), nullptr};
    XML_SetUserData(parser.get(), &context);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onCharacters);

    std::size_t total = 0;
    std::string chunk(kChunk, '\0');
    for (;;) {
        const gsf_off_t left = gsf_input_remaining(input);
        const std::size_t count =
            left > 0 ? std::min<std::size_t>(kChunk, static_cast<std::size_t>(left)) : 0;
        if (count > 0 && !gsf_input_read(input, count, reinterpret_cast<guint8*>(chunk.data())))
            throwDamaged("a compressed part cannot be inflated");
        total += count;
        if (total > kMaxXmlBytes)
            throw ReadError("a part of the workbook is too large to read");
        const bool last = count == 0;
        const auto status = XML_Parse(parser.get(), chunk.data(), static_cast<int>(count), last);
        if (context.failure)
            std::rethrow_exception(context.failure);
        if (status == XML_STATUS_SUSPENDED || handler.done())
            return;
        if (status == XML_STATUS_ERROR) {
            if (XML_GetErrorCode(parser.get()) == XML_ERROR_ABORTED)
                return;
            throwDamaged(std::string("bad XML: ") +
                         XML_ErrorString(XML_GetErrorCode(parser.get())));
        }
        if (last)
            return;
    }
}

} // namespace tarnwick
