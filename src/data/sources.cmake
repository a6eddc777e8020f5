set(QV_DATA_SOURCES
  data/aspproc.cc
  data/connection.cc
  data/recordset.cc
)
list(TRANSFORM QV_DATA_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
