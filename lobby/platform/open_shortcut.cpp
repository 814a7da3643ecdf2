// Opening internet shortcut files.
#include "lobby/platform/open_shortcut.h"

#include <QDesktopServices>
#include <QUrl>

#include "lobby/data/url_shortcut.h"

namespace zrt {

bool OpenShortcut(const std::filesystem::path& file) {
    const std::optional<std::string> url = OpenableShortcutUrl(file);
    if (!url) return false;
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(*url)));
}

}  // namespace zrt
