#include "engine/copy_pace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace tolvane {
namespace {

using std::chrono::milliseconds;

struct Call {
    int64_t asked;  // 0: the step as it stands
    int64_t moved;  // -1: the whole of what was asked
    milliseconds took;
};

struct PaceCase {
    const char* what;
    std::vector<Call> calls;
    int64_t step;  // the step afterwards
};

class CopyPaceTest : public testing::TestWithParam<PaceCase> {};

TEST_P(CopyPaceTest, StepFollowsTheCalls) {
    CopyPace pace;
    for (const Call& c : GetParam().calls) {
        const int64_t asked = c.asked == 0 ? pace.Step() : c.asked;
        pace.Took(asked, c.moved < 0 ? asked : c.moved, c.took);
    }
    EXPECT_EQ(pace.Step(), GetParam().step) << GetParam().what;
}

const int64_t kFirst = CopyPace::kFirst;
const std::vector<Call> kManyQuick(20, Call{0, -1, milliseconds(1)});
const std::vector<Call> kManySlow(20, Call{0, -1, milliseconds(500)});

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyPaceTest,
    testing::Values(
        PaceCase{"nothing copied yet", {}, kFirst},
        PaceCase{"a quick whole step doubles", {{0, -1, milliseconds(1)}}, 2 * kFirst},
        PaceCase{"quick calls stop at the largest step", kManyQuick, CopyPace::kLargest},
        PaceCase{"a slow call halves", {{0, -1, milliseconds(150)}}, kFirst / 2},
        PaceCase{"slow calls stop at the smallest step", kManySlow, CopyPace::kSmallest},
        PaceCase{
            "a call between quick and slow keeps the step", {{0, -1, milliseconds(50)}}, kFirst},
        // The end of a file or volume, or a copy through the buffer, moves
        // less than the step: no reason to grow.
        PaceCase{"a short quick call keeps the step", {{0, 1000, milliseconds(1)}}, kFirst},
        PaceCase{"a small request keeps the step", {{4096, -1, milliseconds(1)}}, kFirst},
        PaceCase{"a short slow call still halves", {{0, 1000, milliseconds(300)}}, kFirst / 2},
        PaceCase{"quick after slow grows again",
                 {{0, -1, milliseconds(300)}, {0, -1, milliseconds(1)}, {0, -1, milliseconds(1)}},
                 2 * kFirst}));

}  // namespace
}  // namespace tolvane
