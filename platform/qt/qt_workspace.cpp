#include "platform/qt/qt_workspace.h"

#include <QDesktopServices>
#include <QUrl>

namespace quorvel {

void QtWorkspace::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

void QtWorkspace::openFolder(const std::filesystem::path& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

}  // namespace quorvel
