// The inliner's tag scans against its patterns run by html::Pattern, on tag soup the fuzzer's
// bytes pick from the pieces the patterns care about: any difference aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "../css_scan_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t at = 0;
    auto next = [&] { return static_cast<size_t>(data[at++ % size]); };
    using namespace quorallion::css;
    static const EngineChars chars = AsciiEngineChars();
    const std::vector<QuickRule> rules = testing::PiecesRules(next);
    // At most 32 pieces: the reference's tag patterns (lazy loops around a back-reference) take
    // cubic time on a long run without ">", minutes for 90 pieces of " style='c:1'".
    const std::wstring html = testing::PiecesText(next, std::min<size_t>(size, 32));
    // The full bound of 1000 passes on short texts only: the reference matcher re-reads the
    // whole text on every pass, and a long nested input would spend the per-input time limit.
    const int maxPasses = data[0] % 2 && html.size() <= 512 ? 1000 : 1 + data[0] % 5;
    for (const auto& d : testing::CompareScans(chars, html, rules, maxPasses)) {
        std::fprintf(stderr, "%s differs on %s\n  ours:      %s\n  reference: %s\n", d.step.c_str(),
                     testing::Narrow(html).c_str(), testing::Narrow(d.ours).c_str(), testing::Narrow(d.reference).c_str());
        std::abort();
    }
    return 0;
}
