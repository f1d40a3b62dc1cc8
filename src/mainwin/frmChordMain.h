#pragma once
// frmChordMain: the program's main window and start-up object. It holds the selection state,
// the three selectors, the keyboard panel with its 36 key markers, the staff with the chord and
// scale displays, the Play button and the menu bar.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <string>

#include "mainwin/ChordSheet.h"
#include "views/ChordView.h"
#include "views/Keyboard.h"
#include "views/ScaleView.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace quorvane::mainwin {

class ClefLabel;
class KeyboardPanel;
class MouseDownLabel;
class StaffSurface;

class Desktop;

// What the window asks of the program around it and needs answered at once: the start-up
// reminder's outcome and the windows beside it. The program gives each window when it is first
// needed, and the progressions window anew after the user has closed it. A window on its own
// (tests, benchmarks) has none: no reminder stops its start-up and no secondary window exists.
class SecondaryWindows {
  public:
    virtual ~SecondaryWindows() = default;
    // Shows the start-up reminder modally; false when the user left it through Cancel (which
    // ends the program).
    virtual bool ShowStartReminder() { return true; }
    // The progressions window, created hidden when there is none.
    virtual QWidget* EnsureProgressions() { return nullptr; }
    // The MIDI settings window (owned by the main window), created hidden when there is none.
    virtual QWidget* EnsureMidiSettings() { return nullptr; }
};

class frmChordMain : public QMainWindow {
    Q_OBJECT
  public:
    // `windows` is the program's; without it the window stands alone.
    explicit frmChordMain(Desktop& desktop, SecondaryWindows* windows = nullptr,
                          QWidget* parent = nullptr);
    ~frmChordMain() override;

    // ---- Selection state ----------------------------------------------------------------
    int RootIndex = 0;       // 0..11, row of the root list
    int ChordTypeIndex = 0;  // 0..52
    int ScaleIndex = 0;      // 0..35
    bool LinkWindows = true;
    int Inversion = 0;  // 0..3
    std::string InversionCaption = " Basic";
    int ClefOffset = 0;  // 0 treble, 120 bass
    Qt::WindowStates SavedMidiState = Qt::WindowNoState;
    Qt::WindowStates SavedProgressionsState = Qt::WindowNoState;

    static constexpr int kMinimumScreenWidth = 800;

    // ---- Operations ---------------------------------------------------------------------
    // The start-up sequence, run once: the reminder, then the window's controls are built (unless
    // they are already) and set up. False when the program must end (reminder cancelled, marker
    // control missing, screen too narrow). The window is not shown here.
    bool Form_Load();
    // Builds the window's controls and menus, once. Nothing is built before the start-up reminder
    // is on screen, which needs none of it; the program builds them while the reminder waits.
    void LoadControls();
    // True when start-up stopped because the marker control could not be created.
    bool ControlMissing() const { return controlMissing_; }
    void ShowChord();
    void ShowScale();
    // Caption of the inversion, then the chord display.
    void ApplyInversion();
    views::IdentifierMode IdentifierMode() const;
    // What File > Print puts on paper: the chord and scale as the window shows them now.
    ChordSheet CurrentSheet() const;

    // ---- Event handlers -----------------------------------------------------------------
    void cboRootNote_Click();
    void cboChordTypes_Click();
    void cboScales_Click();
    void cboScales_Change();
    void optClef_Click(int index);
    void picKeyboard_MouseDown(int button, int shift, float x, float y);
    void vtlPlayKey_MouseDown(int index, int button, int shift, float x, float y);
    void mnuOptionsIdentifierItem_Click(int index);
    void Form_MouseDown(int button, int shift, float x, float y);
    void lblNoteName_MouseDown(int button, int shift, float x, float y);
    void mnuInversionsPopupItem_Click(int index);
    void cmdPlayButton_Click();
    void Form_Resize();
    void Form_Unload();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuOptionsLinkWindows_Click();
    void mnuOptionsResetMIDI_Click();
    void mnuWindowProgressions_Click();
    void mnuWindowMIDI_Click();

    // ---- Controls -----------------------------------------------------------------------
    QLabel* lblNoteName() const;
    KeyboardPanel* picKeyboard() const { return picKeyboard_; }
    StaffSurface* staff() const { return staff_; }
    ClefLabel* lblClef() const { return lblClef_; }
    QLabel* Label(int number) const;  // Label1..Label5
    QComboBox* cboRootNote() const { return cboRootNote_; }
    QComboBox* cboChordTypes() const { return cboChordTypes_; }
    QComboBox* cboScales() const { return cboScales_; }
    QPushButton* cmdPlayButton() const { return cmdPlayButton_; }
    QRadioButton* optClef(int index) const;
    // The marker of key k, or nullptr when the control library could not create it.
    QWidget* vtlPlayKey(int key) const;

    QAction* mnuFilePrint() const { return mnuFilePrint_; }
    QAction* mnuFileExit() const { return mnuFileExit_; }
    QAction* mnuOptionsLinkWindows() const { return mnuOptionsLinkWindows_; }
    QMenu* mnuOptionsIdentifiers() const { return mnuOptionsIdentifiers_; }
    QAction* mnuOptionsIdentifierItem(int index) const;
    QAction* mnuOptionsResetMIDI() const { return mnuOptionsResetMIDI_; }
    QAction* mnuWindowProgressions() const { return mnuWindowProgressions_; }
    QAction* mnuWindowMIDI() const { return mnuWindowMIDI_; }
    QMenu* mnuInversionsPopup() const { return mnuInversionsPopup_; }
    QAction* mnuInversionsPopupItem(int index) const;
    QAction* mnuHelpIndex() const { return mnuHelpIndex_; }
    QAction* mnuHelpSearch() const { return mnuHelpSearch_; }
    QAction* mnuHelpWebUpdates() const { return mnuHelpWebUpdates_; }
    QAction* mnuHelpWebHome() const { return mnuHelpWebHome_; }
    QAction* mnuHelpAbout() const { return mnuHelpAbout_; }

  signals:
    // Start-up step: the MIDI start-up (playing defaults, the settings window's device list).
    void initMidiRequested();
    // The progressions chart is to follow this root (its window is created hidden if needed).
    void showProgRequested(int rootIndex);
    void playRequested();
    void resetMidiRequested();
    // File > Exit or the window closed: the program's single way of ending.
    void exitRequested();
    void helpIndexRequested();
    void webUpdatesRequested();
    void webHomeRequested();
    void aboutRequested();

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Desktop& desktop_;
    SecondaryWindows alone_;
    SecondaryWindows& windows_;

    void BuildControls();
    void BuildMenus();
    void CreateMarkers();
    void NameControls();
    // What the keyboard and the staff show, in words, for assistive technology.
    void DescribeDisplays();
    void PlaceNameLabel();
    // Sets a selector's row from code and runs the same handling as a user's pick.
    void SelectRow(QComboBox* box, int row);
    void OpenInversionsPopup();
    void ShowProg();
    // Gives marker k its caption unless it already shows it.
    void SetKeyMarkerCaption(int k, const QString& caption);

    StaffSurface* staff_ = nullptr;
    MouseDownLabel* lblNoteName_ = nullptr;
    KeyboardPanel* picKeyboard_ = nullptr;
    ClefLabel* lblClef_ = nullptr;
    std::array<QLabel*, 5> labels_{};
    QComboBox* cboRootNote_ = nullptr;
    QComboBox* cboChordTypes_ = nullptr;
    QComboBox* cboScales_ = nullptr;
    QPushButton* cmdPlayButton_ = nullptr;
    std::array<QRadioButton*, 2> optClef_{};
    std::array<QWidget*, views::kKeyCount> vtlPlayKey_{};
    // The background colour each marker was last given: a redraw sets only those that change,
    // since every property set repaints the control.
    std::array<views::OleColor, views::kKeyCount> markerBackColor_{};
    std::array<QString, views::kKeyCount> markerCaption_{};
    // Where the marker control was looked for, and whether start-up stopped for want of it.
    QStringList markerPlaces_;
    bool controlMissing_ = false;

    QAction* mnuFilePrint_ = nullptr;
    QAction* mnuFileExit_ = nullptr;
    QAction* mnuOptionsLinkWindows_ = nullptr;
    QMenu* mnuOptionsIdentifiers_ = nullptr;
    std::array<QAction*, 3> mnuOptionsIdentifierItem_{};
    QAction* mnuOptionsResetMIDI_ = nullptr;
    QAction* mnuWindowProgressions_ = nullptr;
    QAction* mnuWindowMIDI_ = nullptr;
    QMenu* mnuInversionsPopup_ = nullptr;
    std::array<QAction*, 4> mnuInversionsPopupItem_{};
    QAction* mnuHelpIndex_ = nullptr;
    QAction* mnuHelpSearch_ = nullptr;
    QAction* mnuHelpWebUpdates_ = nullptr;
    QAction* mnuHelpWebHome_ = nullptr;
    QAction* mnuHelpAbout_ = nullptr;

    bool shownOnce_ = false;
    QString chordNotes_;  // the chord's notes by name, lowest first
    QString scaleNotes_;
    QString scaleTitle_;  // the root and name of the scale last drawn
};

}  // namespace quorvane::mainwin
