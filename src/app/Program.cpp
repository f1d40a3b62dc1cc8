#include "app/Program.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

#include "dialogs/HelpViewer.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMoney.h"
#include "mainwin/frmChordMain.h"
#include "progressions/frmChordProgressions.h"
#include "views/Twips.h"

namespace quorvane::app {

Program::Program()
    : main_(std::make_unique<mainwin::frmChordMain>()),
      reminder_(std::make_unique<dialogs::frmMoney>()) {
    ScreenWidthPixels = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->geometry().width() : 0;
    };
    ReminderDraw = dialogs::ClockSeededDraw;
    WebOpener = dialogs::DesktopWebOpener();
    EndProcess = [] { QCoreApplication::exit(0); };
    // The program ends only through ShutDown, never because its last window closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Wire();
}

Program::~Program() {
    delete progressions_.data();
}

void Program::Wire() {
    mainwin::Collaborators& c = main_->collaborators;
    main_->ScreenWidthPixels = [this] { return ScreenWidthPixels(); };
    c.ShowStartReminder = [this] { return ShowStartReminder(); };
    c.ShowProg = [this](int rootIndex) { ProgressionsWindow()->ShowProg(rootIndex); };
    c.ProgressionsWindow = [this]() -> QWidget* { return ProgressionsWindow(); };
    c.ShutDown = [this] { ShutDown(); };
    c.HelpIndex = [this] { HelpIndex(); };
    c.HelpWebUpdates = [this] { HelpWebUpdates(); };
    c.HelpWebHome = [this] { HelpWebHome(); };
    c.HelpAbout = [this] { HelpAbout(); };

    reminder_->Draw = [this] { return ReminderDraw ? ReminderDraw() : dialogs::ClockSeededDraw(); };
    reminder_->ShutDown = [this] { ShutDown(); };
    reminder_->OpenUpdatesPage = [this] { HelpWebUpdates(); };
}

// ---- Start and run ------------------------------------------------------------------------

bool Program::ShowStartReminder() {
    reminder_->bClosing = false;
    const dialogs::frmMoney::Outcome outcome = reminder_->ShowModal();
    return outcome != dialogs::frmMoney::Outcome::Cancel && !ended_;
}

bool Program::Start() {
    // The main window takes its fixed size now, so windows placed beside it during the
    // start-up see its real width.
    if (QLayout* layout = main_->layout(); layout != nullptr) {
        layout->activate();
    }
    return main_->Form_Load() && !ended_;
}

int Program::Run() {
    if (!Start()) {
        return 0;
    }
    main_->show();
    return QApplication::exec();
}

// ---- Secondary windows --------------------------------------------------------------------

progressions::frmChordProgressions* Program::ProgressionsWindow() {
    if (progressions_ == nullptr) {
        progressions_ = new progressions::frmChordProgressions();
        progressions_->Unloaded = [this] {
            main_->mnuWindowProgressions()->setChecked(false);
            // The window destroys itself once the close is done; from now on it is gone.
            progressions_.clear();
        };
        progressions_->Form_Load(views::PixelsToTwips(ScreenWidthPixels()),
                                 views::PixelsToTwips(main_->frameGeometry().width()));
        // A new window shows the chart of the root selected now, never a stale one.
        progressions_->ShowProg(main_->RootIndex);
    }
    return progressions_;
}

dialogs::frmAbout* Program::About() {
    if (about_ == nullptr) {
        about_ = new dialogs::frmAbout(main_.get());
    }
    return about_;
}

dialogs::HelpViewer* Program::Help() {
    if (help_ == nullptr) {
        help_ = new dialogs::HelpViewer(main_.get());
    }
    return help_;
}

// ---- Help menu ----------------------------------------------------------------------------

void Program::HelpIndex() {
    Help()->ShowContents();
}

void Program::HelpWebUpdates() {
    dialogs::OpenWebPage(dialogs::UpdatesPageAddress(), WebOpener);
}

void Program::HelpWebHome() {
    dialogs::OpenWebPage(dialogs::HomePageAddress(), WebOpener);
}

void Program::HelpAbout() {
    About()->ShowModal();
}

// ---- The end ------------------------------------------------------------------------------

void Program::ShutDown() {
    // One ending per run: a second request (a close arriving while the first is under way)
    // neither shows the reminder again nor ends twice.
    if (shuttingDown_) {
        return;
    }
    shuttingDown_ = true;
    reminder_->bClosing = true;
    if (!reminder_->OnScreen()) {
        ++closingRemindersShown_;
        reminder_->ShowModal();
    }
    if (CloseMidi) {
        CloseMidi();
    }
    UnloadSecondaryWindows();
    ended_ = true;
    if (EndProcess) {
        EndProcess();
    }
}

void Program::UnloadSecondaryWindows() {
    delete progressions_.data();
    if (about_ != nullptr && about_->isVisible()) {
        about_->done(0);
    }
    if (UnloadMidiWindow) {
        UnloadMidiWindow();
    }
    reminder_->Unload();
}

}  // namespace quorvane::app
