// The request's state on this thread, and the host objects it runs with.
//
// A request runs on one thread from SysVar.Init to its last call, and
// objects used on the same thread see the same state; nothing of it is
// locked. The state comes in parts, each a struct declared in the lowest
// folder that reads it, whose comment names the module that writes it: the
// host objects below, table access (data/aspproc.h), the settings
// (data/settings.h), identity (session/identity.h), messages and errors
// (session/messages.h), the current page (session/current_page.h), the
// book (book/book_state.h). A module added later keeps its own part.
//
// A part is a RequestPart<T>: one T per thread that reads as new (T{})
// after every BeginRequestState, which SysVar.Init calls first, so nothing
// of an earlier request on the thread survives Init. Only the settings
// that act during Init are kept (data/settings.h: KeptSettings).
#pragma once

#include <cstdint>
#include <string_view>

#include "host/host_objects.h"

namespace qv {

namespace detail {
inline thread_local uint64_t request_generation = 0;
}  // namespace detail

// Starts a new request on this thread: every part reads as new from here.
inline void BeginRequestState() { ++detail::request_generation; }

// This thread's T of the current request.
template <class T>
T& RequestPart() {
  thread_local struct {
    uint64_t generation = 0;
    T value{};
  } slot;
  if (slot.generation != detail::request_generation) {
    slot.value = T{};
    slot.generation = detail::request_generation;
  }
  return slot.value;
}

// The host objects SysVar.Init took for this request. SysVar is the writer.
struct HostContext {
  HostObjects host;         // Request, Response, Session, Server of this request
  bool objContext = false;  // the host objects came from the thread's context
};
inline HostContext& Host() { return RequestPart<HostContext>(); }

// The host objects of the current request. Each throws HostError when
// SysVar.Init has not taken them (or the host gave none).
Request& TheRequest();
Response& TheResponse();
Session& TheSession();
Server& TheServer();

// TheResponse().Write(text).
void ResponseWrite(std::string_view text);

}  // namespace qv
