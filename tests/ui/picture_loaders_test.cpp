// BMP and JPEG loading on every display format, against files written by ImageMagick, and
// hostile or broken files that must fail cleanly.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "lobby/platform/display_format.h"
#include "lobby/ui/bitmap_loader.h"
#include "lobby/ui/cached_bitmap.h"
#include "lobby/ui/jpeg_loader.h"

using namespace zrt;

namespace {

DisplayProbe Probe(int bits, uint8_t second = 0) {
    DisplayProbe p;
    p.bitsPerPixel = bits;
    p.redBytes[1] = second;
    return p;
}

void PutU32(QByteArray& b, int offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

class PictureLoadersTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString convert_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    void magick(const QStringList& args) {
        QProcess p;
        p.start(convert_, args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
    }
    // ImageMagick's own reading of a file, as the reference picture.
    QImage reference(const QString& file) {
        const QString png = file + ".ref.png";
        QProcess p;
        p.start(convert_, {file, "-alpha", "off", "png24:" + png});
        p.waitForFinished(60000);
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
    QByteArray bytes(const QString& file) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString write(const QString& name, const QByteArray& data) {
        QFile f(path(name));
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return path(name);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        convert_ = QStandardPaths::findExecutable("convert");
        if (convert_.isEmpty()) QSKIP("ImageMagick's convert is not installed");
    }
    void cleanup() { OverrideDisplayProbe(std::nullopt); }

    void classifiesDisplayProbes() {
        QCOMPARE(ClassifyDisplayProbe(Probe(32)), PixelFormat::Bits32);
        QCOMPARE(ClassifyDisplayProbe(Probe(24)), PixelFormat::Bits24);
        QCOMPARE(ClassifyDisplayProbe(Probe(16, 0xF8)), PixelFormat::Rgb565);  // red 5-6-5: 0xF800
        QCOMPARE(ClassifyDisplayProbe(Probe(16, 0x80)), PixelFormat::Rgb565);
        QCOMPARE(ClassifyDisplayProbe(Probe(16, 0x7C)), PixelFormat::Rgb555);  // red 5-5-5: 0x7C00
        QCOMPARE(ClassifyDisplayProbe(Probe(8)), PixelFormat::Bits8);
        QCOMPARE(ClassifyDisplayProbe(Probe(4)), PixelFormat::Bits4);
        QCOMPARE(ClassifyDisplayProbe(Probe(1)), PixelFormat::Bits1);
        QCOMPARE(ClassifyDisplayProbe(Probe(15)), PixelFormat::Other);

        OverrideDisplayProbe(Probe(16, 0xF8));
        QCOMPARE(DisplayPixelFormat(), PixelFormat::Rgb565);
        QCOMPARE(DisplayImageFormat(), QImage::Format_RGB16);
        OverrideDisplayProbe(Probe(16, 0x7C));
        QCOMPARE(DisplayImageFormat(), QImage::Format_RGB555);
        OverrideDisplayProbe(Probe(24));
        QCOMPARE(DisplayImageFormat(), QImage::Format_RGB888);
        OverrideDisplayProbe(Probe(8));
        QCOMPARE(DisplayPixelFormat(), PixelFormat::Bits8);
        OverrideDisplayProbe(std::nullopt);
        QCOMPARE(DisplayPixelFormat(),
                 PixelFormat::Bits32);  // the offscreen screen is 32 bits deep
    }

    void loadsEveryDepth_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("bits");
        const QString grad = "gradient:red-blue";
        QTest::newRow("1 bit") << QStringList{"-size", "9x5", "pattern:checkerboard", "-monochrome"}
                               << 1;
        QTest::newRow("4 bits") << QStringList{"-size", "9x5",     grad,        "-colors", "10",
                                               "-type", "palette", "-compress", "None"}
                                << 4;
        // ImageMagick run-length encodes 8-bit files unless told not to.
        QTest::newRow("8 bits") << QStringList{"-size",   "5x40",      grad,  "-type",
                                               "palette", "-compress", "None"}
                                << 8;
        QTest::newRow("24 bits") << QStringList{"-size", "7x5", grad, "-type", "truecolor"} << 24;
        QTest::newRow("16 bits 5-6-5")
            << QStringList{"-size", "9x5", grad, "-define", "bmp:subtype=RGB565"} << 16;
        QTest::newRow("16 bits 5-5-5")
            << QStringList{"-size", "9x5", grad, "-define", "bmp:subtype=RGB555"} << 16;
        QTest::newRow("32 bits") << QStringList{"-size", "9x5",           grad, "-alpha", "set",
                                                "-type", "TrueColorAlpha"}
                                 << 32;
    }
    void loadsEveryDepth() {
        QFETCH(QStringList, args);
        QFETCH(int, bits);
        const QString file = path(QString(QTest::currentDataTag()).replace(' ', '_') + ".bmp");
        // 16- and 32-bit files need the longer header for their masks; the rest use BMP3.
        magick(args << ((bits == 16 || bits == 32) ? "BMP:" + file : "BMP3:" + file));
        const QImage want = reference(file);
        QVERIFY(!want.isNull());

        std::optional<LoadedBitmap> got = LoadBitmapFile(file);
        QVERIFY(got.has_value());
        QCOMPARE(got->bitsPerPixel, bits);
        QCOMPARE(got->image.format(), QImage::Format_RGB32);
        QCOMPARE(got->image.size(), want.size());
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x) {
                const QRgb a = got->image.pixel(x, y), b = want.pixel(x, y);
                // Fewer than 8 bits per channel may be widened with different rounding.
                const int tolerance = bits == 16 ? 8 : 0;
                if (qAbs(qRed(a) - qRed(b)) > tolerance ||
                    qAbs(qGreen(a) - qGreen(b)) > tolerance ||
                    qAbs(qBlue(a) - qBlue(b)) > tolerance)
                    QFAIL(qPrintable(QString("pixel %1,%2: %3 != %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(a, 8, 16)
                                         .arg(b, 8, 16)));
            }
    }

    void bitmapsTakeTheDisplayFormat() {
        const QString file = path("fmt.bmp");
        magick({"-size", "6x4", "xc:red", "-fill", "lime", "-draw", "point 2,1", "-type",
                "truecolor", "BMP3:" + file});
        const struct {
            DisplayProbe probe;
            QImage::Format format;
        } cases[] = {
            {Probe(24), QImage::Format_RGB888},
            {Probe(16, 0xF8), QImage::Format_RGB16},
            {Probe(16, 0x7C), QImage::Format_RGB555},
        };
        for (const auto& c : cases) {
            OverrideDisplayProbe(c.probe);
            std::optional<LoadedBitmap> got = LoadBitmapFile(file);
            QVERIFY(got.has_value());
            QCOMPARE(got->image.format(), c.format);
            QCOMPARE(got->image.pixel(0, 0), qRgb(255, 0, 0));
            QCOMPARE(qGreen(got->image.pixel(2, 1)) > 240, true);
        }
    }

    void cachedBitmapKeepsItsBytes() {
        const QString file = path("cached.bmp");
        magick({"-size", "7x3", "xc:blue", "-type", "truecolor", "BMP3:" + file});
        CachedBitmap b;
        QVERIFY(b.load(file));
        QCOMPARE(b.width(), 7);
        QCOMPARE(b.bits().size(), qsizetype(b.image().bytesPerLine() * 3));
        QCOMPARE(reinterpret_cast<const QRgb*>(b.bits().constData())[0], qRgb(0, 0, 255));
        QCOMPARE(b.fileBitsPerPixel(), 24);
        QVERIFY(!b.load(path("missing.bmp")));
        QVERIFY(b.isNull());
        QVERIFY(b.bits().isEmpty());
    }

    void brokenBitmapsFail_data() {
        QTest::addColumn<QByteArray>("data");
        const QString file = path("good.bmp");
        magick({"-size", "9x5", "gradient:red-blue", "-colors", "10", "-type", "palette",
                "BMP3:" + file});
        const QByteArray good = bytes(file);
        QVERIFY(LoadBitmapFile(file).has_value());

        QByteArray b = good;
        b[1] = 'X';
        QTest::newRow("wrong signature") << b;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut in the headers") << good.left(30);
        QTest::newRow("cut in the palette") << good.left(54 + 20);
        QTest::newRow("one pixel byte short") << good.left(good.size() - 1);
        b = good;
        PutU32(b, 18, 0x7FFFFFFF);
        QTest::newRow("absurd width") << b;
        b = good;
        PutU32(b, 22, 100000);
        QTest::newRow("absurd height") << b;
        b = good;
        PutU32(b, 18, 4000);
        PutU32(b, 22, 4000);
        QTest::newRow("large but shorter than its pixels") << b;
        b = good;
        PutU32(b, 18, 0);
        QTest::newRow("zero width") << b;
        b = good;
        PutU32(b, 22, static_cast<uint32_t>(-5));
        QTest::newRow("top-down") << b;
        b = good;
        b[28] = 2;
        QTest::newRow("2 bits per pixel") << b;
        b = good;
        b[28] = 64;
        QTest::newRow("64 bits per pixel") << b;
        b = good;
        PutU32(b, 30, 2);
        QTest::newRow("run-length compressed") << b;
        b = good;
        PutU32(b, 14, 12);
        QTest::newRow("core header") << b;
        b = good;
        PutU32(b, 14, 0xFFFFFFF0);
        QTest::newRow("huge header") << b;
        b = good;
        PutU32(b, 10, 0xFFFFFFF0);
        QTest::newRow("pixel offset past the end") << b;
    }
    void brokenBitmapsFail() {
        QFETCH(QByteArray, data);
        QVERIFY(!LoadBitmapFile(write("broken.bmp", data)).has_value());
        CachedBitmap b;
        QVERIFY(!b.load(path("broken.bmp")));
    }

    void runLengthFilesAreRefused() {
        const QString file = path("rle.bmp");
        magick({"-size", "5x40", "gradient:red-blue", "-type", "palette", "BMP3:" + file});
        QCOMPARE(bytes(file).at(30), char(1));  // ImageMagick wrote RLE8
        QVERIFY(!LoadBitmapFile(file).has_value());
    }

    void paletteCountComesFromTheHeader() {
        // A declared colour count larger than the depth allows is capped; indexes past a short
        // palette read as black instead of reading outside it.
        const QString file = path("pal.bmp");
        magick({"-size", "9x5", "gradient:red-blue", "-colors", "10", "-type", "palette",
                "BMP3:" + file});
        QByteArray b = bytes(file);
        PutU32(b, 46, 1000);
        QVERIFY(LoadBitmapFile(write("pal_big.bmp", b)).has_value());
        b = bytes(file);
        PutU32(b, 46, 1);
        std::optional<LoadedBitmap> got = LoadBitmapFile(write("pal_one.bmp", b));
        QVERIFY(got.has_value());
    }

    void loadsColourJpeg() {
        const QString file = path("colour.jpg");
        magick({"-size", "16x8", "xc:red", "-fill", "blue", "-draw", "rectangle 8,0 15,7",
                "-quality", "100", "JPG:" + file});
        std::optional<QImage> got = LoadJpegFile(file);
        QVERIFY(got.has_value());
        QCOMPARE(got->size(), QSize(16, 8));
        QCOMPARE(got->format(), QImage::Format_RGB32);
        const QRgb left = got->pixel(2, 4), right = got->pixel(13, 4);
        QVERIFY(qRed(left) > 240 && qGreen(left) < 16 && qBlue(left) < 16);
        QVERIFY(qBlue(right) > 240 && qRed(right) < 16 && qGreen(right) < 16);

        // 16-bit displays: the decoded colours packed 5-6-5 or 5-5-5, little-endian.
        const QImage rgb = *got;
        OverrideDisplayProbe(Probe(16, 0xF8));
        std::optional<QImage> g565 = LoadJpegFile(file);
        QVERIFY(g565 && g565->format() == QImage::Format_RGB16);
        OverrideDisplayProbe(Probe(16, 0x7C));
        std::optional<QImage> g555 = LoadJpegFile(file);
        QVERIFY(g555 && g555->format() == QImage::Format_RGB555);
        OverrideDisplayProbe(Probe(24));
        std::optional<QImage> g888 = LoadJpegFile(file);
        QVERIFY(g888 && g888->format() == QImage::Format_RGB888);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb c = rgb.pixel(x, y);
                const int r = qRed(c), g = qGreen(c), b = qBlue(c);
                const uchar* p565 = g565->constScanLine(y) + 2 * x;
                const uchar* p555 = g555->constScanLine(y) + 2 * x;
                QCOMPARE(p565[0] | (p565[1] << 8), ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                QCOMPARE(p555[0] | (p555[1] << 8), ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                QCOMPARE(g888->pixel(x, y), c);
            }
        OverrideDisplayProbe(Probe(8));
        QVERIFY(!LoadJpegFile(file).has_value());
    }

    void greyAndBrokenJpegsFail() {
        const QString grey = path("grey.jpg");
        magick({"-size", "16x8", "gradient:white-black", "-colorspace", "Gray", "JPG:" + grey});
        QVERIFY(!LoadJpegFile(grey).has_value());

        const QString colour = path("c.jpg");
        magick({"-size", "64x64", "plasma:", "JPG:" + colour});
        const QByteArray good = bytes(colour);
        QVERIFY(LoadJpegFile(colour).has_value());
        QVERIFY(!LoadJpegFile(write("garbage.jpg", QByteArray(200, 'x'))).has_value());
        QVERIFY(!LoadJpegFile(write("empty.jpg", QByteArray())).has_value());
        QVERIFY(!LoadJpegFile(write("cut.jpg", good.left(40))).has_value());
        // Overwrite the frame header's precision and sizes with nonsense.
        QByteArray bad = good;
        const qsizetype sof = bad.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(sof > 0);
        bad[sof + 4] = 3;
        QVERIFY(!LoadJpegFile(write("badsof.jpg", bad)).has_value());
        QVERIFY(!LoadJpegFile(path("missing.jpg")).has_value());
        // Still here: a corrupt file did not end the process.
        QVERIFY(LoadJpegFile(colour).has_value());
    }
};

QTEST_MAIN(PictureLoadersTest)
#include "picture_loaders_test.moc"
