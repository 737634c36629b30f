#include "engine/continue.h"

#include <gtest/gtest.h>

#include "engine/position.h"
#include "engine/texts.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::TempDir;
using test::WriteFile;

TEST(CheckContinuedFile, TheBegunFileMustFitTheStartVolume) {
    TempDir dir;
    Fixture f;
    for (auto [name, size] : {std::pair{"a", 1000}, std::pair{"b", 4500}}) {
        auto* e = new FileEntry;
        e->path = std::string("/") + name;
        e->size = size;
        f.set.AppendEntry(e);
    }
    f.settings.targetPath = dir.path() + "/";
    WalkToStreamOffset(f.set, 2000);  // b is begun with 1000 bytes
    ASSERT_EQ(f.set.current->done, 1000);

    // Missing: left to the extractor, which reports it when it opens it.
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
    for (size_t size : {1000u, 3000u, 4500u}) {
        WriteFile(dir / "b", std::string(size, 'b'));
        EXPECT_EQ(CheckContinuedFile(f.set), 1) << size;
    }
    EXPECT_TRUE(f.display.messages.empty());

    // Shorter than what counts as done would leave a hole; longer than the
    // stored size is not the file the earlier run began.
    for (size_t size : {999u, 4501u}) {
        WriteFile(dir / "b", std::string(size, 'b'));
        EXPECT_EQ(CheckContinuedFile(f.set), 0) << size;
    }
    ASSERT_EQ(f.display.messages.size(), 2u);
    EXPECT_EQ(f.display.messages[0].text,
              "Die begonnene Datei \"b\" im Zielverzeichnis passt nicht zum gewählten "
              "Datenträger.\nBitte beginnen Sie bei einem früheren Datenträger!");
    EXPECT_EQ(f.display.messages[0].caption, texts::kAppCaption);

    // Nothing begun: nothing to check.
    WalkToStreamOffset(f.set, 1000);
    EXPECT_EQ(f.set.current->done, 1000);  // a, complete: it must be whole
    WriteFile(dir / "a", std::string(1000, 'a'));
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
    WalkToStreamOffset(f.set, 0);
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
}

}  // namespace
}  // namespace tolvane
