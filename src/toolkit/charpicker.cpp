#include "toolkit/charpicker.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/desktop.h"
#include "toolkit/forms.h"
#include "toolkit/grid.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

// 0x80..0x9F, where the code page departs from Latin-1; the five codes it
// leaves undefined keep their own number.
const char16_t cp1252high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const QString foreignword = QStringLiteral("Fô®€ïgñ");

} // namespace

QChar cp1252char(int code) {
    if (code >= 0x80 && code <= 0x9F) return QChar(cp1252high[code - 0x80]);
    return QChar(static_cast<char16_t>(code & 0xFF));
}

QString foreigncharcaption() {
    return QStringLiteral("&") + foreignword + QStringLiteral(" ...");
}

TForeignCharForm::TForeignCharForm(const Tprograminfo& program, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromStdString(program.caption("")) + foreignword +
                   QStringLiteral(" character"));
    StringGrid = new Tgrid(this);
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    Tstringtable table(16, 16);
    table.setfixed(0, 0);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            table.setcell(c, r, QString(cp1252char(16 * r + c)).toStdString());
    StringGrid->settable(std::move(table));
    // Small enough for a character to sit 2 pixels in from a 16-pixel cell.
    QFont font = StringGrid->font();
    font.setPixelSize(12);
    StringGrid->setFont(font);
    StringGrid->setdefaultcolwidth(16);
    StringGrid->setdefaultrowheight(16);
    for (int c = 0; c < 16; ++c)
        StringGrid->setcolwidth(c, 16);
    StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    const int frame = 2 * StringGrid->frameWidth();
    StringGrid->setFixedSize(16 * 16 + frame, 16 * 16 + frame);

    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    standardbutton(CancelButton, 1);
    OKButton = new QPushButton(this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    standardbutton(OKButton, 0);
    OKButton->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(StringGrid, 0, Qt::AlignHCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);
    layout->addLayout(buttons);

    connect(StringGrid, &Tgrid::cellclicked, this, guarded(this, [this] { StringGridClick(); }));
    connect(StringGrid, &Tgrid::celldoubleclicked, this, guarded(this, [this] { StringGridDblClick(); }));
    formsetup(this, 2);
}

void TForeignCharForm::StringGridClick() {
    OKButton->setEnabled(true);
}

void TForeignCharForm::StringGridDblClick() {
    OKButton->setEnabled(true);
    accept();
}

QChar TForeignCharForm::chosen() const {
    const QString text =
        QString::fromStdString(StringGrid->table().cell(StringGrid->col(), StringGrid->row()));
    return text.isEmpty() ? QChar(u' ') : text.at(0);
}

QChar pickchar(const Tprograminfo& program, QWidget* parent) {
    TForeignCharForm form(program, parent);
    if (form.exec() != QDialog::Accepted) return QChar(u'\0');
    return form.chosen();
}

void foreigncharbutton(QPushButton* button) {
    button->setText(foreigncharcaption());
    button->setToolTip(
        QStringLiteral("Select a foreign character, like ô, and copy it to the clipboard"));
    const QString name = QStringLiteral("velmora_standardaction");
    delete button->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    auto* action = new QObject(button);
    action->setObjectName(name);
    QObject::connect(button, &QPushButton::clicked, action, guarded(button, [button] {
        const QChar picked = pickchar(Tprograminfo::current(), button->window());
        copytoclipboard(picked.isNull() ? QString() : QString(picked));
    }));
}

} // namespace velmora
