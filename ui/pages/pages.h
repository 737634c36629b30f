// The archiver's pages. Each page is one class in its own file with a
// factory here; RegisterStandardPages (pages.cpp) registers the typed ones by
// page type, so adding a wizard page is: write the class, declare its factory
// here, add one line to RegisterStandardPages.
#pragma once

#include <memory>
#include <string>

namespace tolvane::ui {

class MainWindow;
class Page;

// Typed pages.
std::unique_ptr<Page> MakeStartPage(MainWindow& window);             // type 0
std::unique_ptr<Page> MakeSplitPage1(MainWindow& window);            // type 1
std::unique_ptr<Page> MakeSplitPage2(MainWindow& window);            // type 2
std::unique_ptr<Page> MakeRestorePage1(MainWindow& window);          // type 3
std::unique_ptr<Page> MakeRestoreProgressPage(MainWindow& window);   // type 4
std::unique_ptr<Page> MakeRepairPage1(MainWindow& window);           // type 5
std::unique_ptr<Page> MakeRepairPage2(MainWindow& window);           // type 6
std::unique_ptr<Page> MakeRepairPage3(MainWindow& window);           // type 7
std::unique_ptr<Page> MakeRepairProgressPage(MainWindow& window);    // type 8
std::unique_ptr<Page> MakeContinuePage1(MainWindow& window);         // type 9
std::unique_ptr<Page> MakeContinueProgressPage(MainWindow& window);  // type 10
std::unique_ptr<Page> MakeCompletionPage(MainWindow& window);        // type 11
std::unique_ptr<Page> MakeRecoveryRepairPage(MainWindow& window);    // type 12

// Pages without a type.
std::unique_ptr<Page> MakeAboutPage(MainWindow& window);
std::unique_ptr<Page> MakeInformationPage(MainWindow& window);
// The information page showing the file at path as soon as it is shown.
std::unique_ptr<Page> MakeInformationPage(MainWindow& window, const std::string& path);

void RegisterStandardPages(MainWindow& window);

}  // namespace tolvane::ui
