// How many bytes one copy call moves. Large steps let the kernel copy a
// volume in a few calls where the target takes the bytes quickly (the cache
// of a hard disk); small steps keep the bars moving and a stop answered
// within a fraction of a second where every call waits for a slow medium (a
// floppy mounted for synchronous writes).
#pragma once

#include <chrono>
#include <cstdint>

namespace tolvane {

class CopyPace {
  public:
    static constexpr int64_t kSmallest = 65536;
    static constexpr int64_t kFirst = 262144;
    static constexpr int64_t kLargest = 16 << 20;
    // A call that took less than this may move twice as much next time; one
    // that took longer than kSlow moves half as much.
    static constexpr std::chrono::milliseconds kQuick{20};
    static constexpr std::chrono::milliseconds kSlow{100};

    int64_t Step() const { return step_; }

    // A call asked for asked bytes, moved moved of them and took elapsed.
    void Took(int64_t asked, int64_t moved, std::chrono::microseconds elapsed) {
        if (elapsed > kSlow) {
            if (step_ > kSmallest) step_ /= 2;
        } else if (elapsed < kQuick && moved >= step_ && asked >= step_ && step_ < kLargest) {
            // Only a call that moved a whole step says the step was too small:
            // the end of a file or volume, or a copy through the buffer, moves
            // less and says nothing.
            step_ *= 2;
        }
    }

  private:
    int64_t step_ = kFirst;
};

}  // namespace tolvane
