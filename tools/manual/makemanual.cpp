// Turns the manual's Markdown into a PDF, and draws the program's picture
// (the bitmap beside the program that the start-up and About windows show).
// Runs at build time without a display (QT_QPA_PLATFORM=offscreen).
//
//   velmora-manual pdf MARKDOWN PDF VERSION
//   velmora-manual picture BMP NAME VERSION
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>
#include <cmath>
#include <cstdio>

namespace {

const QString title = QStringLiteral("The VELMORA program - A short manual");

struct Theading {
    int level;
    QString text;
    int page; // 0-based page of the body
};

// Screenshots keep their pixels but never run wider than the text.
void fitimages(QTextDocument& doc, const QString& basedir, qreal textwidth) {
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QString name = image.name();
            QImage picture(QFileInfo(name).isAbsolute() ? name : basedir + QLatin1Char('/') + name);
            if (picture.isNull()) {
                std::fprintf(stderr, "velmora-manual: picture %s not found\n", qPrintable(name));
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
            // Screenshots are taken at 96 pixels an inch, the page's own unit;
            // at three quarters of that the window texts still read well and
            // a window does not take a whole page.
            qreal width = std::min<qreal>(picture.width() * 0.75, textwidth);
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

// Every chapter opens a new page; tables get ruled cells.
void shapeblocks(QTextDocument& doc) {
    bool first = true;
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) {
            if (!first) {
                QTextBlockFormat format;
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                cursor.setPosition(block.position());
                cursor.mergeBlockFormat(format);
            }
            first = false;
        }
        if (block.blockFormat().headingLevel() > 0) {
            QTextBlockFormat format;
            format.setTopMargin(block.blockFormat().headingLevel() == 1 ? 6 : 10);
            format.setBottomMargin(4);
            cursor.setPosition(block.position());
            cursor.mergeBlockFormat(format);
        }
    }
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorder(0.5);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderCollapse(true);
            format.setCellPadding(3);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
    }
}

std::vector<Theading> headings(const QTextDocument& doc) {
    std::vector<Theading> result;
    const qreal pageheight = doc.pageSize().height();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        const QRectF box = doc.documentLayout()->blockBoundingRect(block);
        result.push_back({level, block.text(), static_cast<int>(box.top() / pageheight)});
    }
    return result;
}

void footer(QPainter& painter, const QRectF& page, int number) {
    painter.save();
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    const QRectF line(page.left(), page.bottom() - 16, page.width(), 16);
    painter.drawLine(line.topLeft(), line.topRight());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, title);
    painter.drawText(line, Qt::AlignRight | Qt::AlignBottom, QString::number(number));
    painter.restore();
}

void titlepage(QPainter& painter, const QRectF& page, const QString& version, const QString& basedir) {
    painter.save();
    QFont big(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    painter.setFont(big);
    painter.setPen(QColor(20, 50, 100));
    QRectF box(page.left(), page.top() + page.height() * 0.18, page.width(), 60);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("The VELMORA program"));
    QFont sub(QStringLiteral("DejaVu Sans"), 18);
    painter.setFont(sub);
    box.translate(0, 60);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("A short manual"));
    QImage picture(basedir + QStringLiteral("/images/about.png"));
    qreal y = box.bottom() + 40;
    if (!picture.isNull()) {
        const qreal width = std::min<qreal>(picture.width(), page.width() * 0.8);
        const qreal height = width * picture.height() / picture.width();
        painter.drawImage(QRectF(page.center().x() - width / 2, y, width, height), picture);
        y += height + 30;
    }
    QFont small(QStringLiteral("DejaVu Sans"), 11);
    painter.setFont(small);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(page.left(), y, page.width(), 24), Qt::AlignHCenter,
                     QStringLiteral("for program version ") + version);
    painter.drawText(QRectF(page.left(), y + 24, page.width(), 48), Qt::AlignHCenter | Qt::TextWordWrap,
                     QStringLiteral("Global steady-state multimedia fate, exposure and effects of chemicals:\n"
                                    "239 countries, 50 seas, up to twelve compartments each"));
    painter.restore();
}

// The contents: chapter and section titles with their page numbers, as
// many pages as they need; returns the number of pages drawn.
int contentspages(QPdfWriter* writer, QPainter* painter, const QRectF& page,
                  const std::vector<Theading>& list, int firstbodypage, int firstnumber) {
    QFont chapter(QStringLiteral("DejaVu Sans"), 10, QFont::Bold);
    QFont section(QStringLiteral("DejaVu Sans"), 10);
    const qreal line = 19;
    const qreal top = page.top() + 50;
    int pages = 1;
    qreal y = top;
    if (painter) {
        painter->setFont(QFont(QStringLiteral("DejaVu Sans"), 16, QFont::Bold));
        painter->drawText(QRectF(page.left(), page.top(), page.width(), 40), Qt::AlignLeft,
                          QStringLiteral("Contents"));
    }
    for (const Theading& heading : list) {
        if (y + line > page.bottom() - 30) {
            if (painter) {
                footer(*painter, page, firstnumber + pages - 1);
                writer->newPage();
            }
            ++pages;
            y = page.top();
        }
        if (painter) {
            painter->setFont(heading.level == 1 ? chapter : section);
            const qreal indent = heading.level == 1 ? 0 : 18;
            const QString number = QString::number(heading.page + firstbodypage);
            QRectF row(page.left() + indent, y, page.width() - indent, line);
            painter->drawText(row, Qt::AlignLeft | Qt::AlignVCenter, heading.text);
            painter->drawText(row, Qt::AlignRight | Qt::AlignVCenter, number);
        }
        y += heading.level == 1 ? line + 4 : line;
    }
    if (painter) footer(*painter, page, firstnumber + pages - 1);
    return pages;
}

int makepdf(const QString& markdownfile, const QString& pdffile, const QString& version) {
    QFile in(markdownfile);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "velmora-manual: cannot read %s\n", qPrintable(markdownfile));
        return 1;
    }
    QString markdown = QString::fromUtf8(in.readAll());
    markdown.replace(QStringLiteral("@VERSION@"), version);
    const QString basedir = QFileInfo(markdownfile).absolutePath();

    QPdfWriter writer(pdffile);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("velmora-manual"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(22, 18, 22, 16), QPageLayout::Millimeter);
    writer.setResolution(96);
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(96).size());
    const qreal footerheight = 30;

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    doc.setDefaultStyleSheet(QStringLiteral("code { font-family: 'DejaVu Sans Mono'; }"));
    doc.setMarkdown(markdown);
    shapeblocks(doc);
    fitimages(doc, basedir, page.width());
    // Headings and code in faces that set them off from the text.
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        const bool code = block.blockFormat().nonBreakableLines();
        if (level == 0 && !code) continue;
        QTextCharFormat format;
        if (level > 0) {
            format.setFontFamilies({QStringLiteral("DejaVu Sans")});
            format.setFontWeight(QFont::Bold);
            format.setFontPointSize(level == 1 ? 18 : level == 2 ? 13 : 11);
            format.setForeground(QColor(20, 50, 100));
        } else {
            format.setFontFamilies({QStringLiteral("DejaVu Sans Mono")});
            format.setFontPointSize(8.5);
        }
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }

    // The pages are laid out once every block has its final format: edits
    // after the first layout leave some blocks of long lists without lines.
    doc.setPageSize(QSizeF(page.width(), page.height() - footerheight));
    if (qEnvironmentVariableIsSet("VELMORA_MANUAL_DEBUG"))
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
            std::fprintf(stderr, "%8.1f %s\n", doc.documentLayout()->blockBoundingRect(block).top(),
                         qPrintable(block.text().left(40)));
    const std::vector<Theading> list = headings(doc);
    const int contents = contentspages(nullptr, nullptr, page, list, 0, 0);
    const int firstbodypage = 2 + contents;

    QPainter painter(&writer);
    titlepage(painter, page, version, basedir);
    writer.newPage();
    contentspages(&writer, &painter, page, list, firstbodypage, 2);
    const qreal bodyheight = doc.pageSize().height();
    for (int i = 0; i < doc.pageCount(); ++i) {
        writer.newPage();
        painter.save();
        painter.translate(0, -i * bodyheight);
        doc.drawContents(&painter, QRectF(0, i * bodyheight, page.width(), bodyheight));
        painter.restore();
        footer(painter, page, firstbodypage + i);
    }
    painter.end();
    std::printf("%s: %d pages\n", qPrintable(pdffile), firstbodypage - 1 + doc.pageCount());
    return 0;
}

// The program's picture: a night-blue globe of boxes with the name across it.
int makepicture(const QString& file, const QString& name, const QString& version) {
    QImage image(500, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(10, 30, 70));
    sky.setColorAt(1, QColor(20, 90, 130));
    painter.fillRect(image.rect(), sky);

    const QPointF centre(250, 175);
    const qreal radius = 120;
    QRadialGradient sea(centre - QPointF(40, 40), radius * 1.3);
    sea.setColorAt(0, QColor(70, 150, 210));
    sea.setColorAt(1, QColor(15, 60, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sea);
    painter.drawEllipse(centre, radius, radius);
    // Land boxes on a grid of parallels and meridians.
    QPainterPath globe;
    globe.addEllipse(centre, radius, radius);
    painter.setClipPath(globe);
    const int cells = 12;
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            const double x = std::sin(i * 1.7 + j * 0.9) + std::cos(j * 1.3 - i * 0.4);
            if (x < 0.7) continue;
            const qreal w = 2 * radius / cells;
            painter.setBrush(QColor(90 + (i * 13) % 60, 150 + (j * 7) % 50, 80));
            painter.drawRect(QRectF(centre.x() - radius + i * w + 1, centre.y() - radius + j * w + 1,
                                    w - 2, w - 2));
        }
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    for (int k = -2; k <= 2; ++k) {
        painter.drawEllipse(centre, radius * std::cos(k * 0.6) , radius);
        const qreal y = centre.y() + radius * std::sin(k * 0.55);
        const qreal half = std::sqrt(std::max<qreal>(0, radius * radius - (y - centre.y()) * (y - centre.y())));
        painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
    }
    painter.setPen(QPen(QColor(255, 255, 255, 160), 2));
    painter.drawEllipse(centre, radius, radius);

    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 34, QFont::Bold));
    painter.drawText(QRectF(0, 298, 500, 50), Qt::AlignHCenter | Qt::AlignVCenter, name);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    painter.drawText(QRectF(0, 345, 500, 20), Qt::AlignHCenter,
                     QStringLiteral("Global fate, exposure and effects of chemicals"));
    painter.setPen(QColor(200, 220, 240));
    painter.drawText(QRectF(0, 367, 500, 20), Qt::AlignHCenter,
                     QStringLiteral("version ") + version +
                         QStringLiteral("  \u00b7  239 countries  \u00b7  50 seas  \u00b7  12 compartments"));
    painter.end();
    if (!image.save(file, "BMP")) {
        std::fprintf(stderr, "velmora-manual: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("pdf")) return makepdf(args[2], args[3], args[4]);
    // The text as the layout reads it, to check that no paragraph was lost.
    if (args.size() == 3 && args[1] == QLatin1String("text")) {
        QFile in(args[2]);
        if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) return 1;
        QTextDocument doc;
        doc.setMarkdown(QString::fromUtf8(in.readAll()));
        std::printf("%s\n", qPrintable(doc.toPlainText()));
        return 0;
    }
    if (args.size() == 5 && args[1] == QLatin1String("picture"))
        return makepicture(args[2], args[3], args[4]);
    std::fprintf(stderr, "usage: velmora-manual pdf MARKDOWN PDF VERSION\n"
                         "       velmora-manual picture BMP NAME VERSION\n");
    return 2;
}
