#include "standalone/components/Decoders.h"

#include "standalone/components/ComponentSql.h"

namespace standalone {

namespace {

void addField(host::DecodeDefinition& d, const char* column, std::shared_ptr<kit::Control> target) {
    if (target) d.fields.emplace_back(column, std::move(target));
}

}  // namespace

void StandaloneLedgerChartDecoder::init(std::shared_ptr<host::Global> /*global*/,
                                        std::shared_ptr<kit::Control> consolidationLevels) {
    consolidationLevels_ = std::move(consolidationLevels);
}

host::DecodeDefinition StandaloneLedgerChartDecoder::decode(const db::Variant& code,
                                                            std::shared_ptr<kit::Control> description,
                                                            std::shared_ptr<kit::Control> levels) {
    host::DecodeDefinition d;
    d.sql = "SELECT CG10_DESCR, CG10_NUMLIVELLI, CG10_NUMLIVCONS FROM CG10_DESPDC WITH(NOLOCK)" +
            components::whereCode("CG10_GRUPPO", code);
    addField(d, "CG10_DESCR", std::move(description));
    addField(d, "CG10_NUMLIVELLI", std::move(levels));
    addField(d, "CG10_NUMLIVCONS", consolidationLevels_);
    return d;
}

void StandaloneReclChartDecoder::init(std::shared_ptr<host::Cinterface> /*entry*/,
                                      std::shared_ptr<db::Connection> /*connection*/) {}

host::DecodeDefinition StandaloneReclChartDecoder::decode(const db::Variant& code,
                                                          std::shared_ptr<kit::Control> description,
                                                          std::shared_ptr<kit::Control> levels) {
    host::DecodeDefinition d;
    d.sql = "SELECT PC01_DESCR, PC01_NUMLIVELLI FROM PC01_DESCRPDC WITH(NOLOCK)" +
            components::whereCode("PC01_CODICE", code);
    addField(d, "PC01_DESCR", std::move(description));
    addField(d, "PC01_NUMLIVELLI", std::move(levels));
    return d;
}

host::DecodeDefinition StandaloneIntercompanyDecoder::decode(const db::Variant& code,
                                                             std::shared_ptr<kit::Control> description) {
    host::DecodeDefinition d;
    d.sql = "SELECT CGC0_DESCR FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)" + components::whereCode("CGC0_CODICE", code);
    addField(d, "CGC0_DESCR", std::move(description));
    return d;
}

}  // namespace standalone
