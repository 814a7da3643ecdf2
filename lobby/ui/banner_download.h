// The banner download window: "Downloading Data ..." while a worker fetches the start-up
// banner picture over HTTP.
#pragma once

#include <QDialog>

#include <string>
#include <thread>
#include <vector>

namespace zrt {

class BannerDownload : public QDialog {
    Q_OBJECT
public:
    explicit BannerDownload(std::string pictureUrl);
    ~BannerDownload() override;

    // Shows the window until the fetch has ended; the banner's bytes, or none.
    static std::vector<unsigned char> Run(const std::string& pictureUrl);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void reject() override {}  // the fetch is bounded in time; there is nothing to cancel

private:
    std::string url_;
    std::vector<unsigned char> banner_;
    std::thread worker_;
};

}  // namespace zrt
