#include "FuzzFile.h"
#include "storage/PiecePlan.h"
#include "storage/ProgressFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    if (size < 2) {
        return 0;
    }
    // The first bytes choose the plan the file is read against.
    const int pieces = data[0] % PiecePlan::kMostPieces + 1;
    const std::int64_t fileSize = static_cast<std::int64_t>(data[1]) * 977;
    const PiecePlan plan = PiecePlan::make(fileSize, pieces);
    const std::string path = fuzz::storedFile(data + 2, size - 2);
    const auto counts = ProgressFile::read(path, plan);
    // What a start carries over from a file written for any plan.
    const auto carried = ProgressFile::carried(path, plan);
    for (int i = 1; i <= pieces; ++i) {
        const std::int64_t count = carried.at(static_cast<std::size_t>(i - 1));
        if (count < 0 || count > plan.length(i)) {
            __builtin_trap();
        }
    }
    if (counts) {
        if (counts->size() != static_cast<std::size_t>(pieces)) {
            __builtin_trap();
        }
        for (int i = 1; i <= pieces; ++i) {
            const std::int64_t count = (*counts)[static_cast<std::size_t>(i - 1)];
            if (count < 0 || count > plan.length(i)) {
                __builtin_trap();  // a count that cannot be true was trusted
            }
        }
        ProgressFile::lines(plan, *counts);
    }
    return 0;
}
