#pragma once
// The reclassified-statement preview as JSON, the same for `brevanto-cli preview --json` and
// the automation driver's "preview" request.

#include <nlohmann/json.hpp>

#include "statement/PreviewLoad.h"

namespace brevanto::cli {

nlohmann::ordered_json previewJson(const statement::LoadedPreview& loaded);

}  // namespace brevanto::cli
