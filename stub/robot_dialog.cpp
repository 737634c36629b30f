#include "stub/robot_dialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "engine/platform/file_system.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {
namespace {

const QColor kLight(0xE8, 0xE8, 0xE8);
constexpr int kIconId = 105;
constexpr int64_t kPaintInterval = 40000;  // microseconds

QFont PixelFont(int pixels, bool bold, bool italic) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void Text(QPainter& p, const QRect& r, int pixels, bool bold, bool italic, const QBrush& brush,
          const char* text, int flags = Qt::AlignLeft | Qt::AlignVCenter) {
    p.setFont(PixelFont(pixels, bold, italic));
    p.setPen(QPen(brush, 1));
    p.drawText(r, flags, QString::fromUtf8(text));
}

// The dialog's pictures, drawn once at start-up: light text and a little
// ornament on black.
QPixmap Picture(int id, int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(id == kIconId ? Qt::transparent : Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect all(0, 0, width, height);
    QLinearGradient warm(0, 0, 0, height);
    warm.setColorAt(0, QColor(0xFF, 0xE0, 0x70));
    warm.setColorAt(1, QColor(0xE0, 0x70, 0x10));
    QLinearGradient line(0, 0, width, 0);
    line.setColorAt(0, QColor(0x30, 0x90, 0xFF));
    line.setColorAt(1, Qt::black);
    switch (id) {
        case kIconId:
            p.scale(1.4, 1.4);
            p.translate(-2, -4);
            [[fallthrough]];
        case kIdLogo:
            // A floppy disk, and in the logo the product's name.
            p.setBrush(QColor(0x30, 0x60, 0xC0));
            p.setPen(kLight);
            p.drawRoundedRect(QRectF(2.5, 4.5, 22, 22), 2, 2);
            p.fillRect(QRect(8, 5, 11, 7), kLight);
            p.fillRect(QRect(7, 17, 13, 9), Qt::black);
            if (id == kIdLogo) {
                // The name fits its box whatever font stands in: an italic
                // last letter leans out of its advance, so a few pixels spare.
                const QRect box = all.adjusted(29, 0, 0, 0);
                int pixels = 17;
                while (pixels > 8 &&
                       QFontMetrics(PixelFont(pixels, true, true)).boundingRect("Tolvane").width() +
                               4 >
                           box.width()) {
                    --pixels;
                }
                Text(p, box, pixels, true, true, warm, "Tolvane");
            }
            break;
        case kIdBannerTop:
            p.fillRect(QRect(0, height - 3, width, 2), line);
            Text(p, all.adjusted(4, 0, 0, -4), 15, true, false, kLight, "selfextracting archive",
                 Qt::AlignRight | Qt::AlignVCenter);
            break;
        case kIdBannerBottom:
            Text(p, all, 10, false, true, QColor(0x90, 0x90, 0x90), "Tolvane Robot v2",
                 Qt::AlignRight | Qt::AlignVCenter);
            break;
        case kIdTotalLabel:
            Text(p, all, 11, true, false, kLight, "Total:");
            break;
        case kIdDiskLabel:
            Text(p, all, 11, true, false, kLight, "Disk:");
            break;
        default:
            Text(p, all, 11, true, false, kLight, "Info:");
            break;
    }
    return pixmap;
}

QRect Units(int x, int y, int width, int height) {
    return QRect(DialogX(x), DialogY(y), DialogX(width), DialogY(height));
}

template <typename T>
T* Place(QWidget* parent, int id, const QRect& geometry) {
    T* w = new T(parent);
    w->setObjectName(QString::number(id));
    w->setGeometry(geometry);
    return w;
}

// An image control takes the size of its picture.
void PlacePicture(QWidget* parent, int id, int x, int y, int width, int height) {
    Place<QLabel>(parent, id, QRect(DialogX(x), DialogY(y), width, height))
        ->setPixmap(Picture(id, width, height));
}

QPushButton* PlaceButton(QWidget* parent, int id, const char* text, int x, int y, int width,
                         int height) {
    auto* button = Place<QPushButton>(parent, id, Units(x, y, width, height));
    button->setText(QString::fromUtf8(text));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QProgressBar* PlaceBar(QWidget* parent, int id, int y) {
    auto* bar = Place<QProgressBar>(parent, id, Units(5, y, 185, 10));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

}  // namespace

RobotDialog::RobotDialog()
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      robot_(*this) {
    // A sans serif with the widths of the 8-point font the dialog units are
    // measured in (Arial's metrics), where one is installed.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);
    setWindowTitle(QString::fromUtf8(texts::kWindowCaption));
    setWindowIcon(Picture(kIconId, 32, 32));
    setFixedSize(DialogX(272), DialogY(106));

    quit_ = PlaceButton(this, kIdQuit, texts::kQuit, 200, 70, 65, 14);
    start_ = PlaceButton(this, kIdStart, texts::kStart, 200, 45, 65, 15);
    total_ = PlaceBar(this, kIdTotalBar, 40);
    disk_ = PlaceBar(this, kIdDiskBar, 60);
    statusLine_ = Place<QLabel>(this, kIdStatus, Units(5, 80, 185, 10));
    statusLine_->setAlignment(Qt::AlignCenter);
    statusLine_->setAutoFillBackground(true);
    SetStatusText(texts::kStatusTemplate);
    PlacePicture(this, kIdLogo, 5, 5, 100, 32);
    PlacePicture(this, kIdDiskLabel, 5, 50, 32, 14);
    PlacePicture(this, kIdTotalLabel, 5, 30, 34, 14);
    PlacePicture(this, kIdInfoLabel, 5, 70, 29, 15);
    PlacePicture(this, kIdBannerBottom, 205, 95, 92, 16);
    PlacePicture(this, kIdBannerTop, 135, 5, 197, 31);

    QObject::connect(quit_, &QPushButton::clicked, [] { QCoreApplication::exit(0); });
    QObject::connect(start_, &QPushButton::clicked, [this] { robot_.StartPressed(); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QWidget* RobotDialog::Control(int id) const {
    return findChild<QWidget*>(QString::number(id));
}

void RobotDialog::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Qt::black);
}

void RobotDialog::Message(const std::string& text, const std::string& caption, Icon icon, Owner) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

bool RobotDialog::AskRetry(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Retry | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Retry;
}

bool RobotDialog::AskTargetFolder(std::string* folder) {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QString::fromUtf8(texts::kChooseFolder), QString(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) return false;
    *folder = QFile::encodeName(chosen).toStdString();
    return true;
}

bool RobotDialog::AskOverwrite(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(texts::kRetryCaption),
                    QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No, this);
    return box.exec() == QMessageBox::Yes;
}

void RobotDialog::SetOverallBar(int percent) {
    total_->setValue(percent);
}

void RobotDialog::SetVolumeBar(int percent) {
    disk_->setValue(percent);
}

void RobotDialog::SetStatusText(const std::string& text) {
    status_ = text;
    // A long path keeps its beginning and its file name.
    const QString full = QFile::decodeName(QByteArray::fromStdString(text));
    statusLine_->setText(
        statusLine_->fontMetrics().elidedText(full, Qt::ElideMiddle, statusLine_->width() - 4));
}

void RobotDialog::Repaint() {
    // At most every 40 ms: a set of thousands of small files reports after
    // each of them. What is left is painted when the copy returns to the
    // event loop.
    const int64_t now = platform::MonotonicMicroseconds();
    if (painted_ && now - lastPaint_ < kPaintInterval) return;
    painted_ = true;
    lastPaint_ = now;
    repaint();
}

void RobotDialog::SetStartButton(const std::string& caption, bool enabled) {
    if (!caption.empty()) start_->setText(QString::fromStdString(caption));
    start_->setEnabled(enabled);
}

}  // namespace tolvane::robot
