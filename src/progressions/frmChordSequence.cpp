#include "progressions/frmChordSequence.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "midi/SequencePlan.h"

namespace quorvane::progressions {

namespace {

constexpr int kCellsPerLine = 8;
constexpr int kCellWidth = 112;
constexpr int kCellHeight = 64;

QString CellStyle(const SequenceCellView& cell) {
    const char* back = cell.playing ? "#ffd966" : cell.selected ? "#9fc5f8" : "#f4f4f4";
    const char* edge = cell.selected ? "#1c4587" : "#a0a0a0";
    return QStringLiteral(
               "QFrame#cell { background: %1; border: 2px solid %2; border-radius: 4px; }")
        .arg(QLatin1String(back), QLatin1String(edge));
}

}  // namespace

// The cells in lines of eight. A left press selects a cell, a double-click picks its chord, a
// move past the drag distance drags the progression from it; a cell dropped here moves.
class SequenceRow final : public QWidget {
  public:
    explicit SequenceRow(frmChordSequence& window) : QWidget(&window), window_(window) {
        grid_ = new QGridLayout(this);
        grid_->setSpacing(6);
        grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        setAcceptDrops(true);
        setMinimumSize(kCellsPerLine * (kCellWidth + 6) + 12, 2 * (kCellHeight + 6) + 12);
    }

    void Apply(const std::vector<SequenceCellView>& cells) {
        while (cells_.size() > cells.size()) {
            delete cells_.back();
            cells_.pop_back();
        }
        while (cells_.size() < cells.size()) {
            const int n = static_cast<int>(cells_.size());
            cells_.push_back(MakeCell());
            grid_->addWidget(cells_.back(), n / kCellsPerLine, n % kCellsPerLine);
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            QFrame* cell = cells_[i];
            const auto labels = cell->findChildren<QLabel*>();
            FitSymbol(labels[0], QString::fromStdString(cells[i].symbol));
            labels[1]->setText(QString::fromStdString(cells[i].fullName));
            cell->setAccessibleName(QString::fromStdString(cells[i].fullName));
            cell->setStyleSheet(CellStyle(cells[i]));
        }
    }

    QWidget* Cell(int n) const {
        return n >= 0 && n < static_cast<int>(cells_.size()) ? cells_[static_cast<std::size_t>(n)]
                                                             : nullptr;
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            pressAt_ = event->position().toPoint();
            pressed_ = true;
            window_.Select(CellAt(pressAt_));
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        const int cell = CellAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && cell >= 0) {
            const theory::SequenceChord& chord = window_.Chords()[static_cast<std::size_t>(cell)];
            const auto placed = window_.Placements()[static_cast<std::size_t>(cell)];
            emit window_.chordPicked(chord.rootIndex, chord.chordTypeIndex, placed.inversion);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (pressed_ && (event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - pressAt_).manhattanLength() >=
                QApplication::startDragDistance() &&
            !window_.Chords().empty()) {
            pressed_ = false;
            const int cell = CellAt(pressAt_);
            emit window_.dragRequested(cell >= 0 ? Cell(cell) : this, cell);
        }
    }
    void mouseReleaseEvent(QMouseEvent*) override { pressed_ = false; }
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->source() != nullptr &&
            event->mimeData()->hasFormat(QLatin1String(frmChordSequence::kCellMimeType))) {
            event->acceptProposedAction();
        }
    }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        bool read = false;
        const int from =
            event->mimeData()->data(QLatin1String(frmChordSequence::kCellMimeType)).toInt(&read);
        if (!read || from < 0) {
            return;
        }
        const int to = CellAt(event->position().toPoint());
        window_.MoveCell(from, to < 0 ? static_cast<int>(cells_.size()) : to);
        event->acceptProposedAction();
    }

  private:
    // A long symbol ("C7b9#11/Bb") is set smaller rather than cut off.
    static void FitSymbol(QLabel* label, const QString& symbol) {
        QFont font = label->font();
        font.setPointSizeF(label->property("fullPoints").toDouble());
        const int room = kCellWidth - 10;
        while (font.pointSizeF() > 7 && QFontMetrics(font).horizontalAdvance(symbol) > room) {
            font.setPointSizeF(font.pointSizeF() - 1);
        }
        label->setFont(font);
        label->setText(symbol);
    }

    QFrame* MakeCell() {
        auto* cell = new QFrame(this);
        cell->setObjectName(QStringLiteral("cell"));
        cell->setFixedSize(kCellWidth, kCellHeight);
        cell->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* layout = new QVBoxLayout(cell);
        layout->setContentsMargins(4, 2, 4, 2);
        layout->setSpacing(0);
        auto* symbol = new QLabel(cell);
        QFont big = symbol->font();
        big.setPointSizeF(big.pointSizeF() * 1.8);
        big.setBold(true);
        symbol->setFont(big);
        symbol->setProperty("fullPoints", big.pointSizeF());
        symbol->setAlignment(Qt::AlignCenter);
        auto* name = new QLabel(cell);
        QFont small = name->font();
        small.setPointSizeF(small.pointSizeF() * 0.75);
        name->setFont(small);
        name->setAlignment(Qt::AlignCenter);
        name->setWordWrap(true);
        layout->addWidget(symbol);
        layout->addWidget(name);
        return cell;
    }
    int CellAt(QPoint at) const {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (cells_[i]->geometry().contains(at)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    frmChordSequence& window_;
    QGridLayout* grid_ = nullptr;
    std::vector<QFrame*> cells_;
    QPoint pressAt_;
    bool pressed_ = false;
};

frmChordSequence::frmChordSequence(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(QString::fromLatin1(kTitle));
    BuildControls();
    Refresh();
    // Eight cells to a line, and room for two more lines before the row scrolls.
    resize(kCellsPerLine * (kCellWidth + 6) + 60, 4 * (kCellHeight + 6) + 120);
}

frmChordSequence::~frmChordSequence() = default;

namespace {

QPushButton* Button(QWidget* parent, const char* caption) {
    return new QPushButton(QString::fromLatin1(caption), parent);
}

QSpinBox* Spin(QWidget* parent, const char* name, int lowest, int highest, int start) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(lowest, highest);
    spin->setValue(start);
    spin->setAccessibleName(QString::fromLatin1(name));
    return spin;
}

}  // namespace

void frmChordSequence::BuildControls() {
    cmdAdd_ = Button(this, "&Add");
    cmdRemove_ = Button(this, "&Remove");
    cmdClear_ = Button(this, "C&lear");
    cmdPlay_ = Button(this, "&Play");
    cmdStop_ = Button(this, "S&top");
    cmdExport_ = Button(this, "&Export MIDI...");
    cmdCopy_ = Button(this, "&Copy");
    chkLoop_ = new QCheckBox(QStringLiteral("Loop"), this);
    chkCapture_ = new QCheckBox(QStringLiteral("Capture played chords"), this);
    spnTempo_ = Spin(this, "Tempo", midi::kSlowestTempo, midi::kFastestTempo, midi::kStartTempo);
    spnBeats_ = Spin(this, "Beats per chord", midi::kFewestBeatsPerChord, midi::kMostBeatsPerChord,
                     midi::kStartBeatsPerChord);
    cboVoicing_ = new QComboBox(this);
    cboVoicing_->addItems({QStringLiteral("As Shown"), QStringLiteral("Smooth")});
    cboVoicing_->setAccessibleName(QStringLiteral("Voicing:"));

    auto* edit = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(cmdAdd_), static_cast<QWidget*>(cmdRemove_),
                       static_cast<QWidget*>(cmdClear_), static_cast<QWidget*>(chkCapture_)}) {
        edit->addWidget(w);
    }
    edit->addStretch();
    edit->addWidget(cmdCopy_);
    edit->addWidget(cmdExport_);

    auto* play = new QHBoxLayout;
    play->addWidget(cmdPlay_);
    play->addWidget(cmdStop_);
    play->addWidget(chkLoop_);
    const auto labelled = [&](const char* caption, QWidget* buddy) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(buddy);
        play->addWidget(label);
        play->addWidget(buddy);
    };
    labelled("Te&mpo:", spnTempo_);
    labelled("&Beats per chord:", spnBeats_);
    labelled("&Voicing:", cboVoicing_);
    play->addStretch();

    row_ = new SequenceRow(*this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(row_);
    scroll->setWidgetResizable(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(edit);
    layout->addLayout(play);
    layout->addWidget(scroll, 1);

    connect(cmdAdd_, &QPushButton::clicked, this, &frmChordSequence::addRequested);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmChordSequence::RemoveSelected);
    // Delete removes the selected cell here as in the main window.
    auto* remove = new QAction(this);
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    addAction(remove);
    connect(remove, &QAction::triggered, this, &frmChordSequence::RemoveSelected);
    connect(cmdClear_, &QPushButton::clicked, this, &frmChordSequence::Clear);
    connect(cmdPlay_, &QPushButton::clicked, this, &frmChordSequence::playRequested);
    connect(cmdStop_, &QPushButton::clicked, this, &frmChordSequence::stopRequested);
    connect(cmdExport_, &QPushButton::clicked, this, &frmChordSequence::exportRequested);
    connect(cmdCopy_, &QPushButton::clicked, this, &frmChordSequence::CopyLine);
    connect(chkLoop_, &QCheckBox::toggled, this, &frmChordSequence::loopChanged);
    connect(cboVoicing_, &QComboBox::currentIndexChanged, this, &frmChordSequence::Refresh);
}

std::vector<theory::PlacedChord> frmChordSequence::Placements() const {
    return theory::PlaceSequence(chords_, cboVoicing_->currentIndex() == 1
                                              ? theory::Voicing::Smooth
                                              : theory::Voicing::AsShown);
}

void frmChordSequence::Refresh() {
    cells_ = ComputeSequenceCells(chords_, Placements(), selected_, playing_, spelling_);
    row_->Apply(cells_);
}

bool frmChordSequence::AddChord(const theory::SequenceChord& chord) {
    if (chords_.size() >= theory::kMaxSequenceChords) {
        return false;
    }
    const int at = selected_ >= 0 ? selected_ + 1 : static_cast<int>(chords_.size());
    chords_.insert(chords_.begin() + at, chord);
    selected_ = at;
    Refresh();
    return true;
}

void frmChordSequence::AddPlayedChord(const theory::SequenceChord& chord) {
    if (!chkCapture_->isChecked() || (!chords_.empty() && chords_.back() == chord) ||
        chords_.size() >= theory::kMaxSequenceChords) {
        return;
    }
    chords_.push_back(chord);
    Refresh();
}

void frmChordSequence::RemoveSelected() {
    if (selected_ < 0 || selected_ >= static_cast<int>(chords_.size())) {
        return;
    }
    chords_.erase(chords_.begin() + selected_);
    selected_ = -1;
    Refresh();
}

void frmChordSequence::Clear() {
    chords_.clear();
    selected_ = -1;
    Refresh();
}

void frmChordSequence::MoveCell(int from, int to) {
    const int size = static_cast<int>(chords_.size());
    if (from < 0 || from >= size || to < 0 || to > size || to == from || to == from + 1) {
        return;
    }
    const theory::SequenceChord moved = chords_[static_cast<std::size_t>(from)];
    chords_.erase(chords_.begin() + from);
    const int at = to > from ? to - 1 : to;
    chords_.insert(chords_.begin() + at, moved);
    selected_ = at;
    Refresh();
}

void frmChordSequence::Select(int cell) {
    selected_ = cell >= 0 && cell < static_cast<int>(chords_.size()) ? cell : -1;
    Refresh();
}

void frmChordSequence::ShowPlaying(int cell) {
    playing_ = cell;
    Refresh();
}

void frmChordSequence::SetSpelling(theory::Spelling spelling) {
    spelling_ = spelling;
    Refresh();
}

void frmChordSequence::CopyLine() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(LeadSheet()));
}

int frmChordSequence::Tempo() const {
    return spnTempo_->value();
}

int frmChordSequence::BeatsPerChord() const {
    return spnBeats_->value();
}

bool frmChordSequence::Loop() const {
    return chkLoop_->isChecked();
}

QWidget* frmChordSequence::Cell(int n) const {
    return row_->Cell(n);
}

}  // namespace quorvane::progressions
