# The page framework and every page, written against the backend interfaces
# of framework/backend.h: no toolkit, so the same pages serve every window
# system (the Qt build and the Windows cross build include this). This target
# must never link or include Qt.
set(tolvane_ui_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(tolvane_pages STATIC
  ${tolvane_ui_dir}/framework/backend.h
  ${tolvane_ui_dir}/framework/geometry.cpp
  ${tolvane_ui_dir}/framework/desktop_paths.cpp
  ${tolvane_ui_dir}/framework/page.cpp
  ${tolvane_ui_dir}/framework/page_display.cpp
  ${tolvane_ui_dir}/framework/main_window.cpp
  ${tolvane_ui_dir}/framework/file_dialogs.cpp
  ${tolvane_ui_dir}/framework/engine_job.cpp
  ${tolvane_ui_dir}/pages/pages.cpp
  ${tolvane_ui_dir}/pages/custom_size_dialog.cpp
  ${tolvane_ui_dir}/pages/start_page.cpp
  ${tolvane_ui_dir}/pages/about_page.cpp
  ${tolvane_ui_dir}/pages/information_page.cpp
  ${tolvane_ui_dir}/pages/completion_page.cpp
  ${tolvane_ui_dir}/pages/progress_page.cpp
  ${tolvane_ui_dir}/pages/split_wizard.cpp
  ${tolvane_ui_dir}/pages/restore_wizard.cpp
  ${tolvane_ui_dir}/pages/repair_wizard.cpp
  ${tolvane_ui_dir}/pages/recovery_repair_page.cpp
  ${tolvane_ui_dir}/pages/archive_choice_page.h
  ${tolvane_ui_dir}/pages/continue_wizard.cpp
)
target_link_libraries(tolvane_pages PUBLIC tolvane_engine tolvane_build_info)
target_include_directories(tolvane_pages PUBLIC ${PROJECT_SOURCE_DIR})
