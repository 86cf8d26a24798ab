#pragma once
// The editor's kind holder: the correlation kind the entry class chose, written once right
// after the editor is created and read by every part of the editor. Module-internal: no host
// sees it. Its accessors never fail.

#include <cstdint>

#include "db/Variant.h"

namespace entry {

class CLSCG_CORRRICL : public db::Object {
public:
    std::int32_t TipoCorrelazione() const noexcept { return tipoCorrelazione_; }
    void setTipoCorrelazione(std::int32_t kind) noexcept { tipoCorrelazione_ = kind; }

private:
    std::int32_t tipoCorrelazione_ = 0;
};

}  // namespace entry
