target_sources(mvrgui PRIVATE
  app/MVRKrsExpApp.cpp
  app/NetworkWork.cpp
  app/QtUserInteraction.cpp
  app/ScriptedAnswers.cpp
  dialogs/AboutDlg.cpp
  dialogs/AccountDlg.cpp
  dialogs/CopyMoveSymbolsDlg.cpp
  dialogs/DownloadProgressDlg.cpp
  dialogs/FindInstrumentDlg.cpp
  dialogs/ScheduleUpdateDlg.cpp
  window/MVRKrsExpDlg.cpp
)
