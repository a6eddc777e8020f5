set(QV_DATA_SOURCES
  data/connection.cc
  data/recordset.cc
)
list(TRANSFORM QV_DATA_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
