#include "gui/app/MVRKrsExpApp.h"

#include "core/app/CommandLine.h"
#include "core/app/RunEnd.h"
#include "core/app/Session.h"
#include "core/net/WinSocket.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/resources/Artwork.h"
#include "gui/window/MVRKrsExpDlg.h"

#include <cstdio>
#include <QApplication>
#include <QMessageBox>

namespace mvr::gui {

namespace {

int Ended(const RunEnd& end) {
    if (!end.reason.empty()) {
        std::fprintf(stderr, "mvrkrsexp: %s\n", end.reason.c_str());
    }
    return end.status;
}

int RunDefinitionFile(CMVRKrsExpSession& session, const StartupArguments& startup) {
    DefinitionFileOutcome outcome = DefinitionFileOutcome::AccountRefused;
    const RunFlag run{1};
    session.RunDefinitionFile(startup.definitionInput, startup.definitionOutput, run, &outcome);
    return Ended(EndOfDefinitionFileRun(outcome, startup));
}

} // namespace

int RunApplication(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(kMessageCaption);
    QApplication::setWindowIcon(ApplicationIcon());
    const StartupArguments startup =
        AnalyseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!StartSockets(2, 2)) {
        QMessageBox::critical(nullptr, kMessageCaption, kSocketsInitError);
        return kExitCommunication;
    }
    CMVRKrsExpSession session;
    if (startup.kind == RunKind::DefinitionFile) {
        return RunDefinitionFile(session, startup);
    }
    session.SetCommandLine(startup.firstArgument, startup.secondArgument);
    CMVRKrsExpDlg window(session);
    if (!window.Initialise()) {
        return kExitFailed;
    }
    window.show();
    window.StartClientCheck();
    QApplication::exec();
    const std::optional<RunEnd> end = window.BatchEnd();
    return end ? Ended(*end) : kExitDone;
}

} // namespace mvr::gui
