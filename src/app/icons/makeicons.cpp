// Draws the program's icons into PNG files and writes the resource file that names them.
//
//   tarnwell_makeicons OUTDIR
//
// Every icon is a simple pictogram of its meaning, drawn with QPainter; nothing is read from
// disk. The resource file OUTDIR/icons.qrc maps the resource paths the program uses
// (":/main/pics/...", ":/32x32/pics/new/32x32/...") onto the files. The application icon is
// also drawn in the sizes of the desktop's icon theme into OUTDIR/hicolor.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTextStream>
#include <QtMath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Draw = std::function<void(QPainter&)>;

struct Icon {
    const char* prefix; // resource prefix
    const char* alias;  // path below the prefix
    int size;
    Draw draw;
};

const QColor outline(50, 50, 60);
const QColor paper(250, 250, 245);
const QColor folderYellow(240, 190, 70);
const QColor green(60, 160, 70);
const QColor red(200, 50, 50);
const QColor blue(50, 110, 200);

QPen pen(const QColor& c, qreal w = 1.5) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, const QRectF& r) {
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(pen(outline));
    p.setBrush(paper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter& p, const QRectF& r, int n) {
    p.setPen(pen(QColor(140, 140, 150), 1.2));
    for (int i = 0; i < n; ++i) {
        const qreal y = r.top() + (i + 1) * r.height() / (n + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void folder(QPainter& p, const QRectF& r, bool open) {
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 3);
    back.lineTo(r.left() + r.width() * 0.35, r.top() + 3);
    back.lineTo(r.left() + r.width() * 0.45, r.top() + 7);
    back.lineTo(r.right(), r.top() + 7);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.setPen(pen(outline));
    p.setBrush(folderYellow.darker(115));
    p.drawPath(back);
    QPainterPath front;
    if (open) {
        front.moveTo(r.left(), r.bottom());
        front.lineTo(r.left() + 5, r.top() + 12);
        front.lineTo(r.right() + 3, r.top() + 12);
        front.lineTo(r.right(), r.bottom());
    } else {
        front.addRect(QRectF(r.left(), r.top() + 10, r.width(), r.height() - 10));
    }
    front.closeSubpath();
    p.setBrush(folderYellow);
    p.drawPath(front);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c, qreal w = 2.5) {
    p.setPen(pen(c, w));
    p.drawLine(from, to);
    const qreal a = qAtan2(to.y() - from.y(), to.x() - from.x());
    const qreal len = 3 * w;
    QPolygonF head;
    head << to << to - QPointF(len * qCos(a - 0.5), len * qSin(a - 0.5))
         << to - QPointF(len * qCos(a + 0.5), len * qSin(a + 0.5));
    p.setBrush(c);
    p.setPen(pen(c, 1));
    p.drawPolygon(head);
}

void mast(QPainter& p, qreal x, qreal bottom, qreal height) {
    p.setPen(pen(outline, 1.5));
    p.drawLine(QPointF(x, bottom), QPointF(x - 3, bottom));
    p.drawLine(QPointF(x, bottom), QPointF(x + 3, bottom));
    p.drawLine(QPointF(x - 2.5, bottom), QPointF(x, bottom - height));
    p.drawLine(QPointF(x + 2.5, bottom), QPointF(x, bottom - height));
    p.setBrush(red);
    p.drawEllipse(QPointF(x, bottom - height), 2, 2);
}

void waves(QPainter& p, QPointF c, qreal start, int n, const QColor& col, qreal angle = 0) {
    p.setPen(pen(col, 1.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < n; ++i) {
        const qreal r = start + i * 4;
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), int((angle - 40) * 16), 80 * 16);
    }
}

void check(QPainter& p, QPointF at, qreal s, const QColor& c, qreal w = 3) {
    p.setPen(pen(c, w));
    p.drawLine(at, at + QPointF(s * 0.35, s * 0.35));
    p.drawLine(at + QPointF(s * 0.35, s * 0.35), at + QPointF(s, -s * 0.45));
}

void floppy(QPainter& p, const QRectF& r) {
    p.setPen(pen(outline));
    p.setBrush(blue);
    QPainterPath body;
    body.moveTo(r.topLeft());
    body.lineTo(r.right() - 4, r.top());
    body.lineTo(r.right(), r.top() + 4);
    body.lineTo(r.bottomRight());
    body.lineTo(r.bottomLeft());
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(220, 220, 225));
    p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.45, r.height() * 0.32));
    p.setBrush(paper);
    p.drawRect(
        QRectF(r.left() + 3, r.top() + r.height() * 0.5, r.width() - 6, r.height() * 0.5 - 1));
}

void pencil(QPainter& p, QPointF tip, qreal len) {
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(pen(outline, 1));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(4, -2.5, len - 4, 5));
    QPolygonF head;
    head << QPointF(0, 0) << QPointF(4, -2.5) << QPointF(4, 2.5);
    p.setBrush(QColor(240, 220, 180));
    p.drawPolygon(head);
    p.restore();
}

void magnifier(QPainter& p, QPointF c, qreal r) {
    p.setPen(pen(outline, 2.5));
    p.setBrush(QColor(200, 230, 250, 180));
    p.drawEllipse(c, r, r);
    p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 1.8, r * 1.8));
}

void gear(QPainter& p, QPointF c, qreal r, int teeth) {
    QPainterPath path;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = M_PI * i / teeth;
        const qreal a1 = M_PI * (i + 1) / teeth;
        const qreal rr = (i % 2) ? r * 0.78 : r;
        const QPointF p0 = c + QPointF(rr * qCos(a0), rr * qSin(a0));
        const QPointF p1 = c + QPointF(rr * qCos(a1), rr * qSin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, r * 0.32, r * 0.32);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(pen(outline, 1.2));
    p.setBrush(QColor(150, 155, 170));
    p.drawPath(path);
}

void globe(QPainter& p, QPointF c, qreal r) {
    QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.4);
    g.setColorAt(0, QColor(120, 180, 240));
    g.setColorAt(1, QColor(30, 70, 150));
    p.setPen(pen(outline, 1));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(80, 170, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c + QPointF(-r * 0.35, -r * 0.2), r * 0.35, r * 0.45);
    p.drawEllipse(c + QPointF(r * 0.35, r * 0.35), r * 0.3, r * 0.25);
    p.setPen(pen(QColor(255, 255, 255, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
}

void marker(QPainter& p, QPointF tip, qreal h) {
    QPainterPath path;
    const qreal r = h * 0.38;
    const QPointF c = tip - QPointF(0, h - r);
    path.moveTo(tip);
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), -60, 300);
    path.closeSubpath();
    p.setPen(pen(outline, 1));
    p.setBrush(red);
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r * 0.4, r * 0.4);
}

void roundSign(QPainter& p, const QColor& c, bool plus) {
    p.setPen(pen(c.darker(140), 1.5));
    p.setBrush(c);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(pen(Qt::white, 4));
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
    if (plus)
        p.drawLine(QPointF(16, 9), QPointF(16, 23));
}

void applicationIcon(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 160));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    mast(p, 16, 28, 18);
    waves(p, QPointF(16, 10), 5, 2, QColor(250, 220, 90), 0);
    waves(p, QPointF(16, 10), 5, 2, QColor(250, 220, 90), 180);
}

// the sizes of the application icon in the desktop's hicolor theme
const int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

std::vector<Icon> icons() {
    std::vector<Icon> list;
    auto add = [&](const char* prefix, const char* alias, Draw d, int size = 32) {
        list.push_back({prefix, alias, size, std::move(d)});
    };

    add("/main", "pics/tarnwell.png", applicationIcon, 64);
    add("/main", "pics/folder.png", [](QPainter& p) { folder(p, QRectF(3, 5, 26, 22), false); });
    add("/main", "pics/1to1.png", [](QPainter& p) {
        mast(p, 6, 29, 20);
        mast(p, 26, 29, 20);
        arrow(p, QPointF(9, 9), QPointF(23, 9), blue, 2);
    });
    add("/main", "pics/ltol.png", [](QPainter& p) {
        p.setPen(pen(blue, 1.2));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                p.drawLine(QPointF(7, 7 + 9 * i), QPointF(25, 7 + 9 * j));
        p.setPen(pen(outline, 1));
        p.setBrush(green);
        for (int i = 0; i < 3; ++i) {
            p.drawEllipse(QPointF(5, 7 + 9 * i), 3, 3);
            p.drawEllipse(QPointF(27, 7 + 9 * i), 3, 3);
        }
    });
    add("/main", "pics/syntax-check.png", [](QPainter& p) {
        page(p, QRectF(5, 2, 20, 27));
        textLines(p, QRectF(8, 8, 12, 16), 4);
        check(p, QPointF(13, 20), 16, green);
    });
    add("/main", "pics/system-software-update.png", [](QPainter& p) {
        p.setPen(pen(outline));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(3, 18, 26, 11), 2, 2);
        arrow(p, QPointF(16, 2), QPointF(16, 22), green, 4);
    });
    add("/main", "pics/compare.PNG", [](QPainter& p) {
        page(p, QRectF(2, 3, 13, 18));
        page(p, QRectF(17, 11, 13, 18));
        arrow(p, QPointF(9, 25), QPointF(16, 25), blue, 1.8);
        arrow(p, QPointF(23, 7), QPointF(16, 7), red, 1.8);
    });
    add("/main", "pics/annex11.png", [](QPainter& p) {
        // a border line crossed by the signal of a station
        QPen border(red, 2, Qt::DashLine);
        p.setPen(border);
        p.drawLine(QPointF(20, 2), QPointF(20, 30));
        mast(p, 8, 29, 18);
        waves(p, QPointF(8, 11), 5, 4, blue, 0);
    });
    add("/main", "pics/google_earth.png", [](QPainter& p) {
        globe(p, QPointF(15, 17), 13);
        marker(p, QPointF(21, 17), 14);
    });
    add("/main", "pics/mask.png", [](QPainter& p) {
        p.setPen(pen(outline, 1));
        p.drawLine(QPointF(2, 29), QPointF(30, 29));
        p.drawLine(QPointF(2, 29), QPointF(2, 2));
        QPolygonF m;
        m << QPointF(3, 27) << QPointF(8, 27) << QPointF(8, 19) << QPointF(12, 19) << QPointF(12, 5)
          << QPointF(20, 5) << QPointF(20, 19) << QPointF(24, 19) << QPointF(24, 27)
          << QPointF(29, 27);
        p.setPen(pen(red, 2));
        p.drawPolyline(m);
    });
    add("/main", "pics/new/32x32/dialog-accept.png", [](QPainter& p) {
        p.setPen(pen(green.darker(140), 1.5));
        p.setBrush(green);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        check(p, QPointF(9, 16), 15, Qt::white, 3.5);
    });

    add("/32x32", "pics/new/32x32/configure-2.png",
        [](QPainter& p) { gear(p, QPointF(16, 16), 13, 8); });
    add("/32x32", "pics/new/32x32/document-open-2.png", [](QPainter& p) {
        page(p, QRectF(9, 2, 16, 18));
        folder(p, QRectF(3, 9, 24, 20), true);
    });
    add("/32x32", "pics/new/32x32/document-save-7.png",
        [](QPainter& p) { floppy(p, QRectF(3, 3, 26, 26)); });
    add("/32x32", "pics/new/32x32/document-save-as-6.png", [](QPainter& p) {
        floppy(p, QRectF(2, 2, 24, 24));
        pencil(p, QPointF(14, 30), 20);
    });
    add("/32x32", "pics/new/32x32/document-new-4.png", [](QPainter& p) {
        page(p, QRectF(5, 2, 21, 28));
        p.setPen(pen(folderYellow.darker(120), 2));
        const QPointF c(11, 8);
        for (int i = 0; i < 4; ++i) {
            const qreal a = M_PI * i / 4;
            p.drawLine(c - QPointF(5 * qCos(a), 5 * qSin(a)),
                       c + QPointF(5 * qCos(a), 5 * qSin(a)));
        }
    });
    add("/32x32", "pics/new/32x32/list-add-2.png", [](QPainter& p) { roundSign(p, green, true); });
    add("/32x32", "pics/new/32x32/list-remove-2.png",
        [](QPainter& p) { roundSign(p, red, false); });
    add("/32x32", "pics/new/32x32/edit-find-replace-4.png", [](QPainter& p) {
        page(p, QRectF(3, 2, 18, 24));
        textLines(p, QRectF(6, 6, 10, 14), 3);
        magnifier(p, QPointF(18, 18), 6);
    });
    add("/32x32", "pics/new/32x32/mail-mark-task.png", [](QPainter& p) {
        p.setPen(pen(outline));
        p.setBrush(paper);
        p.drawRoundedRect(QRectF(3, 6, 22, 22), 3, 3);
        check(p, QPointF(8, 16), 22, green, 4);
    });
    add("/32x32", "pics/new/32x32/edit-copy-2.png", [](QPainter& p) {
        page(p, QRectF(3, 2, 16, 21));
        textLines(p, QRectF(6, 6, 8, 12), 3);
        page(p, QRectF(13, 9, 16, 21));
        textLines(p, QRectF(16, 13, 8, 12), 3);
    });
    add("/32x32", "pics/new/32x32/download-3.png", [](QPainter& p) {
        globe(p, QPointF(16, 12), 10);
        arrow(p, QPointF(16, 8), QPointF(16, 29), green, 4);
    });
    add("/32x32", "pics/new/32x32/mobile_calc.png", [](QPainter& p) {
        p.setPen(pen(outline));
        p.setBrush(QColor(60, 60, 70));
        p.drawRoundedRect(QRectF(8, 8, 12, 22), 2, 2);
        p.setBrush(QColor(150, 200, 240));
        p.drawRect(QRectF(10, 11, 8, 9));
        p.drawLine(QPointF(17, 8), QPointF(17, 3));
        waves(p, QPointF(17, 4), 4, 3, blue, 30);
    });
    return list;
}

bool writeResourceFile(const QString& path, const std::vector<Icon>& list) {
    QFile f(path + QStringLiteral(".tmp"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&f);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n";
    for (const char* prefix : {"/main", "/32x32"}) {
        out << "<qresource prefix=\"" << prefix << "\">\n";
        for (const Icon& icon : list)
            if (qstrcmp(icon.prefix, prefix) == 0)
                out << "  <file alias=\"" << icon.alias << "\">"
                    << QFileInfo(QString::fromLatin1(icon.alias)).fileName() << "</file>\n";
        out << "</qresource>\n";
    }
    out << "</RCC>\n";
    out.flush();
    f.close();
    if (f.error() != QFile::NoError)
        return false;
    QFile::remove(path);
    return QFile::rename(f.fileName(), path);
}

bool drawIcon(const Draw& draw, int size, const QString& file) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // every pictogram is drawn on a 32 x 32 grid
        p.scale(size / 32.0, size / 32.0);
        draw(p);
    }
    if (image.save(file, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const std::vector<Icon> list = icons();
    for (const Icon& icon : list) {
        const QString file = out.filePath(QFileInfo(QString::fromLatin1(icon.alias)).fileName());
        if (!drawIcon(icon.draw, icon.size, file))
            return 1;
    }
    // the application icon for the desktop: OUTDIR/hicolor/NxN/apps/tarnwell.png
    for (const int size : kThemeSizes) {
        const QString folder = out.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) ||
            !drawIcon(applicationIcon, size, folder + QStringLiteral("/tarnwell.png")))
            return 1;
    }
    if (!writeResourceFile(out.filePath(QStringLiteral("icons.qrc")), list)) {
        std::fprintf(stderr, "cannot write the resource file\n");
        return 1;
    }
    return 0;
}
