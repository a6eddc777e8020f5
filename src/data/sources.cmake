set(QV_DATA_SOURCES
  data/activity_log.cc
  data/aspproc.cc
  data/connection.cc
  data/form_controls.cc
  data/grid_forms.cc
  data/login.cc
  data/login_throttle.cc
  data/recordset.cc
  data/write_back.cc
)
list(TRANSFORM QV_DATA_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
