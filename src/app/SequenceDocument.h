#pragma once
// The chord sequence's files as the user handles them: saved as a ChordPro song, opened from one
// (asking first to save unsaved changes), exported as a MusicXML score; the question to save
// before the program ends. Dialogs and messages go through the Desktop.

#include <QString>
#include <functional>

#include "mainwin/Desktop.h"
#include "progressions/SequenceModel.h"
#include "theory/spelling.h"

class QWidget;

namespace quorvane::app {

class SequenceDocument {
  public:
    // `owner` gives the window the dialogs stand over; `spelling` the spelling the cells are
    // written in; `exportFolder` is where the program's last exported file went.
    SequenceDocument(progressions::SequenceModel& model, mainwin::Desktop& desktop,
                     std::function<QWidget*()> owner, std::function<theory::Spelling()> spelling,
                     QString& exportFolder);

    // Asks for a file and saves the sequence there; false when cancelled or failed (said).
    bool Save();
    // Asks to save unsaved changes, then for a file, and opens it.
    void Open();
    // Opens the song at `path` in place of the sequence, after asking to save unsaved changes;
    // a file that cannot be opened is said and leaves the sequence as it was. False then.
    bool OpenFile(const QString& path);
    void ExportMusicXml();
    // Whether the sequence may go: nothing unsaved, or the user saved or discarded it.
    bool MayDiscard();

  private:
    QString Folder() const;
    void Fail(const QString& text, const QString& why);

    progressions::SequenceModel& model_;
    mainwin::Desktop& desktop_;
    std::function<QWidget*()> owner_;
    std::function<theory::Spelling()> spelling_;
    QString& exportFolder_;
};

}  // namespace quorvane::app
