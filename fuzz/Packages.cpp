#include "fuzz/Packages.h"

#include "io/GsfHandles.h"

#include <gsf/gsf.h>

#include <stdexcept>
#include <vector>

namespace tarnwick::fuzz {
namespace {

constexpr const char* kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/></Types>)";
constexpr const char* kRootRelationships =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
constexpr const char* kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr const char* kWorkbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
constexpr const char* kSharedStrings =
    R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>DYS19</t></si><si><t>12,13</t></si></sst>)";

void addMember(GsfOutfile* zip, const std::string& path, std::string_view bytes) {
    // Folders are members of their own in libgsf.
    GsfOutfile* folder = zip;
    std::vector<GsfPtr<GsfOutput>> folders;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos;
         start = slash + 1) {
        const std::string name = path.substr(start, slash - start);
        folders.emplace_back(gsf_outfile_new_child(folder, name.c_str(), TRUE));
        folder = GSF_OUTFILE(folders.back().get());
    }
    GsfPtr<GsfOutput> member(gsf_outfile_new_child_full(
        folder, path.substr(start).c_str(), FALSE, "compression-level", GSF_ZIP_STORED, nullptr));
    gsf_output_write(member.get(), bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(member.get());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        gsf_output_close(it->get());
}

} // namespace

void writePackage(const std::string& path, std::string_view format, std::string_view part) {
    ensureGsfInitialised();
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), nullptr));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    GsfPtr<GsfOutfile> zip(gsf_outfile_zip_new(file.get(), nullptr));
    if (format == "ods") {
        addMember(zip.get(), "mimetype", "application/vnd.oasis.opendocument.spreadsheet");
        addMember(zip.get(), "content.xml", part);
    } else {
        addMember(zip.get(), "[Content_Types].xml", kContentTypes);
        addMember(zip.get(), "_rels/.rels", kRootRelationships);
        addMember(zip.get(), "xl/workbook.xml", kWorkbook);
        addMember(zip.get(), "xl/_rels/workbook.xml.rels", kWorkbookRelationships);
        addMember(zip.get(), "xl/sharedStrings.xml", kSharedStrings);
        addMember(zip.get(), "xl/worksheets/sheet1.xml", part);
    }
    gsf_output_close(GSF_OUTPUT(zip.get()));
    gsf_output_close(file.get());
}

std::string mainPart(const std::string& packagePath, std::string_view format) {
    ensureGsfInitialised();
    GsfPtr<GsfInput> input(gsf_input_stdio_new(packagePath.c_str(), nullptr));
    if (!input)
        return "";
    GsfPtr<GsfInfile> zip(gsf_infile_zip_new(input.get(), nullptr));
    if (!zip)
        return "";
    auto part =
        openZipMember(zip.get(), format == "ods" ? "content.xml" : "xl/worksheets/sheet1.xml");
    try {
        return part ? readWholeInput(part.get(), 256 * 1024) : "";
    } catch (const std::exception&) {
        return ""; // too large to make a good seed
    }
}

} // namespace tarnwick::fuzz
