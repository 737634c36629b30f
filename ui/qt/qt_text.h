// Texts and paths between the engine (UTF-8 std::string) and Qt (QString).
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace tolvane::ui {

inline QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string FromQ(const QString& text) {
    return text.toStdString();
}

// Paths keep the bytes the file system gave them, valid UTF-8 or not.
inline QString PathToQ(const std::string& path) {
    return QFile::decodeName(path.c_str());
}
inline std::string PathFromQ(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace tolvane::ui
