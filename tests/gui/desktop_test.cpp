// The drive buttons, the help document, the disk formatter and the file
// manager on a Linux desktop.
#include <gtest/gtest.h>

#include <set>

#include "tests/gui/gui_test_support.h"
#include "tests/support/test_support.h"
#include "ui/framework/desktop_paths.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;

TEST(DriveRoots, RemovableMediaInMountOrder) {
    const std::string mounts =
        "/dev/sda2 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdc1 /media/anna/USB\\040STICK vfat rw,nosuid 0 0\n"
        "/dev/sda3 /home ext4 rw 0 0\n"
        "/dev/fd0 /run/media/anna/FLOPPY vfat rw 0 0\n"
        "/dev/sdd1 /media/anna/KAMERA exfat rw 0 0\n";
    const DriveRoots r = MapDriveRoots(mounts, "/home/anna", "anna");
    EXPECT_EQ(r.a, "/media/anna/USB STICK");
    EXPECT_EQ(r.aDevice, "/dev/sdc1");
    EXPECT_EQ(r.b, "/run/media/anna/FLOPPY");
    EXPECT_EQ(r.bDevice, "/dev/fd0");
    EXPECT_EQ(r.hardDisk, "/home/anna");
}

TEST(DriveRoots, WithoutMediaBothStandForTheUsersMediaFolder) {
    const DriveRoots none = MapDriveRoots("/dev/sda1 / ext4 rw 0 0\n/dev/sda1 /media ext4 rw 0 0\n",
                                          "/home/bert", "bert");
    EXPECT_EQ(none.a, "/media/bert");
    EXPECT_EQ(none.b, "/media/bert");
    EXPECT_EQ(none.aDevice, "");
    const DriveRoots one =
        MapDriveRoots("//server/share /media/bert/NAS cifs rw 0 0\n", "/home/bert", "bert");
    EXPECT_EQ(one.a, "/media/bert/NAS");
    EXPECT_EQ(one.aDevice, "");  // not a block device: nothing to format
    EXPECT_EQ(one.b, "/media/bert");
    EXPECT_EQ(MapDriveRoots("", "", "").hardDisk, "/");
    EXPECT_EQ(MapDriveRoots("garbage\n\n", "/h", "").a, "/media");
}

TEST(FormatDrive, DriveLetterDecidesTheDrive) {
    EXPECT_EQ(DriveNumberOfPath("a:\\"), 0);
    EXPECT_EQ(DriveNumberOfPath("A:\\"), 0);
    EXPECT_EQ(DriveNumberOfPath("b:\\"), 1);
    EXPECT_EQ(DriveNumberOfPath("B"), 1);
    EXPECT_EQ(DriveNumberOfPath("c:\\"), std::nullopt);
    EXPECT_EQ(DriveNumberOfPath(""), std::nullopt);
}

TEST(FormatDrive, UsesAnInstalledFormatterOrNothing) {
    DriveRoots roots{"/media/u/A", "/media/u", "/home/u", "/dev/sdb1", ""};
    auto none = [](const std::string&) { return std::string(); };
    EXPECT_FALSE(FormatterCall(0, roots, none));
    auto gnome = [](const std::string& n) {
        return n == "gnome-disks" ? std::string("/usr/bin/gnome-disks") : std::string();
    };
    const auto a = FormatterCall(0, roots, gnome);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->program, "/usr/bin/gnome-disks");
    EXPECT_EQ(a->args,
              (std::vector<std::string>{"--block-device", "/dev/sdb1", "--format-device"}));
    const auto b = FormatterCall(1, roots, gnome);
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->args.empty());  // no medium in B: the formatter opens on its own
    auto kde = [](const std::string& n) {
        return n == "partitionmanager" ? std::string("/usr/bin/partitionmanager") : std::string();
    };
    ASSERT_TRUE(FormatterCall(0, roots, kde));
    EXPECT_EQ(FormatterCall(0, roots, kde)->program, "/usr/bin/partitionmanager");
}

TEST(MenuCommands, FormatCommandsStartTheFormatterAndKeepThePage) {
    GuiFixture f;
    f.shell.roots.bDevice.clear();  // nothing mounted for B
    f.w().GoTo(kRepairPage3);
    Page* page = f.w().currentPage();
    f.w().Command(kMenuFormatA);
    EXPECT_TRUE(f.shell.started.empty());  // nothing installed: nothing happens
    f.shell.programs["gnome-disks"] = "/usr/bin/gnome-disks";
    f.w().Command(kMenuFormatA);
    f.w().Command(kMenuFormatB);
    ASSERT_EQ(f.shell.started.size(), 2u);
    EXPECT_EQ(f.shell.started[0].args,
              (std::vector<std::string>{"--block-device", "/dev/sdz1", "--format-device"}));
    EXPECT_TRUE(f.shell.started[1].args.empty());
    EXPECT_EQ(f.w().currentPage(), page);
    EXPECT_EQ(f.w().pageType(), kRepairPage3);
    EXPECT_EQ(f.w().FormatDrive("c:\\"), 0);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(MenuCommands, ExplorerOpensTheHomeFolder) {
    GuiFixture f;
    f.w().Command(kMenuExplorer);
    EXPECT_EQ(f.shell.opened, std::vector<std::string>{"/home/test"});
}

TEST(HelpDocument, LookedForInCurrentFolderThenBesideTheProgramThenInstalled) {
    // Paths as the system writes them.
    const auto N = tolvane::test::NativePath;
    std::set<std::string> present;
    auto exists = [&present](const std::string& p) { return present.count(p) > 0; };
    EXPECT_EQ(FindHelpDocument(N("/cwd"), N("/opt/tolvane/bin"), N("/usr/share/tolvane"), exists),
              "");
    present.insert(N("/usr/share/tolvane/hilfe.htm"));
    EXPECT_EQ(FindHelpDocument(N("/cwd"), N("/opt/tolvane/bin"), N("/usr/share/tolvane"), exists),
              N("/usr/share/tolvane/hilfe.htm"));
    present.insert(N("/opt/tolvane/bin/hilfe.htm"));
    EXPECT_EQ(FindHelpDocument(N("/cwd"), N("/opt/tolvane/bin"), N("/usr/share/tolvane"), exists),
              N("/opt/tolvane/bin/hilfe.htm"));
    present.insert(N("/cwd/hilfe.htm"));
    EXPECT_EQ(FindHelpDocument(N("/cwd"), N("/opt/tolvane/bin"), N("/usr/share/tolvane"), exists),
              N("/cwd/hilfe.htm"));
    present = {N("/hilfe.htm")};
    EXPECT_EQ(FindHelpDocument(N("/"), "", "", exists), N("/hilfe.htm"));
}

TEST(MenuCommands, HelpOpensTheDocumentFoundAndKeepsThePage) {
    tolvane::test::TempDir dir;
    tolvane::test::WriteFile(dir / "hilfe.htm", "<html></html>");
    WindowOptions options;
    options.programDir = dir.path();
    options.currentDir = dir / "nirgends";
    GuiFixture f(options);
    f.w().GoTo(kSplitPage1);
    f.w().Command(kMenuHelp);
    EXPECT_EQ(f.shell.opened, std::vector<std::string>{dir / "hilfe.htm"});
    EXPECT_EQ(f.w().pageType(), kSplitPage1);

    GuiFixture without;  // no help document anywhere: nothing is opened or said
    without.w().Command(kMenuHelp);
    EXPECT_TRUE(without.shell.opened.empty());
    EXPECT_TRUE(without.messages.shown.empty());
}

TEST(RobotImage, BesideTheProgramElseInstalled) {
    // Paths as the system writes them.
    const auto N = tolvane::test::NativePath;
    std::set<std::string> present;
    auto exists = [&present](const std::string& p) { return present.count(p) > 0; };
    EXPECT_EQ(RobotImagePath(N("/opt/t/bin"), N("/usr/share/tolvane"), exists),
              N("/opt/t/bin/Robot.dat"));
    present.insert(N("/usr/share/tolvane/Robot.dat"));
    EXPECT_EQ(RobotImagePath(N("/opt/t/bin"), N("/usr/share/tolvane"), exists),
              N("/usr/share/tolvane/Robot.dat"));
    present.insert(N("/opt/t/bin/Robot.dat"));
    EXPECT_EQ(RobotImagePath(N("/opt/t/bin"), N("/usr/share/tolvane"), exists),
              N("/opt/t/bin/Robot.dat"));
}

}  // namespace
}  // namespace tolvane::ui
