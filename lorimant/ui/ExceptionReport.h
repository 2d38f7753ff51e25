// Showing what a window's handler threw: the text of every kind the
// program throws (std::exception, framework exceptions, narrow and wide
// text literals) through the message-box hook, after which the program
// carries on.
#pragma once

#include "platform/core/CString.h"

// The text of the exception being handled; call only inside a catch block.
CString CurrentExceptionText();
// Shows the text of the exception being handled; call only inside a catch block.
void ShowCurrentException();

// Runs work; whatever it throws is shown and the caller carries on.
template <class Work>
void RunGuarded(Work&& work) {
  try {
    work();
  } catch (...) {
    ShowCurrentException();
  }
}
