#include "io/XmlStream.h"

#include "io/ReadError.h"
#include "io/ReadLimits.h"

#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace tarnwick {
namespace {

constexpr char kSeparator = '|';
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
    const std::string_view whole(name);
    const auto separator = whole.find(kSeparator);
    if (separator == std::string_view::npos)
        return {{}, whole};
    return {whole.substr(0, separator), whole.substr(separator + 1)};
}

const char* findXmlAttribute(const char** attributes, std::string_view local, std::string_view ns) {
    for (const char** a = attributes; a && *a; a += 2) {
        const XmlName name = splitXmlName(*a);
        if (name.local == local && (ns.empty() || name.ns == ns))
            return a[1];
    }
    return nullptr;
}

void parseXmlStream(GsfInput* input, XmlHandler& handler) {
    ParserPtr parser(XML_ParserCreateNS(nullptr, kSeparator));
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
