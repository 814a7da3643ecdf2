// UrlRecorder: installed and removed as the URL handler of its schemes.
#include "tests/support/url_recorder.h"

#include <QDesktopServices>

UrlRecorder::UrlRecorder(QStringList schemes) : schemes_(std::move(schemes)) {
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder() {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
}
