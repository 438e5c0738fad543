// Draws Quarnix's own artwork: the seven pane images (16 and 32 pixels) and
// the application icon (16 to 256 pixels).  Run by res/tools/make_icons.sh;
// the PNGs it writes are committed, so a build never runs this.
//
// Every picture is drawn in a 16-unit square scaled to its pixel size, with
// strokes on half units so that they land on whole pixels at 16 and 32.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(0x5a, 0x5f, 0x69);

QPen Stroke(const QColor& color, qreal width = 1.0) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

// A 3x5 pixel font for the two value badges: each glyph is five rows of
// three bits, most significant bit on the left.
void Glyph(QPainter& p, const char* rows, qreal x, qreal y, const QColor& color) {
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c)
            if (rows[r * 3 + c] == '#') p.fillRect(QRectF(x + c, y + r, 1, 1), color);
}

const char kDigit0[] = "####.##.##.####";
const char kDigit1[] = ".#.##..#..#.###";
const char kLetterA[] = "....###.##.#.##";
const char kLetterB[] = "#..##.#.##.###.";

void Badge(QPainter& p, const QColor& top, const QColor& bottom, const QColor& edge) {
    QLinearGradient fill(0, 2, 0, 14);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(Stroke(edge));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 2, 2);
}

// MARK: pane images

void DrawFile(QPainter& p) {
    QPainterPath page;
    page.moveTo(2.5, 0.5);
    page.lineTo(9.5, 0.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 15.5);
    page.lineTo(2.5, 15.5);
    page.closeSubpath();
    p.setPen(Stroke(kOutline));
    p.setBrush(QColor(0xfd, 0xfd, 0xfb));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(9.5, 0.5);
    fold.lineTo(9.5, 4.5);
    fold.lineTo(13.5, 4.5);
    p.setBrush(QColor(0xdc, 0xe0, 0xe6));
    p.drawPath(fold);
    // A few lines of data, the first in the ruby colour of the app icon.
    p.fillRect(QRectF(4, 6, 5, 1), QColor(0xb3, 0x1b, 0x3a));
    for (int y = 8; y <= 12; y += 2) p.fillRect(QRectF(4, y, y == 10 ? 5 : 8, 1), QColor(0x8d, 0x9b, 0xb0));
}

void FolderBack(QPainter& p, const QColor& fill, const QColor& edge) {
    QPainterPath back;
    back.moveTo(0.5, 2.5);
    back.lineTo(5.5, 2.5);
    back.lineTo(7.5, 4.5);
    back.lineTo(15.5, 4.5);
    back.lineTo(15.5, 13.5);
    back.lineTo(0.5, 13.5);
    back.closeSubpath();
    p.setPen(Stroke(edge));
    p.setBrush(fill);
    p.drawPath(back);
}

void DrawContainer(QPainter& p) {
    const QColor edge(0xa8, 0x7a, 0x1e);
    FolderBack(p, QColor(0xe9, 0xb4, 0x3c), edge);
    QLinearGradient front(0, 6, 0, 13);
    front.setColorAt(0, QColor(0xfc, 0xde, 0x84));
    front.setColorAt(1, QColor(0xf2, 0xc2, 0x4e));
    p.setPen(Stroke(edge));
    p.setBrush(front);
    p.drawRect(QRectF(0.5, 6.5, 15, 7));
}

void DrawOpenContainer(QPainter& p) {
    const QColor edge(0xa8, 0x7a, 0x1e);
    FolderBack(p, QColor(0xe9, 0xb4, 0x3c), edge);
    QPainterPath front;
    front.moveTo(2.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.lineTo(0.5, 13.5);
    front.closeSubpath();
    p.setPen(Stroke(edge));
    p.setBrush(QColor(0xfc, 0xde, 0x84));
    p.drawPath(front);
}

void DrawStack(QPainter& p) {
    const QColor edge(0x6b, 0x72, 0x80);
    for (int i = 2; i >= 0; --i) {
        const qreal y = 1.5 + i * 4;
        p.setPen(Stroke(edge));
        p.setBrush(i == 0 ? QColor(0xe8, 0xeb, 0xf0) : QColor(0xc9, 0xcf, 0xd8));
        p.drawRect(QRectF(1.5, y, 13, 5));
        p.fillRect(QRectF(3, y + 2, 4, 1), QColor(0x8d, 0x9b, 0xb0));
    }
}

void DrawValue(QPainter& p) {
    Badge(p, QColor(0x5b, 0x9b, 0xe0), QColor(0x2f, 0x6d, 0xb5), QColor(0x1f, 0x4e, 0x86));
    Glyph(p, kLetterA, 4, 5, Qt::white);
    Glyph(p, kLetterB, 9, 5, Qt::white);
}

void DrawNumber(QPainter& p) {
    Badge(p, QColor(0x58, 0xc0, 0x7e), QColor(0x24, 0x8a, 0x4e), QColor(0x17, 0x63, 0x37));
    Glyph(p, kDigit0, 4, 5, Qt::white);
    Glyph(p, kDigit1, 9, 5, Qt::white);
}

// Drawn over a row's image: a small white box with a curved arrow in the
// bottom left corner, the rest transparent.
void DrawLinkOverlay(QPainter& p) {
    p.setPen(Stroke(QColor(0x30, 0x30, 0x30)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 8.5, 7, 7));
    QPainterPath arrow;
    arrow.moveTo(2.5, 14);
    arrow.cubicTo(2.5, 11.5, 3.5, 11, 5.5, 11);
    QPen shaft(QColor(0x1f, 0x4e, 0x86), 1.2);
    shaft.setCapStyle(Qt::FlatCap);
    p.setPen(shaft);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    QPainterPath head;
    head.moveTo(4.5, 9.2);
    head.lineTo(7.0, 11.0);
    head.lineTo(4.5, 12.8);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x86));
    p.drawPath(head);
}

// MARK: application icon

// A ruby-red rounded square holding a small white tree of three nodes: the
// file at the top, two values below it, joined by branch lines.
void DrawAppIcon(QPainter& p) {
    QLinearGradient fill(0, 0, 16, 16);
    fill.setColorAt(0, QColor(0xe0, 0x3a, 0x5a));
    fill.setColorAt(1, QColor(0x8c, 0x10, 0x2c));
    p.setPen(Stroke(QColor(0x6d, 0x0b, 0x22)));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    const QColor white(0xff, 0xff, 0xff);
    QPen branch(white, 1.0);
    branch.setCapStyle(Qt::FlatCap);
    p.setPen(branch);
    p.setBrush(Qt::NoBrush);
    QPainterPath lines;
    lines.moveTo(5.5, 6);
    lines.lineTo(5.5, 12.5);
    lines.lineTo(8, 12.5);
    lines.moveTo(5.5, 8.5);
    lines.lineTo(8, 8.5);
    p.drawPath(lines);
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawRect(QRectF(3, 3, 5, 3));
    p.setBrush(QColor(0xff, 0xe3, 0xea));
    p.drawRect(QRectF(8, 7, 5, 3));
    p.drawRect(QRectF(8, 11, 5, 3));
}

bool Render(const Drawing& draw, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    p.end();
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out + "/icons");
    QDir().mkpath(out + "/app");

    struct Pane {
        const char* name;
        Drawing draw;
    };
    // In image-list order; the index is the image's identity.
    const Pane panes[] = {
        {"0-file", DrawFile},          {"1-container", DrawContainer}, {"2-open-container", DrawOpenContainer},
        {"3-stack", DrawStack},        {"4-value", DrawValue},         {"5-number", DrawNumber},
        {"6-link-overlay", DrawLinkOverlay},
    };
    bool ok = true;
    for (const Pane& pane : panes)
        for (int size : {16, 32})
            ok &= Render(pane.draw, size, QString("%1/icons/%2-%3.png").arg(out, pane.name).arg(size));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= Render(DrawAppIcon, size, QString("%1/app/quarnix-%2.png").arg(out).arg(size));
    return ok ? 0 : 1;
}
