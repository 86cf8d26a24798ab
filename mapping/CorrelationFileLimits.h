#pragma once
// The limits a correlation file is read under, to be chosen smaller by tests.

#include <cstdint>
#include <filesystem>

#include "mapping/CorrelationFile.h"

namespace mapping::detail {

struct ReadLimits {
    std::uintmax_t maxFileBytes = kMaxFileBytes;
    std::uint64_t maxXlsxPartBytes = 512ull * 1024 * 1024;   // one part of the workbook, once inflated
};

ReadResult readCorrelationFile(const std::filesystem::path& file, const ReadLimits& limits);

}  // namespace mapping::detail
