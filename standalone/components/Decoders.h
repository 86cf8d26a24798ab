#pragma once
// The stand-alone host's decoders of chart and structure codes. Each builds one SELECT on
// the chart tables with the code written bare when it is a whole number, and a statement
// that finds nothing otherwise. The statements depend on the code alone: the host objects
// handed to init are not needed to build them.

#include <memory>

#include "host/IntercompanyDecoder.h"
#include "host/LedgerChartDecoder.h"
#include "host/ReclChartDecoder.h"

namespace standalone {

class StandaloneLedgerChartDecoder : public host::LedgerChartDecoder {
public:
    void init(std::shared_ptr<host::Global> global, std::shared_ptr<kit::Control> consolidationLevels) override;
    host::DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description,
                                  std::shared_ptr<kit::Control> levels) override;

private:
    std::shared_ptr<kit::Control> consolidationLevels_;
};

class StandaloneReclChartDecoder : public host::ReclChartDecoder {
public:
    void init(std::shared_ptr<host::Cinterface> entry, std::shared_ptr<db::Connection> connection) override;
    host::DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description,
                                  std::shared_ptr<kit::Control> levels) override;
};

class StandaloneIntercompanyDecoder : public host::IntercompanyDecoder {
public:
    host::DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description) override;
};

}  // namespace standalone
