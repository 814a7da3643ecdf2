// The banner download window.
#include "lobby/ui/banner_download.h"

#include <QLabel>

#include "lobby/banner/banner_fetch.h"
#include "lobby/platform/app_events.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

BannerDownload::BannerDownload(std::string pictureUrl) : url_(std::move(pictureUrl)) {
    setWindowTitle("ZRTH Lobby");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    ApplyDialogLook(this);
    setFont(ArialFont(9));
    DialogUnits du(font());
    setFixedSize(du.size(150, 40));
    auto* text = new QLabel("Downloading Data ...", this);
    text->setAlignment(Qt::AlignCenter);
    text->setGeometry(du.rect(10, 14, 130, 12));
    QPalette pal = text->palette();
    pal.setColor(QPalette::WindowText, kPaintedTextYellow);
    text->setPalette(pal);
}

BannerDownload::~BannerDownload() {
    if (worker_.joinable()) worker_.join();
}

std::vector<unsigned char> BannerDownload::Run(const std::string& pictureUrl) {
    BannerDownload box(pictureUrl);
    box.exec();
    return std::move(box.banner_);
}

void BannerDownload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (worker_.joinable()) return;
    worker_ = std::thread([this] {
        std::vector<unsigned char> bytes;
        if (BannerFetch(url_, bytes) > 0) banner_ = std::move(bytes);
        PostAppEvent(this, WM_APP_1);
    });
}

bool BannerDownload::event(QEvent* e) {
    if (AppEvent::is(e, WM_APP_1)) {
        worker_.join();
        done(1);
        return true;
    }
    return QDialog::event(e);
}

}  // namespace zrt
