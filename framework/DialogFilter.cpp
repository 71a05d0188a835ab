#include "framework/DialogFilter.h"

#include <algorithm>
#include <vector>

#include "framework/Handles.h"

namespace glyph {
namespace {

// The thread's hook and the filters it serves.
struct ThreadFilters {
  UniqueHook hook;
  std::vector<DialogFilter*> filters;
};

ThreadFilters& Current() {
  thread_local ThreadFilters filters;
  return filters;
}

}  // namespace

void DialogFilter::Start(HWND dialog, Handler handler) {
  Stop();
  if (!dialog || !handler) return;
  ThreadFilters& current = Current();
  if (!current.hook) {
    current.hook.Reset(
        ::SetWindowsHookExA(WH_MSGFILTER, &DialogFilter::HookProc, nullptr, ::GetCurrentThreadId()));
    if (!current.hook) return;
  }
  dialog_ = dialog;
  handler_ = std::move(handler);
  current.filters.push_back(this);
}

void DialogFilter::Stop() {
  if (!dialog_) return;
  dialog_ = nullptr;
  handler_ = nullptr;
  ThreadFilters& current = Current();
  std::erase(current.filters, this);
  if (current.filters.empty()) current.hook.Reset();
}

LRESULT CALLBACK DialogFilter::HookProc(int code, WPARAM wp, LPARAM lp) {
  ThreadFilters& current = Current();
  HHOOK hook = current.hook.Get();
  const auto* msg = reinterpret_cast<const MSG*>(lp);
  if (code == MSGF_DIALOGBOX && msg && msg->hwnd) {
    // A handler may stop filters (its dialog ends): the list is copied,
    // and each filter still started is asked with a copy of its handler.
    const std::vector<DialogFilter*> filters = current.filters;
    for (DialogFilter* filter : filters) {
      if (std::find(current.filters.begin(), current.filters.end(), filter) == current.filters.end())
        continue;
      if (msg->hwnd != filter->dialog_ && !::IsChild(filter->dialog_, msg->hwnd)) continue;
      const Handler handler = filter->handler_;
      if (handler(*msg)) return TRUE;
    }
  }
  return ::CallNextHookEx(hook, code, wp, lp);
}

}  // namespace glyph
