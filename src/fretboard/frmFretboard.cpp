#include "fretboard/frmFretboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "fretboard/ChordImage.h"
#include "fretboard/FretboardLog.h"
#include "fretboard/FretboardWidgets.h"
#include "theory/spelling.h"

namespace quorvane::fretboard {

Q_LOGGING_CATEGORY(lcFretboard, "quorvane.fretboard")

namespace {

bool AnyFretted(const std::vector<int>& frets) {
    return std::ranges::any_of(frets, [](int f) { return f != theory::kMuted; });
}

}  // namespace

std::optional<QString> FretboardAsks::AskTuning(QWidget* owner, const QString& current) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        owner, QStringLiteral("Custom Tuning"),
        QStringLiteral("Strings from the lowest, as notes with octaves (C2 G2 D3 A3 E4):"),
        QLineEdit::Normal, current, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

QString FretboardAsks::ChooseImageFile(QWidget* owner, const QString& proposed) {
    return QFileDialog::getSaveFileName(owner, QStringLiteral("Save Image"), proposed,
                                        QStringLiteral("SVG images (*.svg)"));
}

void FretboardAsks::Warn(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::warning(owner, title, text);
}

frmFretboard::frmFretboard(QWidget* parent, FretboardAsks* asks)
    : QWidget(parent, Qt::Window), asks_(asks != nullptr ? *asks : ownAsks_) {
    setWindowTitle(QStringLiteral("Quorvane - [Fretboard]"));
    BuildControls();
    const theory::Tuning& standard = theory::ListedTunings().front();
    ApplyTuning(standard.name, standard.strings);
}

frmFretboard::~frmFretboard() = default;

void frmFretboard::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    auto* instrumentLabel = new QLabel(QStringLiteral("&Instrument:"), this);
    cboInstrument_ = new QComboBox(this);
    for (const theory::Tuning& tuning : theory::ListedTunings()) {
        cboInstrument_->addItem(QString::fromStdString(tuning.name));
    }
    cboInstrument_->addItem(QStringLiteral("Custom..."));
    instrumentLabel->setBuddy(cboInstrument_);
    auto* capoLabel = new QLabel(QStringLiteral("&Capo:"), this);
    updCapo_ = new QSpinBox(this);
    updCapo_->setRange(0, 12);
    capoLabel->setBuddy(updCapo_);
    chkLeftHanded_ = new QCheckBox(QStringLiteral("&Left-handed"), this);
    top->addWidget(instrumentLabel);
    top->addWidget(cboInstrument_);
    top->addSpacing(12);
    top->addWidget(capoLabel);
    top->addWidget(updCapo_);
    top->addSpacing(12);
    top->addWidget(chkLeftHanded_);
    top->addStretch();
    layout->addLayout(top);

    shapesArea_ = new QScrollArea(this);
    shapesArea_->setAccessibleName(QStringLiteral("Shapes"));
    shapesArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shapesStrip_ = new QWidget(shapesArea_);
    shapesArea_->setWidget(shapesStrip_);
    layout->addWidget(shapesArea_);
    lblNoShape_ = new QLabel(this);
    lblNoShape_->hide();
    layout->addWidget(lblNoShape_);

    picNeck_ = new NeckWidget(this);
    layout->addWidget(picNeck_, 0, Qt::AlignLeft);

    auto* fretsRow = new QHBoxLayout();
    auto* fretsLabel = new QLabel(QStringLiteral("&Frets:"), this);
    txtFrets_ = new QLineEdit(this);
    txtFrets_->setAccessibleName(QStringLiteral("Frets:"));
    fretsLabel->setBuddy(txtFrets_);
    fretsRow->addWidget(fretsLabel);
    fretsRow->addWidget(txtFrets_, 1);
    cmdPlay_ = new QPushButton(QStringLiteral("&Play"), this);
    cmdCopy_ = new QPushButton(QStringLiteral("&Copy"), this);
    cmdSaveImage_ = new QPushButton(QStringLiteral("Save &Image..."), this);
    fretsRow->addSpacing(12);
    fretsRow->addWidget(cmdPlay_);
    fretsRow->addWidget(cmdCopy_);
    fretsRow->addWidget(cmdSaveImage_);
    layout->addLayout(fretsRow);
    lblFretsError_ = new QLabel(this);
    lblFretsError_->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(lblFretsError_);
    layout->addStretch();

    connect(cboInstrument_, &QComboBox::activated, this, &frmFretboard::cboInstrument_Click);
    connect(updCapo_, &QSpinBox::valueChanged, this, [this](int capo) {
        instrument_.capo = capo;
        FindShapes();
        // A string fretted below the capo now sounds the capo.
        if (AnyFretted(neckFrets_)) {
            emit neckNotesChanged(SoundingNotes(instrument_, neckFrets_));
        }
    });
    connect(chkLeftHanded_, &QCheckBox::toggled, this, [this](bool on) {
        instrument_.leftHanded = on;
        ShowShapes();
        ShowNeck();
    });
    connect(picNeck_, &NeckWidget::pressedAt, this, &frmFretboard::picNeck_MouseDown);
    connect(txtFrets_, &QLineEdit::returnPressed, this, &frmFretboard::txtFrets_Return);
    connect(cmdPlay_, &QPushButton::clicked, this, &frmFretboard::cmdPlay_Click);
    connect(cmdCopy_, &QPushButton::clicked, this, &frmFretboard::cmdCopy_Click);
    connect(cmdSaveImage_, &QPushButton::clicked, this, &frmFretboard::cmdSaveImage_Click);
}

// ---- State -------------------------------------------------------------------------------

void frmFretboard::ShowSelection(const FretboardSelection& selection) {
    if (selection == selection_ && !shapes_.empty()) {
        return;
    }
    const bool sameChord = selection.rootIndex == selection_.rootIndex &&
                           selection.chordTypeIndex == selection_.chordTypeIndex &&
                           selection.inversion == selection_.inversion;
    selection_ = selection;
    if (sameChord && !shapes_.empty()) {
        ShowShapes();
        ShowNeck();
    } else {
        FindShapes();
    }
}

void frmFretboard::ApplyTuning(const std::string& name, const std::vector<int>& strings) {
    instrument_.name = name;
    instrument_.strings = strings;
    const bool held = AnyFretted(neckFrets_);
    neckFrets_.assign(strings.size(), theory::kMuted);
    FindShapes();
    if (held) {
        emit neckNotesChanged({});
    }
}

void frmFretboard::FindShapes() {
    shapes_ = theory::FindShapes(instrument_.strings, instrument_.capo, selection_.rootIndex,
                                 selection_.chordTypeIndex, selection_.inversion);
    selected_ = shapes_.empty() ? -1 : 0;
    ShowShapes();
    shapesArea_->horizontalScrollBar()->setValue(0);  // the best shape in sight
    ShowNeck();
}

void frmFretboard::SelectShape(int index) {
    if (index < 0 || index >= static_cast<int>(shapes_.size()) || index == selected_) {
        return;
    }
    selected_ = index;
    ShowShapes();
    ShowNeck();
}

const theory::FrettedShape* frmFretboard::Selected() const {
    return selected_ >= 0 ? &shapes_[static_cast<std::size_t>(selected_)] : nullptr;
}

bool frmFretboard::UseCustomTuning(const QString& text) {
    const theory::TuningRead read = theory::ReadTuning(text.toStdString());
    if (read.strings.empty()) {
        qCWarning(lcFretboard).noquote() << "Custom tuning refused:" << read.error.c_str();
        asks_.Warn(this, QStringLiteral("Custom Tuning"), QString::fromStdString(read.error));
        return false;
    }
    ApplyTuning("Custom", read.strings);
    return true;
}

void frmFretboard::SetNeckFrets(std::vector<int> frets) {
    neckFrets_ = std::move(frets);
    ShowNeck();
    emit neckNotesChanged(SoundingNotes(instrument_, neckFrets_));
}

void frmFretboard::ClearNeck() {
    if (AnyFretted(neckFrets_)) {
        SetNeckFrets(std::vector<int>(neckFrets_.size(), theory::kMuted));
    }
}

std::string frmFretboard::ChordName() const {
    return theory::ChordSymbol(selection_.rootIndex, selection_.chordTypeIndex,
                               selection_.inversion, selection_.spelling);
}

// ---- Displays ----------------------------------------------------------------------------

ChordBoxWidget* frmFretboard::picShape(int index) const {
    return index >= 0 && index < static_cast<int>(shapes_.size())
               ? boxes_[static_cast<std::size_t>(index)]
               : nullptr;
}

void frmFretboard::ShowShapes() {
    const int count = static_cast<int>(shapes_.size());
    while (static_cast<int>(boxes_.size()) < count) {
        auto* box = new ChordBoxWidget(shapesStrip_);
        const int index = static_cast<int>(boxes_.size());
        connect(box, &ChordBoxWidget::picked, this, [this, index] { SelectShape(index); });
        connect(box, &ChordBoxWidget::stepped, this, [this](int delta) {
            SelectShape(selected_ + delta);
            boxes_[static_cast<std::size_t>(selected_)]->setFocus();
            shapesArea_->ensureWidgetVisible(boxes_[static_cast<std::size_t>(selected_)]);
        });
        boxes_.push_back(box);
    }
    constexpr int kGap = 4;
    int x = kGap;
    int height = 0;
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i) {
        ChordBoxWidget* box = boxes_[static_cast<std::size_t>(i)];
        if (i >= count) {
            if (!box->isHidden()) {
                box->hide();
            }
            continue;
        }
        box->Apply(ComputeChordBox(shapes_[static_cast<std::size_t>(i)], i, count, selection_,
                                   instrument_.leftHanded),
                   i == selected_);
        const QSize size = box->sizeHint();
        if (box->geometry() != QRect(QPoint(x, kGap), size)) {
            box->setGeometry(QRect(QPoint(x, kGap), size));
        }
        if (box->isHidden()) {
            box->show();
        }
        x += size.width() + kGap;
        height = std::max(height, size.height() + 2 * kGap);
    }
    shapesStrip_->setFixedSize(x, height);
    shapesArea_->setVisible(count > 0);
    lblNoShape_->setVisible(count == 0);
    lblNoShape_->setText(
        QStringLiteral("No playable shape on %1").arg(QString::fromStdString(instrument_.name)));
    const bool any = count > 0;
    cmdPlay_->setEnabled(any);
    cmdCopy_->setEnabled(any);
    cmdSaveImage_->setEnabled(any);
    if (any) {
        shapesArea_->setFixedHeight(height +
                                    shapesArea_->horizontalScrollBar()->sizeHint().height() +
                                    2 * shapesArea_->frameWidth());
    }
}

void frmFretboard::ShowNeck() {
    picNeck_->Apply(ComputeNeck(instrument_, selection_, Selected(), neckFrets_));
}

// ---- Handlers ----------------------------------------------------------------------------

void frmFretboard::cboInstrument_Click(int row) {
    const auto& listed = theory::ListedTunings();
    if (row >= 0 && row < static_cast<int>(listed.size())) {
        instrumentRow_ = row;
        ApplyTuning(listed[static_cast<std::size_t>(row)].name,
                    listed[static_cast<std::size_t>(row)].strings);
        return;
    }
    const std::optional<QString> text = asks_.AskTuning(this, QString());
    if (text && UseCustomTuning(*text)) {
        instrumentRow_ = row;
    } else {
        cboInstrument_->setCurrentIndex(instrumentRow_);
    }
}

void frmFretboard::picNeck_MouseDown(int x, int y) {
    if (!pickNotes_) {
        return;
    }
    if (const auto place = NeckPlaceAt(picNeck_->View(), instrument_, x, y)) {
        SetNeckFrets(PressNeck(neckFrets_, *place));
    }
}

void frmFretboard::txtFrets_Return() {
    const theory::FretsRead read = theory::ReadFrets(txtFrets_->text().toStdString(),
                                                     static_cast<int>(instrument_.strings.size()));
    lblFretsError_->setText(QString::fromStdString(read.error));
    if (read.frets.empty()) {
        return;
    }
    SetNeckFrets(NeckFretsFromShape(read.frets, instrument_.capo));
}

void frmFretboard::cmdPlay_Click() {
    if (const theory::FrettedShape* shape = Selected()) {
        emit strumRequested(shape->notes);
    }
}

void frmFretboard::cmdCopy_Click() {
    if (const theory::FrettedShape* shape = Selected()) {
        QApplication::clipboard()->setText(
            QString::fromStdString(theory::ChordProDefine(ChordName(), *shape)));
    }
}

void frmFretboard::cmdSaveImage_Click() {
    const theory::FrettedShape* shape = Selected();
    if (shape == nullptr) {
        return;
    }
    const QString name =
        QString::fromStdString(ChordName()).replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path =
        asks_.ChooseImageFile(this, folder + QLatin1Char('/') + name + QStringLiteral(".svg"));
    if (path.isEmpty()) {
        return;
    }
    const ChordBoxView box = ComputeChordBox(*shape, selected_, static_cast<int>(shapes_.size()),
                                             selection_, instrument_.leftHanded);
    const QString why = SaveFile(path, ChordBoxSvg(box, QString::fromStdString(ChordName())));
    if (!why.isEmpty()) {
        qCWarning(lcFretboard).noquote() << "Could not save the image" << path << ":" << why;
        asks_.Warn(this, QStringLiteral("Save Image"),
                   QStringLiteral("The image could not be saved to %1: %2").arg(path, why));
    }
}

void frmFretboard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        ClearNeck();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quorvane::fretboard
