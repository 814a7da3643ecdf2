// Opening a shortcut file's web address through the desktop.
#include "lobby/platform/open_shortcut.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <optional>
#include <string>

#include "lobby/data/url_shortcut.h"

namespace zrt {

bool OpenShortcut(const std::filesystem::path& file) {
    const std::optional<std::string> url = OpenableShortcutUrl(file);
    return url && QDesktopServices::openUrl(QUrl(QString::fromStdString(*url)));
}

}  // namespace zrt
