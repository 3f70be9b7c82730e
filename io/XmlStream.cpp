#include "io/XmlStream.h"

#include "io/GsfHandles.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"

#include <cstddef>
#include <cstdlib>
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

// What the parser holds (its buffer with any unfinished token, names, the stack of open
// elements), counted so that one huge attribute, comment or name cannot take all memory. Each
// parser is used on one thread only.
thread_local std::size_t parserBytes = 0;

struct alignas(std::max_align_t) BlockHead {
    std::size_t size;
};

void* parserMalloc(std::size_t size) {
    if (size > kMaxXmlParserBytes - parserBytes)
        return nullptr;
    auto* head = static_cast<BlockHead*>(std::malloc(sizeof(BlockHead) + size));
    if (!head)
        return nullptr;
    head->size = size;
    parserBytes += size;
    return head + 1;
}

void parserFree(void* block) {
    if (!block)
        return;
    auto* head = static_cast<BlockHead*>(block) - 1;
    parserBytes -= head->size;
    std::free(head);
}

void* parserRealloc(void* block, std::size_t size) {
    if (!block)
        return parserMalloc(size);
    auto* head = static_cast<BlockHead*>(block) - 1;
    const std::size_t old = head->size;
    if (size > old && size - old > kMaxXmlParserBytes - parserBytes)
        return nullptr;
    auto* grown = static_cast<BlockHead*>(std::realloc(head, sizeof(BlockHead) + size));
    if (!grown)
        return nullptr;
    grown->size = size;
    parserBytes = parserBytes - old + size;
    return grown + 1;
}

const XML_Memory_Handling_Suite kCountedMemory{parserMalloc, parserRealloc, parserFree};

struct Context {
    XmlHandler& handler;
    XML_Parser parser;
    ReadBudget& budget;
    int depth = 0;
    std::exception_ptr failure; // exceptions must not unwind through expat's C frames
};

template <typename Call> void guarded(void* data, Call call) {
    auto* context = static_cast<Context*>(data);
    if (context->failure)
        return;
    try {
        call(*context);
        if (context->handler.done())
            XML_StopParser(context->parser, XML_FALSE);
    } catch (...) {
        context->failure = std::current_exception();
        XML_StopParser(context->parser, XML_FALSE);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    guarded(data, [&](Context& c) {
        c.budget.countXmlElement();
        if (++c.depth > kMaxXmlDepth)
            throw ReadError("its XML is nested more than 256 elements deep; the file is damaged "
                            "or made to exhaust the reader");
        c.handler.startElement(splitXmlName(name), attributes);
    });
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](Context& c) {
        --c.depth;
        c.handler.endElement(splitXmlName(name));
    });
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    guarded(data, [&](Context& c) {
        c.handler.characters(std::string_view(text, static_cast<std::size_t>(length)));
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

void parseXmlStream(GsfInput* input, XmlHandler& handler, ReadBudget& budget) {
    ParserPtr parser(XML_ParserCreate_MM(nullptr, &kCountedMemory, nullptr));
    if (!parser)
        throw std::bad_alloc();
    Context context{handler, parser.get(), budget, 0, nullptr};
    XML_SetUserData(parser.get(), &context);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onCharacters);

    MemberChecksum checksum(input);
    budget.startXmlPart(checksum.compressedSize());
    budget.expectXmlBytes(
        static_cast<std::uint64_t>(std::max<gsf_off_t>(gsf_input_size(input), 0)));
    std::string chunk(kChunk, '\0');
    for (;;) {
        const gsf_off_t left = gsf_input_remaining(input);
        const std::size_t count =
            left > 0 ? std::min<std::size_t>(kChunk, static_cast<std::size_t>(left)) : 0;
        if (count > 0 && !gsf_input_read(input, count, reinterpret_cast<guint8*>(chunk.data())))
            throwDamaged("a compressed part cannot be inflated");
        budget.countXmlBytes(count);
        checksum.add(chunk.data(), count);
        const bool last = count == 0;
        const auto status = XML_Parse(parser.get(), chunk.data(), static_cast<int>(count), last);
        if (context.failure)
            std::rethrow_exception(context.failure);
        if (status == XML_STATUS_SUSPENDED || handler.done()) {
            checksum.finish(count == 0);
            return;
        }
        if (status == XML_STATUS_ERROR) {
            const auto code = XML_GetErrorCode(parser.get());
            if (code == XML_ERROR_ABORTED) {
                checksum.finish(false);
                return;
            }
            if (code == XML_ERROR_NO_MEMORY)
                throw ReadError("an XML element of the workbook needs more than 8 MB; the file "
                                "is damaged or made to exhaust the reader");
            throwDamaged(std::string("bad XML: ") +
                         XML_ErrorString(XML_GetErrorCode(parser.get())));
        }
        if (last) {
            checksum.finish(true);
            return;
        }
    }
}

} // namespace tarnwick
