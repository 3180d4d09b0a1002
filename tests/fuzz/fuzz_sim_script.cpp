// libFuzzer entry for korvane-sim's script reader and runner (clang only; see
// docs/robustness.md): every input either runs or is rejected by line, never crashes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script_mutations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (!korvane::fuzz::CheckScriptOutcome(script, 200).empty()) std::abort();
    return 0;
}
