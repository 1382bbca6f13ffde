#include "platform/qtdesktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool QtDesktop::open(const QString& target) {
    // Existing paths are files; everything else is an address for the browser.
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}
