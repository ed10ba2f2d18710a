// Build-time generator of the resources that are drawn or derived rather than written by hand:
// the GB 2312 character list and the small pictures of the dialogs, the switch and the tray.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextCodec>
#include <cstdio>

namespace {

// The 6,763 hanzi of GB 2312 in code order: rows 0xB0-0xF7, cells 0xA1-0xFE, minus the five
// unassigned cells at the end of row 0xD7.
QString gb2312Hanzi()
{
    QTextCodec* codec = QTextCodec::codecForName("GB2312");
    QString out;
    if (!codec)
        return out;
    for (int row = 0xB0; row <= 0xF7; ++row) {
        for (int cell = 0xA1; cell <= 0xFE; ++cell) {
            if (row == 0xD7 && cell > 0xF9)
                continue;
            const char bytes[2] = {char(row), char(cell)};
            const QString s = codec->toUnicode(bytes, 2);
            if (s.size() == 1 && s.at(0).unicode() >= 0x4E00 && s.at(0).unicode() <= 0x9FFF)
                out += s;
        }
    }
    return out;
}

bool writeGb(const QString& path)
{
    const QString chars = gb2312Hanzi();
    if (chars.size() != 6763) {
        std::fprintf(stderr, "resgen: GB2312 codec gave %d characters\n", int(chars.size()));
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("\xEF\xBB\xBF");
    f.write(chars.toUtf8());
    f.write("\r\n");
    return true;
}

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A round badge with a white symbol drawn from strokes, so no font is needed at build time.
QImage badge(int size, const QColor& colour, char symbol)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal m = size * 0.04;
    p.drawEllipse(QRectF(m, m, size - 2 * m, size - 2 * m));
    QPen pen(Qt::white, size * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal c = size / 2.0;
    const qreal s = size;
    switch (symbol) {
    case 'i':
        p.drawLine(QPointF(c, s * 0.45), QPointF(c, s * 0.74));
        p.drawPoint(QPointF(c, s * 0.29));
        break;
    case '?': {
        QPainterPath path;
        path.moveTo(s * 0.36, s * 0.38);
        path.cubicTo(s * 0.36, s * 0.20, s * 0.66, s * 0.20, s * 0.65, s * 0.38);
        path.cubicTo(s * 0.64, s * 0.50, s * 0.50, s * 0.48, s * 0.50, s * 0.60);
        p.drawPath(path);
        p.drawPoint(QPointF(c, s * 0.76));
        break;
    }
    case 'x':
        p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
        break;
    case 'v':
        p.drawLine(QPointF(s * 0.28, s * 0.52), QPointF(s * 0.44, s * 0.68));
        p.drawLine(QPointF(s * 0.44, s * 0.68), QPointF(s * 0.72, s * 0.34));
        break;
    }
    return img;
}

QImage switchImage(bool on)
{
    QImage img = canvas(87, 28);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor track = on ? QColor("#3BA55C") : QColor("#B8BEC6");
    p.setPen(Qt::NoPen);
    p.setBrush(track);
    p.drawRoundedRect(QRectF(1, 1, 85, 26), 13, 13);
    p.setBrush(Qt::white);
    const qreal knobX = on ? 87 - 2 - 24 : 2;
    p.drawEllipse(QRectF(knobX, 2, 24, 24));
    // A short bar for "on" and a ring for "off", readable without text.
    QPen pen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (on)
        p.drawLine(QPointF(24, 9), QPointF(24, 19));
    else
        p.drawEllipse(QPointF(62, 14), 5, 5);
    return img;
}

// The tray and window picture: a key cap with a brush-like stroke.
QImage keyIcon(int size, const QColor& colour)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(colour.darker(140), s * 0.04));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.16, s * 0.16);
    p.setPen(QPen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.26, s * 0.34), QPointF(s * 0.74, s * 0.34));
    p.drawLine(QPointF(s * 0.50, s * 0.34), QPointF(s * 0.50, s * 0.74));
    p.drawLine(QPointF(s * 0.30, s * 0.56), QPointF(s * 0.70, s * 0.56));
    return img;
}

// A thank-you picture for the sponsor box: a heart inside a frame.
QImage sponsorImage()
{
    QImage img = canvas(248, 245);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#5A6B7D"), 4));
    p.drawRect(QRectF(4, 4, 240, 237));
    QPainterPath heart;
    heart.moveTo(124, 190);
    heart.cubicTo(40, 130, 60, 50, 124, 90);
    heart.cubicTo(188, 50, 208, 130, 124, 190);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#E0495A"));
    p.drawPath(heart);
    return img;
}

// The login window's banner: a plain blue gradient under its white greeting.
QImage bannerImage()
{
    QImage img = canvas(429, 60);
    QPainter p(&img);
    QLinearGradient gradient(0, 0, 429, 60);
    gradient.setColorAt(0, QColor("#2F7BD8"));
    gradient.setColorAt(1, QColor("#1B4F91"));
    p.fillRect(img.rect(), gradient);
    return img;
}

bool save(const QImage& img, const QString& path, const char* format = nullptr)
{
    if (img.save(path, format))
        return true;
    std::fprintf(stderr, "resgen: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: resgen OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    bool ok = writeGb(out + "/GB.txt");
    ok = save(badge(45, QColor("#2D8CF0"), 'i'), out + "/info.png") && ok;
    ok = save(badge(45, QColor("#F29D12"), '?'), out + "/question.png") && ok;
    ok = save(badge(45, QColor("#E04B4B"), 'x'), out + "/error.png") && ok;
    ok = save(badge(20, QColor("#3BA55C"), 'v'), out + "/update.png") && ok;
    ok = save(badge(20, QColor("#8A939E"), 'x'), out + "/close.png") && ok;
    ok = save(switchImage(true), out + "/btncheckon.png") && ok;
    ok = save(switchImage(false), out + "/btncheckoff.png") && ok;
    ok = save(keyIcon(32, QColor("#2F7BD8")), out + "/tb.ico", "ico") && ok;
    ok = save(keyIcon(32, QColor("#3BA55C")), out + "/input.ico", "ico") && ok;
    ok = save(sponsorImage(), out + "/zanzhu.png") && ok;
    ok = save(bannerImage(), out + "/banner.png") && ok;
    return ok ? 0 : 1;
}
