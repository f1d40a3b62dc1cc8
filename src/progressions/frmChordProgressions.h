#pragma once
// frmChordProgressions: the secondary window with the chart of fifteen chords related to the
// root. It has no owner window; the main window shows and hides it, and the user's close destroys
// it (the next showing creates a fresh one).

#include <QString>
#include <QWidget>
#include <array>

#include "progressions/ProgressionsChart.h"

namespace quorvane::progressions {

class frmChordProgressions : public QWidget {
    Q_OBJECT
  public:
    explicit frmChordProgressions(QWidget* parent = nullptr);
    ~frmChordProgressions() override;

    // Placement when the window is created: beside the main window on a wide screen.
    void Form_Load(int screenWidthTwips, int mainOuterWidthTwips);

    // Recomputes all fifteen captions for a root (0..11). Does not show the window.
    void ShowProg(int rootIndex);
    // Names the chart's chords in `spelling` from now on, the shown root's at once.
    void SetSpelling(theory::Spelling spelling);

    // Box n (0..14), or nullptr when the control library could not create it.
    QWidget* ProgRoot(int n) const;
    // What box n shows: its control's caption, or the chart's text when there is no control.
    QString Caption(int n) const;
    const Captions& CaptionsShown() const { return captions_; }

  signals:
    // The user closed the window; it is destroyed next.
    void unloaded();
    // A left press on a box: its chord (root 0..11, Major or Minor) is to be shown as if picked
    // in the main window, and also added to the chord sequence when Shift was held.
    void boxPicked(int rootIndex, int chordTypeIndex, bool addToSequence);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Unload();
    void ApplyCaptions();

    std::array<QWidget*, kBoxCount> boxes_{};
    Captions captions_;
    int rootIndex_ = 0;
    theory::Spelling spelling_ = theory::Spelling::Sharps;
};

}  // namespace quorvane::progressions
