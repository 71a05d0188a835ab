// DialogFilter: a pre-translate step for a dialog run by the platform's
// dialog loop. That loop hands every message to IsDialogMessage, which
// eats the keys a dialog uses itself and sends the rest to the focused
// control: a key meant for the whole window never reaches the window.
// IsDialogMessage first offers each message to the thread's message
// filter hooks (WH_MSGFILTER, MSGF_DIALOGBOX); while a DialogFilter is
// started, the messages for its dialog or any control in it are offered to
// its handler there, and a message the handler takes is not processed
// further. Several filters may watch one dialog: each is asked in the order
// started until one takes the message. A modal dialog opened on top is a
// window of its own: its messages never reach the handler.
//
// One hook per thread serves every started filter; it is removed when the
// last one stops. A filter stops when it dies.
#pragma once

#include <windows.h>

#include <functional>

namespace glyph {

class DialogFilter {
 public:
  // True when the message was handled and must go no further.
  using Handler = std::function<bool(const MSG&)>;

  DialogFilter() = default;
  ~DialogFilter() { Stop(); }
  DialogFilter(const DialogFilter&) = delete;
  DialogFilter& operator=(const DialogFilter&) = delete;

  void Start(HWND dialog, Handler handler);
  void Stop();
  bool Running() const { return dialog_ != nullptr; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);

  HWND dialog_ = nullptr;
  Handler handler_;
};

}  // namespace glyph
