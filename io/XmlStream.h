#pragma once

#include <expat.h>
#include <gsf/gsf.h>

#include <string_view>

namespace tarnwick {

// An XML element or attribute name split into its prefix ("table" of "table:table-cell")
// and local name.
struct XmlName {
    std::string_view ns;
    std::string_view local;
};

// Receives the parts of an XML document as expat streams it.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value, ..., null.
    virtual void startElement(XmlName name, const char** attributes) = 0;
    virtual void endElement(XmlName name) = 0;
    virtual void characters(std::string_view text) = 0;
    // True once the handler has all it needs; parsing then stops early.
    virtual bool done() const { return false; }
};

XmlName splitXmlName(const char* name);

// The value of a local attribute name in an expat attribute list (with any prefix when ns is
// empty), or null.
const char* findXmlAttribute(const char** attributes, std::string_view local,
                             std::string_view ns = {});

class ReadBudget;

// Parses an XML stream read from a libgsf input, in chunks, never holding it whole. Raises
// ReadError for malformed XML, nesting deeper than kMaxXmlDepth, an element larger than the
// parser may hold, or more elements or bytes than the budget allows.
void parseXmlStream(GsfInput* input, XmlHandler& handler, ReadBudget& budget);

} // namespace tarnwick
