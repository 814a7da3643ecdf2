// The banner download window.
#include "lobby/ui/banner_download.h"

#include <QLabel>

#include "lobby/banner/banner_fetch.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

BannerDownload::BannerDownload(std::string pictureUrl)
    : WorkerDialog(nullptr, QStringLiteral("ZRTH Lobby"), QSize(150, 40)) {
    auto* text = new QLabel("Downloading Data ...", this);
    text->setAlignment(Qt::AlignCenter);
    text->setGeometry(DialogUnits(font()).rect(10, 14, 130, 12));
    QPalette pal = text->palette();
    pal.setColor(QPalette::WindowText, kPaintedTextYellow);
    text->setPalette(pal);
    setJob([this, url = std::move(pictureUrl)]() -> intptr_t {
        std::vector<unsigned char> bytes;
        if (BannerFetch(url, bytes) > 0) banner_ = std::move(bytes);
        return 0;
    });
}

std::vector<unsigned char> BannerDownload::Run(const std::string& pictureUrl) {
    BannerDownload box(pictureUrl);
    box.exec();
    box.joinWorker();
    return std::move(box.banner_);
}

}  // namespace zrt
