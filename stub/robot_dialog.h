// The stub's one window: logo, label images, the Total and Disk bars, the
// status line, Start and Quit, on a black background. It is worked with the
// mouse only.
#pragma once

#include <QWidget>
#include <string>

#include "stub/robot.h"
#include "stub/robot_ids.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tolvane::robot {

// Dialog units to pixels for an 8-point sans-serif font at 96 dpi, whose
// base units are 6 x 13 pixels.
inline int DialogX(int units) {
    return (units * 6 + 2) / 4;
}
inline int DialogY(int units) {
    return (units * 13 + 4) / 8;
}

class RobotDialog : public QWidget, public RobotView {
  public:
    RobotDialog();

    Robot& robot() { return robot_; }
    // The control with the given id (its object name is the id).
    QWidget* Control(int id) const;
    const std::string& statusText() const { return status_; }

    // RobotView. The questions are virtual so that a test can answer them.
    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override;
    bool AskTargetFolder(std::string* folder) override;
    bool AskOverwrite(const std::string& question) override;
    void SetOverallBar(int percent) override;
    void SetVolumeBar(int percent) override;
    void SetStatusText(const std::string& text) override;
    void Repaint() override;
    void SetStartButton(const std::string& caption, bool enabled) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Robot robot_;
    std::string status_;
    QPushButton* quit_;
    QPushButton* start_;
    QProgressBar* total_;
    QProgressBar* disk_;
    QLabel* statusLine_;
    int64_t lastPaint_ = 0;  // microseconds (platform::MonotonicMicroseconds)
    bool painted_ = false;
};

}  // namespace tolvane::robot
