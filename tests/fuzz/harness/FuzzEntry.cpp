// libFuzzer entry of one harness: BREVANTO_FUZZ_ORACLE names the oracle of FuzzOracles.h.
#include <cstddef>
#include <cstdint>

#include "FuzzOracles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzoracle::BREVANTO_FUZZ_ORACLE(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
