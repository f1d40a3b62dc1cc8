#pragma once
// frmFretboard: the chord on a fretted instrument. It follows the chord the main window shows,
// lists every playable shape of it as chord boxes (best first, one selected), draws the neck with
// the chord's and the scale's notes, frets notes by hand on the neck or from a shape typed as
// players write it, and plays, copies and saves the selected shape.

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "fretboard/FretboardView.h"
#include "theory/fretted.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace quorvane::fretboard {

class ChordBoxWidget;
class NeckWidget;

// Where the window asks the user: the custom tuning, where an image goes, and what went wrong.
// Tests answer for the user.
class FretboardAsks {
  public:
    virtual ~FretboardAsks() = default;
    // The strings of a custom tuning as text; nullopt when the user cancelled.
    virtual std::optional<QString> AskTuning(QWidget* owner, const QString& current);
    // The path to save an image to, proposing `proposed`; empty when the user cancelled.
    virtual QString ChooseImageFile(QWidget* owner, const QString& proposed);
    virtual void Warn(QWidget* owner, const QString& title, const QString& text);
};

class frmFretboard final : public QWidget {
    Q_OBJECT
  public:
    // Without `asks`, the real dialogs.
    explicit frmFretboard(QWidget* parent = nullptr, FretboardAsks* asks = nullptr);
    ~frmFretboard() override;

    // ---- State ---------------------------------------------------------------------------
    const FretboardSelection& Selection() const { return selection_; }
    const Instrument& CurrentInstrument() const { return instrument_; }
    const std::vector<theory::FrettedShape>& Shapes() const { return shapes_; }
    int SelectedShape() const { return selected_; }  // -1 when there is none
    void SelectShape(int index);
    // What the neck holds, one entry per string counted from the nut (theory::kMuted: none).
    const std::vector<int>& NeckFrets() const { return neckFrets_; }
    // The custom tuning from text; on bad text says why and keeps the tuning in use.
    bool UseCustomTuning(const QString& text);

    // ---- Controls ------------------------------------------------------------------------
    QComboBox* cboInstrument() const { return cboInstrument_; }
    QSpinBox* updCapo() const { return updCapo_; }
    QCheckBox* chkLeftHanded() const { return chkLeftHanded_; }
    // The box of shape `index`, nullptr when there is no such shape.
    ChordBoxWidget* picShape(int index) const;
    QLabel* lblNoShape() const { return lblNoShape_; }
    NeckWidget* picNeck() const { return picNeck_; }
    QLineEdit* txtFrets() const { return txtFrets_; }
    QLabel* lblFretsError() const { return lblFretsError_; }
    QPushButton* cmdPlay() const { return cmdPlay_; }
    QPushButton* cmdCopy() const { return cmdCopy_; }
    QPushButton* cmdSaveImage() const { return cmdSaveImage_; }

  public slots:
    // The chord the main window shows now.
    void ShowSelection(const quorvane::fretboard::FretboardSelection& selection);
    // Options > Pick Notes: while on, a left press on the neck frets a string.
    void SetPickNotes(bool on) { pickNotes_ = on; }
    // Lets go of everything fretted on the neck.
    void ClearNeck();

    void cboInstrument_Click(int row);
    void picNeck_MouseDown(int x, int y);
    void txtFrets_Return();
    void cmdPlay_Click();
    void cmdCopy_Click();
    void cmdSaveImage_Click();

  signals:
    // The MIDI notes fretted on the neck now, lowest string first.
    void neckNotesChanged(const std::vector<int>& notes);
    // &Play: these notes, lowest string first, are to be strummed downwards.
    void strumRequested(const std::vector<int>& notes);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildControls();
    // The shapes anew for the chord, the instrument and the capo; the best one selected.
    void FindShapes();
    void ShowShapes();
    void ShowNeck();
    void SetNeckFrets(std::vector<int> frets);
    void ApplyTuning(const std::string& name, const std::vector<int>& strings);
    const theory::FrettedShape* Selected() const;
    std::string ChordName() const;

    FretboardAsks ownAsks_;
    FretboardAsks& asks_;
    FretboardSelection selection_;
    Instrument instrument_;
    std::vector<theory::FrettedShape> shapes_;
    int selected_ = -1;
    std::vector<int> neckFrets_;
    bool pickNotes_ = false;
    int instrumentRow_ = 0;  // the combo's row in use, restored when a custom tuning is refused

    QComboBox* cboInstrument_ = nullptr;
    QSpinBox* updCapo_ = nullptr;
    QCheckBox* chkLeftHanded_ = nullptr;
    QScrollArea* shapesArea_ = nullptr;
    QWidget* shapesStrip_ = nullptr;
    // Reused from one chord to the next; placed by hand, since a layout over a few hundred boxes
    // costs more than a frame.
    std::vector<ChordBoxWidget*> boxes_;
    QLabel* lblNoShape_ = nullptr;
    NeckWidget* picNeck_ = nullptr;
    QLineEdit* txtFrets_ = nullptr;
    QLabel* lblFretsError_ = nullptr;
    QPushButton* cmdPlay_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdSaveImage_ = nullptr;
};

}  // namespace quorvane::fretboard
