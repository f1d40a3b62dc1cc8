#pragma once
// frmChordMain: the program's main window and start-up object. It holds the selection state,
// the three selectors, the keyboard panel with its 36 key markers, the staff with the chord and
// scale displays, the Play button and the menu bar.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <string>

#include "mainwin/ChordSheet.h"
#include "views/ChordView.h"
#include "views/Keyboard.h"
#include "views/ScaleView.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace quorvane::mainwin {

class ClefLabel;
class KeyboardPanel;
class MouseDownLabel;
class StaffSurface;

// The other parts of the program the window calls into. Each is set by whoever owns that part
// (main() for the running program); a step whose entry is empty is skipped.
struct Collaborators {
    // The start-up reminder, shown modally with bClosing false. Returns false when the user left
    // it through Cancel (which ends the program); start-up then stops.
    std::function<bool()> ShowStartReminder;
    // The MIDI start-up: playing defaults and the device list of the MIDI settings window.
    std::function<void()> InitMidi;
    // Brings the progressions chart up to date for a root (creating its window hidden).
    std::function<void(int rootIndex)> ShowProg;
    // The progressions window, created hidden when there is none; nullptr when unavailable.
    std::function<QWidget*()> ProgressionsWindow;
    // The MIDI settings window (owned by this window), created hidden when first needed.
    std::function<QWidget*()> MidiWindow;
    // Plays the current chord (reads the selection at the moment of playing).
    std::function<void()> PlayChord;
    // Resets the open MIDI output; failures are ignored.
    std::function<void()> ResetMidi;
    // The program's single way of ending: closing reminder, MIDI close, unloading, end.
    std::function<void()> ShutDown;
    // Help menu.
    std::function<void()> HelpIndex;
    std::function<void()> HelpWebUpdates;
    std::function<void()> HelpWebHome;
    std::function<void()> HelpAbout;
};

class frmChordMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmChordMain(QWidget* parent = nullptr);
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

    Collaborators collaborators;

    // Width of the screen in pixels, read by the start-up screen check (tests inject it).
    std::function<int()> ScreenWidthPixels;
    // Shows a modal message box with the stop icon and an OK button (tests replace it).
    std::function<void(const QString& title, const QString& text)> ShowCriticalMessage;
    // Opens the Inversions pop-up at the pointer and returns when it has closed (tests replace
    // it to choose an item or close it without a choice).
    std::function<void(QMenu* menu)> OpenPopupMenu;

    // Shows the print dialog for File > Print; false when the user cancelled it (tests replace
    // it to print to a PDF file without a dialog).
    std::function<bool(QPrinter& printer)> ChoosePrinter;

    static constexpr int kMinimumScreenWidth = 800;

    // ---- Operations ---------------------------------------------------------------------
    // The start-up sequence; false when the program must end (reminder cancelled, marker
    // control missing, screen too narrow). The window is not shown here.
    bool Form_Load();
    // True when start-up stopped because the marker control could not be created.
    bool ControlMissing() const { return controlMissing_; }
    void ShowChord();
    void ShowScale();
    // Caption of the inversion, then the chord display.
    void ApplyInversion();
    views::IdentifierMode IdentifierMode() const;
    // What File > Print puts on paper: the chord and scale as the window shows them now.
    ChordSheet CurrentSheet() const;

    // ---- A chord held on the MIDI input ---------------------------------------------------
    // Selects it as the user's picks do: the root, the chord type, then the inversion, each
    // running its own handling.
    void SelectPlayedChord(int rootIndex, int chordTypeIndex, int inversion);
    // Held notes that are no catalogue chord: the display stays; the name label says so in its
    // tooltip and accessible description.
    void ShowUnlistedChord(const QString& notes);

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

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
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
