// The header's code fields: the account edit mask and the host components the
// reclassification-chart fields decode and look up through.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "host/Values.h"

namespace editor {

std::string FRMCG_CORRRICL::FormattaConto(std::int16_t /*NumLivelli*/) const { return mascheraConto_; }

db::Variant FRMCG_CORRRICL::ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const {
    return host::valueOrDefault(value, fallback);
}

void FRMCG_CORRRICL::CreaComponentiPianiRiclassificazione() {
    auto factory = classFactory();
    reclChartFinder_ = factory->newReclChartFinder();
    required(reclChartFinder_, "ReclChartFinder").init(entry_, connection_);
    reclChartDecoder_ = factory->newReclChartDecoder();
    required(reclChartDecoder_, "ReclChartDecoder").init(entry_, connection_);
}

void FRMCG_CORRRICL::RilasciaComponentiPianiRiclassificazione() {
    // Detached from the entry class and the connection before they go.
    if (reclChartFinder_) reclChartFinder_->init(nullptr, nullptr);
    reclChartFinder_.reset();
    if (reclChartDecoder_) reclChartDecoder_->init(nullptr, nullptr);
    reclChartDecoder_.reset();
}

}  // namespace editor
