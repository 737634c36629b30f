#include "engine/position.h"

#include <gtest/gtest.h>

#include "engine/sizing.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;

void AddEntry(QuellDateien& set, const std::string& name, int64_t size) {
    auto* e = new FileEntry;
    e->path = "/" + name;
    e->size = size;
    set.AppendEntry(e);
    set.totalSize += size;
    ++set.fileCount;
}

// Chooses volumeSize so that every volume holds capacity bytes behind its
// header, and counts the volumes as the writer would.
void UseCapacity(Fixture& f, int64_t capacity) {
    int64_t previous = -1;
    while (f.settings.volumeSize != previous) {
        previous = f.settings.volumeSize;
        f.settings.volumeSize = capacity + f.set.CalcHeaderSize();
    }
    UpdateVolumeCount(f.set);
}

TEST(PositionAtVolume, WorkedExampleStartsInsideTheSecondFile) {
    Fixture f;
    AddEntry(f.set, "a", 1000);
    AddEntry(f.set, "b", 4500);
    UseCapacity(f, 2000);
    ASSERT_EQ(f.settings.volumeCount, 3);
    f.settings.currentVolume = 2;

    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.head->done, 1000);
    EXPECT_EQ(f.set.current, f.set.head->next);
    EXPECT_EQ(f.set.current->done, 1000);
    EXPECT_EQ(f.set.currentIndex, 1);
    EXPECT_EQ(f.set.bytesDone, 2000);
    const auto rows = f.set.FileListRows();
    EXPECT_EQ(rows[0].done, "1.000");
    EXPECT_EQ(rows[1].done, "1.000");

    // Volume 1 skips nothing; volume 3 starts 3000 bytes into b. Positioning
    // again starts from scratch, whatever the set held.
    f.settings.currentVolume = 1;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.current, f.set.head);
    EXPECT_EQ(f.set.head->done, 0);
    EXPECT_EQ(f.set.head->next->done, 0);
    EXPECT_EQ(f.set.currentIndex, 0);
    EXPECT_EQ(f.set.bytesDone, 0);
    f.settings.currentVolume = 3;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.current->done, 3000);
    EXPECT_EQ(f.set.bytesDone, 4000);
}

TEST(PositionAtVolume, SelfExtractingSetsLoseTheStubAreaOnTheFirstVolume) {
    Fixture f;
    AddEntry(f.set, "a", 1000);
    AddEntry(f.set, "b", 200000);
    f.settings.selfExtracting = 1;
    UseCapacity(f, 70000);
    // (201000 + 66560) / 70000 + 1
    ASSERT_EQ(f.settings.volumeCount, 4);

    f.settings.currentVolume = 2;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.bytesDone, 70000 - 66560);
    EXPECT_EQ(f.set.head->done, 1000);
    EXPECT_EQ(f.set.current->done, 70000 - 66560 - 1000);

    f.settings.currentVolume = 4;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.bytesDone, 3 * 70000 - 66560);

    const VolumeExtent first = VolumeDataExtent(70000, 1, 1);
    EXPECT_EQ(first.start, 0);
    EXPECT_EQ(first.length, 70000 - 66560);
    const VolumeExtent second = VolumeDataExtent(70000, 2, 1);
    EXPECT_EQ(second.start, first.start + first.length);
    EXPECT_EQ(second.length, 70000);
    // A capacity the stub area fills completely describes no writable set.
    EXPECT_LT(VolumeDataExtent(66560, 2, 1).start, 0);
    EXPECT_LT(VolumeDataExtent(0, 2, 0).start, 0);
    EXPECT_LT(VolumeDataExtent(INT64_MAX / 2, 9999, 0).start, 0);
}

TEST(PositionAtVolume, AFileBoundaryOnTheVolumeStartKeepsTheEarlierFileCurrent) {
    Fixture f;
    AddEntry(f.set, "a", 2000);
    AddEntry(f.set, "empty", 0);
    AddEntry(f.set, "b", 10);
    UseCapacity(f, 2000);
    f.settings.currentVolume = 2;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.current, f.set.head);
    EXPECT_EQ(f.set.current->done, 2000);
    EXPECT_EQ(f.set.currentIndex, 0);
    EXPECT_EQ(f.set.head->next->done, 0);
}

TEST(PositionAtVolume, HeaderOnlyLastVolumeAndVolumesThatDoNotExist) {
    Fixture f;
    AddEntry(f.set, "a", 4000);
    AddEntry(f.set, "z", 0);
    UseCapacity(f, 2000);
    ASSERT_EQ(f.settings.volumeCount, 3);  // the third holds only its header
    f.settings.currentVolume = 3;
    EXPECT_EQ(PositionAtVolume(f.set), 1);
    EXPECT_EQ(f.set.current, f.set.head);
    EXPECT_EQ(f.set.current->done, 4000);

    f.settings.currentVolume = 4;
    EXPECT_EQ(PositionAtVolume(f.set), 0);
    EXPECT_EQ(f.set.current, f.set.head);
    EXPECT_EQ(f.set.bytesDone, 0);
    EXPECT_EQ(f.set.head->done, 0);
}

TEST(WalkToStreamOffset, BeyondTheDataStopsOnTheLastEntryComplete) {
    Fixture f;
    AddEntry(f.set, "a", 10);
    AddEntry(f.set, "b", 5);
    AddEntry(f.set, "z", 0);
    // An empty last entry must not keep the walk going round forever.
    WalkToStreamOffset(f.set, 1000);
    EXPECT_EQ(f.set.current, f.set.tail);
    EXPECT_EQ(f.set.currentIndex, 2);
    EXPECT_EQ(f.set.head->done, 10);
    EXPECT_EQ(f.set.head->next->done, 5);
    EXPECT_EQ(f.set.tail->done, 0);

    Fixture g;
    AddEntry(g.set, "a", 10);
    WalkToStreamOffset(g.set, 25);
    EXPECT_EQ(g.set.current->done, 10);  // never more than the file holds
    WalkToStreamOffset(g.set, 0);
    EXPECT_EQ(g.set.current->done, 0);

    Fixture empty;
    WalkToStreamOffset(empty.set, 5);
    EXPECT_EQ(empty.set.current, nullptr);
}

}  // namespace
}  // namespace tolvane
