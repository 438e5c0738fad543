// The status bar's progress while a comparison loads the old file, shown
// through the open's own display (OpenSequenceView): after the open's
// delay, or at once when it continues the open of the new file that
// `--compare` began, so that both loads read as one bar.
#pragma once
#include <cstdint>
#include <functional>

using CompareBytes = std::function<void(std::uint64_t* read, std::uint64_t* total)>;

// Shows `bytes` until EndCompareProgress; one shown before is ended first.
void StartCompareProgress(CompareBytes bytes, bool atOnce);
void EndCompareProgress();
