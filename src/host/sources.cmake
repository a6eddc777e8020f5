set(QV_HOST_SOURCES
  host/diagnostics.cc
  host/host_objects.cc
  host/identity.cc
  host/memory_host.cc
  host/message_cache.cc
  host/messages.cc
  host/shared_state.cc
  host/sysvar.cc
)
list(TRANSFORM QV_HOST_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
