#include "ui/pages/pages.h"

#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"

namespace tolvane::ui {

void RegisterStandardPages(MainWindow& window) {
    window.RegisterPage(kStartPage, MakeStartPage);
    window.RegisterPage(kSplitPage1, MakeSplitPage1);
    window.RegisterPage(kSplitPage2, MakeSplitPage2);
    window.RegisterPage(kRestorePage1, MakeRestorePage1);
    window.RegisterPage(kRestoreProgressPage, MakeRestoreProgressPage);
    window.RegisterPage(kRepairPage1, MakeRepairPage1);
    window.RegisterPage(kRepairPage2, MakeRepairPage2);
    window.RegisterPage(kRepairPage3, MakeRepairPage3);
    window.RegisterPage(kRepairProgressPage, MakeRepairProgressPage);
    window.RegisterPage(kContinuePage1, MakeContinuePage1);
    window.RegisterPage(kContinueProgressPage, MakeContinueProgressPage);
    window.RegisterPage(kCompletionPage, MakeCompletionPage);
    window.RegisterPage(kRecoveryRepairPage, MakeRecoveryRepairPage);
}

}  // namespace tolvane::ui
