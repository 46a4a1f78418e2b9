// The output window and its options window: choosing where the output goes
// and in which format. What happens to the output is in outputdelivery.cpp.
#include "toolkit/outputform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "numeric/errors.h"
#include "toolkit/desktop.h"
#include "toolkit/forms.h"
#include "toolkit/output/textwriter.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

const char* const textformats[] = {"Tab-delimited ASCII", "Matlab", "TeX", "HTML"};
const char* const pictureformats[] = {"Bitmap", "JPEG", "PNG", "SVG"};
const char* const textextensions[] = {".txt", ".m", ".tex", ".html"};
const char* const pictureextensions[] = {".bmp", ".jpg", ".png", ".svg"};
const char* const textfilters[] = {"Tab-delimited ASCII files (*.txt)", "Matlab files (*.m)",
                                   "TeX files (*.tex)", "HTML files (*.html)"};
const char* const picturefilters[] = {"Bitmap files (*.bmp)", "JPEG files (*.jpg)",
                                      "PNG files (*.png)", "SVG files (*.svg)"};

int clampstyle(int style) {
    return style < 0 || style > 3 ? 0 : style;
}

// The name with its last extension (if any) replaced by extension.
QString withextension(const QString& name, const QString& extension) {
    const int slash = std::max(name.lastIndexOf('/'), name.lastIndexOf('\\'));
    const int dot = name.lastIndexOf('.');
    return (dot > slash ? name.left(dot) : name) + extension;
}

} // namespace

QString outputextension(bool graphics, int style) {
    return QString::fromLatin1(graphics ? pictureextensions[clampstyle(style)]
                                        : textextensions[clampstyle(style)]);
}

QString outputfilter(bool graphics, int style) {
    return QString::fromLatin1(graphics ? picturefilters[clampstyle(style)]
                                        : textfilters[clampstyle(style)]) +
           QStringLiteral(";;All files (*)");
}

// ---- options window ----------------------------------------------------------

TOutputOptionsForm::TOutputOptionsForm(const Tprograminfo& program, bool graphics, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(qs(program.caption("Output options")));
    auto* layout = new QVBoxLayout(this);
    auto* format = new QFormLayout;
    FormatComboBox = new QComboBox(this);
    FormatComboBox->setObjectName(QStringLiteral("FormatComboBox"));
    for (const char* name : graphics ? pictureformats : textformats)
        FormatComboBox->addItem(QString::fromLatin1(name));
    format->addRow(QStringLiteral("For&mat"), FormatComboBox);
    layout->addLayout(format);

    TablesGroupBox = new QGroupBox(QStringLiteral("Tables"), this);
    TablesGroupBox->setObjectName(QStringLiteral("TablesGroupBox"));
    auto* tables = new QVBoxLayout(TablesGroupBox);
    SkipFixedCheckBox = new QCheckBox(QStringLiteral("Skip &fixed rows and columns"), TablesGroupBox);
    tables->addWidget(SkipFixedCheckBox);
    auto* cells = new QFormLayout;
    CellValuesComboBox = new QComboBox(TablesGroupBox);
    CellValuesComboBox->addItems({QStringLiteral("Plain (like 37)"),
                                  QStringLiteral("With leading quote (like '37)"),
                                  QStringLiteral("Within quotes (like \"37\")")});
    cells->addRow(QStringLiteral("&Cell values"), CellValuesComboBox);
    tables->addLayout(cells);
    TransposedCheckBox = new QCheckBox(QStringLiteral("&Transposed tables"), TablesGroupBox);
    tables->addWidget(TransposedCheckBox);
    auto* values = new QFormLayout;
    ValuesComboBox = new QComboBox(TablesGroupBox);
    ValuesComboBox->setObjectName(QStringLiteral("ValuesComboBox"));
    ValuesComboBox->addItems({QStringLiteral("Values as shown"), QStringLiteral("Full precision")});
    ValuesComboBox->setToolTip(
        QStringLiteral("Full precision: each stored value with 9 significant digits, "
                       "instead of the digits the window shows"));
    values->addRow(QStringLiteral("&Values"), ValuesComboBox);
    tables->addLayout(values);
    layout->addWidget(TablesGroupBox);

    GraphsGroupBox = new QGroupBox(QStringLiteral("Graphs"), this);
    GraphsGroupBox->setObjectName(QStringLiteral("GraphsGroupBox"));
    auto* graphs = new QVBoxLayout(GraphsGroupBox);
    BlackWhiteCheckBox = new QCheckBox(QStringLiteral("&Black and white"), GraphsGroupBox);
    graphs->addWidget(BlackWhiteCheckBox);
    layout->addWidget(GraphsGroupBox);

    // Only the group that applies to this kind of output is shown.
    TablesGroupBox->setVisible(!graphics);
    GraphsGroupBox->setVisible(graphics);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKButton = new QPushButton(this);
    standardbutton(OKButton, 0);
    CancelButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    formsetup(this, 2);
}

// ---- output window -----------------------------------------------------------

TOutputForm::TOutputForm(const Tprograminfo& program, bool graphics, QWidget* parent)
    : QDialog(parent), program_(program), graphics_(graphics) {
    setWindowTitle(qs(program_.caption("Output")));
    reporterror = [this](const QString& text) {
        QMessageBox box(QMessageBox::Critical, qs(program_.name()), text, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("OutputErrorBox"));
        box.exec();
    };
    reportnote = [this](const QString& text) {
        QMessageBox box(QMessageBox::Information, qs(program_.name()), text, QMessageBox::Ok,
                        this);
        box.setObjectName(QStringLiteral("OutputNoteBox"));
        box.exec();
    };
    reportwarning = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, qs(program_.name()), text, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("OutputWarningBox"));
        box.exec();
    };
    confirm = [this](const QString& text) {
        return QMessageBox::question(this, qs(program_.name()), text) == QMessageBox::Yes;
    };
    openfile = [](const QString& path) { return runprogram(path); };
    showoptions = [](TOutputOptionsForm& options) { return options.exec() == QDialog::Accepted; };

    auto* layout = new QGridLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Destination"), this);
    group->setObjectName(QStringLiteral("DestinationGroupBox"));
    auto* radios = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    const QString captions[] = {{}, QStringLiteral("&Printer"), QStringLiteral("&Clipboard"),
                                QStringLiteral("&File"), QStringLiteral("Preview &window"),
                                QStringLiteral("Sp&readsheet")};
    for (int which = 1; which <= 5; ++which) {
        DestinationButtons[which] = new QRadioButton(captions[which], group);
        radios->addWidget(DestinationButtons[which]);
        buttons->addButton(DestinationButtons[which], which);
    }
    connect(buttons, &QButtonGroup::idClicked, this, guarded(this, [this](int which) { DestinationClick(which); }));
    layout->addWidget(group, 0, 0, 4, 1);

    SetupButton = new QPushButton(QStringLiteral("&Setup ..."), this);
    SetupButton->setToolTip(QStringLiteral("Choose and set up the printer"));
    connect(SetupButton, &QPushButton::clicked, this, guarded(this, [this] { SetupButtonClick(); }));
    layout->addWidget(SetupButton, 0, 1);
    OptionsButton = new QPushButton(QStringLiteral("&Options ..."), this);
    OptionsButton->setToolTip(QStringLiteral("Format and table options"));
    connect(OptionsButton, &QPushButton::clicked, this, guarded(this, [this] { OptionsButtonClick(); }));
    layout->addWidget(OptionsButton, 1, 1);

    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setMinimumWidth(260);
    connect(FileEdit, &QLineEdit::textChanged, this, guarded(this, [this] { FileEditChange(); }));
    layout->addWidget(FileEdit, 4, 0);
    BrowseButton = new QPushButton(QStringLiteral("&Browse ..."), this);
    connect(BrowseButton, &QPushButton::clicked, this, guarded(this, [this] { BrowseButtonClick(); }));
    layout->addWidget(BrowseButton, 4, 1);
    AppendCheckBox = new QCheckBox(QStringLiteral("&Append to existing file"), this);
    connect(AppendCheckBox, &QCheckBox::clicked, this,
            guarded(this, [this](bool checked) { appendchosen = checked; }));
    layout->addWidget(AppendCheckBox, 5, 0);

    auto* okcancel = new QHBoxLayout;
    okcancel->addStretch();
    OKButton = new QPushButton(this);
    standardbutton(OKButton, 0);
    // OK checks and prepares the destination before the window closes.
    disconnect(OKButton, &QPushButton::clicked, nullptr, nullptr);
    connect(OKButton, &QPushButton::clicked, this, guarded(this, [this] { OKButtonClick(); }));
    CancelButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    okcancel->addWidget(OKButton);
    okcancel->addWidget(CancelButton);
    layout->addLayout(okcancel, 6, 0, 1, 2);
    resize(400, 232);
    updatecontrols();
    formsetup(this, 2);
}

TOutputForm::~TOutputForm() {
    abandon();
    if (cursorset_) QApplication::restoreOverrideCursor();
}

void TOutputForm::showEvent(QShowEvent* event) {
    reporterrors(this, [this] {
        if (FileEdit->text().isEmpty())
            FileEdit->setText(QDir::current().absoluteFilePath(QStringLiteral("output") +
                                                             outputextension(graphics_, style)));
        updatecontrols();
    });
    QDialog::showEvent(event);
}

void TOutputForm::updatecontrols() {
    SetupButton->setEnabled(destination == destinationprinter);
    FileEdit->setEnabled(destination == destinationfile);
    BrowseButton->setEnabled(destination == destinationfile);
    const QFileInfo file(FileEdit->text());
    const bool append = !graphics_ && destination == destinationfile && !FileEdit->text().isEmpty() &&
                        file.exists() && file.isFile();
    // Enabled again, the box shows what the user last chose; disabled, it
    // is clear, so nothing is appended to a file that is not there.
    if (append && !AppendCheckBox->isEnabled()) AppendCheckBox->setChecked(appendchosen);
    if (!append) AppendCheckBox->setChecked(false);
    AppendCheckBox->setEnabled(append);
    OKButton->setEnabled(destination != destinationnone &&
                         (destination != destinationfile || !FileEdit->text().trimmed().isEmpty()));
}

void TOutputForm::DestinationClick(int which) {
    destination = which;
    if (DestinationButtons[which] && !DestinationButtons[which]->isChecked())
        DestinationButtons[which]->setChecked(true);
    updatecontrols();
}

void TOutputForm::FileEditChange() {
    updatecontrols();
}

QPrinter* TOutputForm::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return printer_.get();
}

void TOutputForm::SetupButtonClick() {
    QPrintDialog dialog(printer(), this);
    if (dialog.exec() == QDialog::Accepted) printersetup_ = true;
}

void TOutputForm::BrowseButtonClick() {
    const QString name = QFileDialog::getSaveFileName(this, QString(), FileEdit->text(),
                                                      outputfilter(graphics_, style));
    if (!name.isEmpty()) FileEdit->setText(name);
}

void TOutputForm::OptionsButtonClick() {
    TOutputOptionsForm options(program_, graphics_, this);
    options.FormatComboBox->setCurrentIndex(style);
    options.SkipFixedCheckBox->setChecked(skipfixed);
    options.CellValuesComboBox->setCurrentIndex(quoting);
    options.TransposedCheckBox->setChecked(transposed);
    options.ValuesComboBox->setCurrentIndex(fullprecision ? 1 : 0);
    options.BlackWhiteCheckBox->setChecked(blackandwhite);
    if (showoptions(options)) applyoptions(options);
}

void TOutputForm::applyoptions(const TOutputOptionsForm& options) {
    const int format = options.FormatComboBox->currentIndex();
    if (format != style && !FileEdit->text().isEmpty())
        FileEdit->setText(withextension(FileEdit->text(), outputextension(graphics_, format)));
    style = format;
    skipfixed = options.SkipFixedCheckBox->isChecked();
    quoting = options.CellValuesComboBox->currentIndex();
    transposed = options.TransposedCheckBox->isChecked();
    fullprecision = options.ValuesComboBox->currentIndex() == 1;
    blackandwhite = options.BlackWhiteCheckBox->isChecked();
}

void TOutputForm::OKButtonClick() {
    if (destination == destinationnone) return;
    if (!prepare()) return;
    accept();
}

// Opens what the output needs before the caller collects it, so that a file
// that cannot be written is said at once and the window stays open.
bool TOutputForm::prepare() {
    if (destination == destinationprinter && !printersetup_) {
        QPrintDialog dialog(printer(), this);
        if (dialog.exec() != QDialog::Accepted) return false;
        printersetup_ = true;
    }
    if (destination == destinationfile) {
        target_ = QFileInfo(FileEdit->text().trimmed()).absoluteFilePath().toStdString();
        if (QFileInfo(qs(target_)).isDir()) {
            reporterror(QStringLiteral("Cannot write the file %1: it is a folder").arg(qs(target_)));
            return false;
        }
        if (!graphics_) {
            const QFileInfo info(qs(target_));
            partfile_ = (info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                         QStringLiteral(".part"))
                            .toStdString();
            file_ = std::make_unique<std::ofstream>(partfile_, std::ios::binary | std::ios::trunc);
            if (!*file_) {
                const QString reason = QString::fromLocal8Bit(std::strerror(errno));
                file_.reset();
                partfile_.clear();
                reporterror(QStringLiteral("Cannot write the file %1: %2").arg(qs(target_), reason));
                return false;
            }
            const bool append = AppendCheckBox->isEnabled() && AppendCheckBox->isChecked();
            appendchosen = AppendCheckBox->isEnabled() ? AppendCheckBox->isChecked() : appendchosen;
            if (append) {
                std::ifstream old(target_, std::ios::binary);
                *file_ << old.rdbuf();
            } else {
                *file_ << documenthead(style, program_.caption("Output"));
            }
            out_ = file_.get();
        }
    } else if (!graphics_) {
        out_ = &memory_;
    }
    prepared_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorset_ = true;
    return true;
}

void TOutputForm::abandon() {
    abandoned_ = true;
    out_ = nullptr;
    if (file_) {
        file_->close();
        file_.reset();
    }
    if (!partfile_.empty()) {
        std::remove(partfile_.c_str());
        partfile_.clear();
    }
    memory_.str({});
    document_ = Tprintdocument();
    picture_ = QImage();
    strokes_.clear();
}

} // namespace velmora
