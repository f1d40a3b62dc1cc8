#pragma once
// frmChordMain: the program's main window and start-up object. It owns the selection (one plain
// value) and shows it: the three selectors, the keyboard panel with its 36 key markers, the staff
// with the chord and scale displays, the Play button and the menu bar. Its handlers turn the
// user's input into changes of the selection. The controls and menus are built in
// frmChordMainBuild.cpp, the window-level commands live in frmChordMainCommands.cpp.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "mainwin/ChordSheet.h"
#include "theory/recognition.h"
#include "theory/spelling.h"
#include "views/ChordView.h"
#include "views/Keyboard.h"
#include "views/ScaleView.h"
#include "views/Selection.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace vantile {
class DispatchCache;
}

namespace quorvane::mainwin {

class ClefLabel;
class KeyboardPanel;
class MouseDownLabel;
class PlayingKeys;
class StaffSurface;
class SymbolLabel;

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
    // Whether the program may end now: false when the user chose to stay (unsaved work kept).
    virtual bool MayEnd() { return true; }
};

class frmChordMain : public QMainWindow {
    Q_OBJECT
  public:
    // `windows` is the program's; without it the window stands alone.
    explicit frmChordMain(Desktop& desktop, SecondaryWindows* windows = nullptr,
                          QWidget* parent = nullptr);
    ~frmChordMain() override;

    // ---- Selection state ----------------------------------------------------------------
    // The selection as the displays last showed or are about to show it.
    const views::Selection& CurrentSelection() const { return selection_; }
    // A setter refuses a value outside its range: it returns false and the state stays as it
    // was. Setting the state redraws nothing; the displays are redrawn by explicit calls.
    int RootIndex() const { return selection_.rootIndex; }  // 0..11, row of the root list
    bool SetRootIndex(int index);
    int ChordTypeIndex() const { return selection_.chordTypeIndex; }  // 0..52
    bool SetChordTypeIndex(int index);
    int ScaleIndex() const { return selection_.scaleIndex; }  // 0..35
    bool SetScaleIndex(int index);
    int Inversion() const { return selection_.inversion; }  // 0..3
    bool SetInversion(int inversion);
    // The caption of the inversion last applied (ApplyInversion).
    const std::string& InversionCaption() const { return selection_.inversionCaption; }
    int ClefOffset() const { return selection_.clefOffset; }  // 0 treble, 120 bass
    bool SetClefOffset(int offset);
    // Options > Spelling: how notes are named and written (Sharps at every start).
    theory::Spelling Spelling() const { return selection_.spelling; }
    // Takes the spelling, checks its menu item and redraws everything that names a note; emits
    // spellingChanged when it differs.
    void SetSpelling(theory::Spelling spelling);
    // Options > Link Windows (the menu item's check mark agrees).
    bool LinkWindows() const { return selection_.linkWindows; }
    // Whether the progressions window is shown from the Window menu (its check mark agrees);
    // the program says when the user has closed that window.
    void SetProgressionsShown(bool shown);
    // The secondary windows' states when the main window was last minimised.
    Qt::WindowStates SavedMidiState() const { return savedMidiState_; }
    Qt::WindowStates SavedProgressionsState() const { return savedProgressionsState_; }

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
    views::IdentifierMode IdentifierMode() const { return selection_.identifiers; }
    // What File > Print puts on paper: the chord and scale as the window shows them now.
    ChordSheet CurrentSheet() const;
    // The chord as a title: root text, a blank, chord name and inversion caption ("C Major 7th
    // Basic"), which names its MIDI file.
    QString ChordTitle() const;
    // The chord shown, in words, with what else a held chord is named: what the name's
    // description reads and the log writes.
    QString ChordDescription() const;
    // What the name label says of held notes that are no catalogue chord.
    static QString UnlistedChordText(const QString& notes);

    // ---- Notes picked and held ------------------------------------------------------------
    // Options > Pick Notes (off at every start): a left press on a key picks a note instead of
    // the root, and the computer keyboard plays.
    bool PickNotes() const { return pickNotes_; }
    // Draws the keys held from every source pressed and says so in the keyboard's description.
    void ShowHeldKeys(const views::HeldView& held);

    // ---- A chord held on the MIDI input ---------------------------------------------------
    // Selects it in one change of the selection (root, chord type, inversion, and what else
    // `names` says the held notes are, or that the fifth is left out) and draws once, as a pick of
    // the root does; the other names stand as symbols under the chord's name until the chord
    // display is next redrawn otherwise; the name's description reads them in words and symbols.
    void SelectPlayedChord(int rootIndex, int chordTypeIndex, int inversion,
                           const theory::HeldChordNames& names = {});
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
    void mnuFileExportMIDI_Click();
    void mnuFileExit_Click();
    void mnuOptionsLinkWindows_Click();
    void mnuOptionsResetMIDI_Click();
    void mnuOptionsPickNotes_Click();
    void mnuWindowProgressions_Click();
    void mnuWindowMIDI_Click();

    // ---- Controls -----------------------------------------------------------------------
    QLabel* lblNoteName() const;
    // Under the chord's name: what else a chord held on the MIDI input is named.
    QLabel* lblOtherNames() const { return lblOtherNames_; }
    // Beside the chord's name: its lead-sheet symbol.
    SymbolLabel* lblChordSymbol() const { return lblChordSymbol_; }
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
    QAction* mnuFileExportMIDI() const { return mnuFileExportMIDI_; }
    QAction* mnuFileExit() const { return mnuFileExit_; }
    QAction* mnuOptionsLinkWindows() const { return mnuOptionsLinkWindows_; }
    QMenu* mnuOptionsIdentifiers() const { return mnuOptionsIdentifiers_; }
    QAction* mnuOptionsIdentifierItem(int index) const;
    QAction* mnuOptionsSpellingItem(int index) const;  // 0 Sharps, 1 Flats, 2 By Chord
    QAction* mnuOptionsResetMIDI() const { return mnuOptionsResetMIDI_; }
    QAction* mnuOptionsPickNotes() const { return mnuOptionsPickNotes_; }
    QAction* mnuWindowProgressions() const { return mnuWindowProgressions_; }
    QAction* mnuWindowMIDI() const { return mnuWindowMIDI_; }
    // The Window menu, where the program adds the items of the windows it makes.
    QMenu* mnuWindow() const { return mnuWindow_; }
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
    // File > Export MIDI...: the chord is to be written to a MIDI file the user names.
    void exportMidiRequested();
    // A left drag has begun on the chord's name or on the chord on the staff: the chord is to
    // be carried from `source` as a MIDI file.
    void chordDragRequested(QWidget* source);
    void resetMidiRequested();
    // The spelling was changed (Options > Spelling); other windows that name notes follow it.
    void spellingChanged(quorvane::theory::Spelling spelling);
    // File > Exit or the window closed: the program's single way of ending.
    void exitRequested();
    void helpIndexRequested();
    void webUpdatesRequested();
    void webHomeRequested();
    void aboutRequested();
    // The selection shown changed (emitted once the displays show it, once for each change).
    void selectionChanged(const quorvane::views::Selection& selection);
    // Pick Notes was switched; off, the picks and the computer keys held are let go.
    void pickNotesChanged(bool on);
    // With Pick Notes on: key 0..35 was pressed (picked, or unpicked when picked).
    void keyPicked(int key);
    // Escape: the picked notes (and the notes fretted on the neck) are to be emptied.
    void pickedCleared();
    // A computer key went down or up in the window (its scan code and Qt key code).
    void computerKeyDown(quint32 scanCode, int character);
    void computerKeyUp(quint32 scanCode, int character);
    // The window lost the focus: every computer key held is to be let go.
    void computerKeysLost();

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
    // The steps of the chord display: the name label, the staff, the key markers.
    void ShowChordName(const views::ChordView& view);
    void ShowChordStaff(const views::ChordView& view);
    void ShowChordMarkers(const views::ChordView& view);
    // What the keyboard and the staff show, in words, for assistive technology: the texts of
    // the views they last applied.
    void DescribeDisplays();
    void DescribeKeyboard();
    // Lays the name label out for the name it now shows.
    void PlaceNameLabel(const QString& name);
    // The held chord's other names under the chord's name, from the selection.
    void ShowOtherNames();
    // The chord display from the selection as it stands, the held chord's names kept.
    void DrawChord();
    // Emits selectionChanged when the selection differs from the one last announced.
    void Announce();
    // The handling of a pick in a selector, whether the user's or the program's.
    void PickRoot(int row);
    void PickChordType(int row);
    void PickScale(int row);
    // The selectors show the selection (without running their handlers).
    void ShowSelectors();
    void ShowIdentifierChecks();
    void OpenInversionsPopup();
    // A left press on the widget where `starts` holds, then a move past the drag distance,
    // asks for the chord to be dragged; the press itself is handled as before.
    void WatchForDrags(QWidget* widget, std::function<bool(QPoint)> starts);
    void ShowProg();

    StaffSurface* staff_ = nullptr;
    MouseDownLabel* lblNoteName_ = nullptr;
    QLabel* lblOtherNames_ = nullptr;
    SymbolLabel* lblChordSymbol_ = nullptr;
    KeyboardPanel* picKeyboard_ = nullptr;
    ClefLabel* lblClef_ = nullptr;
    std::array<QLabel*, 5> labels_{};
    QComboBox* cboRootNote_ = nullptr;
    QComboBox* cboChordTypes_ = nullptr;
    QComboBox* cboScales_ = nullptr;
    QPushButton* cmdPlayButton_ = nullptr;
    std::array<QRadioButton*, 2> optClef_{};
    std::array<QWidget*, views::kKeyCount> vtlPlayKey_{};
    // The markers' members as the control's class names them, looked up once for every redraw.
    std::unique_ptr<vantile::DispatchCache> markerDispatch_;
    // Where the marker control was looked for, and whether start-up stopped for want of it.
    QStringList markerPlaces_;
    bool controlMissing_ = false;

    QAction* mnuFilePrint_ = nullptr;
    QAction* mnuFileExportMIDI_ = nullptr;
    QAction* mnuFileExit_ = nullptr;
    QAction* mnuOptionsLinkWindows_ = nullptr;
    QMenu* mnuOptionsIdentifiers_ = nullptr;
    std::array<QAction*, 3> mnuOptionsIdentifierItem_{};
    std::array<QAction*, 3> mnuOptionsSpellingItem_{};
    QAction* mnuOptionsResetMIDI_ = nullptr;
    QAction* mnuOptionsPickNotes_ = nullptr;
    PlayingKeys* playingKeys_ = nullptr;
    QAction* mnuWindowProgressions_ = nullptr;
    QAction* mnuWindowMIDI_ = nullptr;
    QMenu* mnuWindow_ = nullptr;
    QMenu* mnuInversionsPopup_ = nullptr;
    std::array<QAction*, 4> mnuInversionsPopupItem_{};
    QAction* mnuHelpIndex_ = nullptr;
    QAction* mnuHelpSearch_ = nullptr;
    QAction* mnuHelpWebUpdates_ = nullptr;
    QAction* mnuHelpWebHome_ = nullptr;
    QAction* mnuHelpAbout_ = nullptr;

    bool shownOnce_ = false;

    views::Selection selection_;
    views::Selection announced_;
    bool pickNotes_ = false;
    bool progressionsShown_ = false;
    Qt::WindowStates savedMidiState_ = Qt::WindowNoState;
    Qt::WindowStates savedProgressionsState_ = Qt::WindowNoState;
};

}  // namespace quorvane::mainwin
