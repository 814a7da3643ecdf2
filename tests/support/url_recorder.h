// UrlRecorder: takes the addresses that QDesktopServices is asked to open for the schemes it
// is installed for, instead of a web browser, so tests can see what a click opens.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    explicit UrlRecorder(QStringList schemes = {"http", "https", "ftp", "file"});
    ~UrlRecorder() override;

    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened << url; }

  private:
    QStringList schemes_;
};
