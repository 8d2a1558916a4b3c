add_library(mvrguitestbed STATIC GuiTestbed.cpp)
target_link_libraries(mvrguitestbed PUBLIC mvrgui mvrservertestsupport)

mvr_add_gui_test(test_gui_mainwindow SOURCES MainWindowTest.cpp LIBS mvrguitestbed)

mvr_add_gui_test(test_gui_update SOURCES UpdateThroughWindowTest.cpp LIBS mvrguitestbed)
# The update tests start the real programs.
add_dependencies(test_gui_update mvrkrsexp mvrkrsexp-batch)
target_compile_definitions(test_gui_update PRIVATE
  MVR_GUI_PATH="$<TARGET_FILE:mvrkrsexp>" MVR_BATCH_PATH="$<TARGET_FILE:mvrkrsexp-batch>")
mvr_add_gui_test(test_gui_account SOURCES AccountDialogTest.cpp LIBS mvrguitestbed)
mvr_add_gui_test(test_gui_symboldata SOURCES SymbolDataThroughWindowTest.cpp LIBS mvrguitestbed)
mvr_add_gui_test(test_gui_import
  SOURCES ImportThroughWindowTest.cpp ../core/legacy/LegacyFileBuilder.cpp LIBS mvrguitestbed)
mvr_add_gui_test(test_gui_schedule SOURCES ScheduleUpdateDlgTest.cpp LIBS mvrgui)
