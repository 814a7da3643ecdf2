// The banner download window: "Downloading Data ..." while a worker fetches the start-up
// banner picture over HTTP. The fetch is bounded in time, so there is nothing to cancel.
#pragma once

#include <string>
#include <vector>

#include "lobby/ui/worker_dialog.h"

namespace zrt {

class BannerDownload : public WorkerDialog {
    Q_OBJECT
  public:
    explicit BannerDownload(std::string pictureUrl);

    // Shows the window until the fetch has ended; the banner's bytes, or none.
    static std::vector<unsigned char> Run(const std::string& pictureUrl);

  private:
    std::vector<unsigned char> banner_;  // written by the worker, read once it has ended
};

}  // namespace zrt
