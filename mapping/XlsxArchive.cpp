#include "mapping/XlsxArchive.h"

#include <cstring>
#include <memory>

#include <expat.h>
#include <zip.h>

namespace mapping::detail {

namespace {

// Names are matched by their local part, whatever prefix a producer gives its namespaces.
constexpr char kPrefixSeparator = ':';
constexpr int kChunk = 64 * 1024;

std::string_view localName(const char* name) {
    std::string_view n(name);
    const std::size_t colon = n.rfind(kPrefixSeparator);
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

std::string sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t mb = 1024 * 1024;
    return bytes >= mb ? std::to_string(bytes / mb) + " MB" : std::to_string(bytes) + " byte";
}

struct ParseState {
    XML_Parser parser;
    XmlHandler& handler;
    bool doctype = false;
};

void stopIfAsked(ParseState& s) {
    if (!s.handler.failure.empty() || s.handler.done) XML_StopParser(s.parser, XML_FALSE);
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& s = *static_cast<ParseState*>(data);
    s.handler.start(localName(name), attributes);
    stopIfAsked(s);
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    auto& s = *static_cast<ParseState*>(data);
    s.handler.end(localName(name));
    stopIfAsked(s);
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
    auto& s = *static_cast<ParseState*>(data);
    s.handler.text(std::string_view(text, static_cast<std::size_t>(length)));
    stopIfAsked(s);
}

// No workbook part has a document type: one is refused before any entity can be declared.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& s = *static_cast<ParseState*>(data);
    s.doctype = true;
    XML_StopParser(s.parser, XML_FALSE);
}

struct ParserDeleter {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

}  // namespace

const char* attribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; a && *a; a += 2)
        if (localName(a[0]) == name) return a[1];
    return nullptr;
}

XlsxArchive::XlsxArchive(const std::filesystem::path& file, std::uint64_t maxPartBytes) : maxPartBytes_(maxPartBytes) {
    int error = 0;
    archive_ = zip_open(file.c_str(), ZIP_RDONLY, &error);
    if (archive_) return;
    switch (error) {
        case ZIP_ER_NOZIP:
            throw XlsxError("non è un archivio zip (un file .xls o protetto da password va salvato come .xlsx senza password)");
        case ZIP_ER_INCONS: throw XlsxError("l'archivio zip è danneggiato o incompleto");
        case ZIP_ER_OPEN:
        case ZIP_ER_READ: throw XlsxError("il file non si può leggere");
        default: {
            zip_error_t e;
            zip_error_init_with_code(&e, error);
            std::string reason = std::string("errore dell'archivio zip (") + zip_error_strerror(&e) + ")";
            zip_error_fini(&e);
            throw XlsxError(reason);
        }
    }
}

XlsxArchive::~XlsxArchive() {
    if (archive_) zip_discard(archive_);
}

bool XlsxArchive::has(const std::string& part) const { return zip_name_locate(archive_, part.c_str(), 0) >= 0; }

void XlsxArchive::parse(const std::string& part, XmlHandler& handler) {
    const zip_int64_t index = zip_name_locate(archive_, part.c_str(), 0);
    if (index < 0) throw XlsxError("manca la parte \"" + part + "\"");
    zip_stat_t stat;
    zip_stat_init(&stat);
    const std::string tooLarge = "la parte \"" + part + "\" supera " + sizeText(maxPartBytes_) +
                                 " una volta decompressa (archivio malformato o ostile)";
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        stat.size > maxPartBytes_)
        throw XlsxError(tooLarge);
    std::unique_ptr<zip_file_t, ZipFileCloser> in(zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
    if (!in) throw XlsxError("la parte \"" + part + "\" non si può leggere (" + zip_strerror(archive_) + ")");

    std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) throw XlsxError("memoria insufficiente");
    ParseState state{parser.get(), handler};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    std::uint64_t inflated = 0;
    for (;;) {
        void* buffer = XML_GetBuffer(parser.get(), kChunk);
        if (!buffer) throw XlsxError("memoria insufficiente");
        const zip_int64_t got = zip_fread(in.get(), buffer, kChunk);
        if (got < 0)
            throw XlsxError("la parte \"" + part + "\" è danneggiata (" + zip_file_strerror(in.get()) + ")");
        inflated += static_cast<std::uint64_t>(got);
        if (inflated > maxPartBytes_) throw XlsxError(tooLarge);
        const bool last = got == 0;
        if (XML_ParseBuffer(parser.get(), static_cast<int>(got), last) != XML_STATUS_OK) {
            if (state.doctype)
                throw XlsxError("la parte \"" + part + "\" contiene una dichiarazione DOCTYPE, che non è ammessa");
            if (!handler.failure.empty()) throw XlsxError(handler.failure);
            if (handler.done) return;
            throw XlsxError("la parte \"" + part + "\" non è XML valido (riga " +
                            std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                            XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
        }
        if (last) return;
    }
}

}  // namespace mapping::detail
