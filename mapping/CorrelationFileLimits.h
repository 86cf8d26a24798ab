#pragma once
// The limits a correlation file is read under, to be chosen smaller by tests.

#include <filesystem>

#include "mapping/CorrelationFile.h"
#include "mapping/SheetFile.h"

namespace mapping::detail {

ReadResult readCorrelationFile(const std::filesystem::path& file, const ReadLimits& limits);

}  // namespace mapping::detail
