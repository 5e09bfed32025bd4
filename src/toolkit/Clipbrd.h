#pragma once
// The clipboard as Unicode text. Another program may hold the clipboard open for a moment;
// opening retries briefly before it gives up with EClipboardException.
#include "base/Exception.h"

#include <cstddef>
#include <functional>
#include <string>

class EClipboardException : public Exception {
public:
  using Exception::Exception;
};

class TClipboard {
public:
  TClipboard();
  // The text on the clipboard (up to its first zero character); empty when there is none.
  // Text that another program put there in an 8-bit format comes converted by the system.
  std::wstring AsText() const;
  // Replaces whatever is on the clipboard by the text.
  void SetAsText(const std::wstring& text);
  // The same for a text of length characters that fill writes straight into the clipboard's
  // memory: a large text is not copied once more on its way. May be called on a worker thread
  // once Clipboard() was first called on a thread with a message loop (the clipboard's owner
  // window lives there and answers other programs' clipboard messages). That thread must answer
  // sent messages while it waits for the worker: emptying the clipboard sends one to the owner.
  void SetAsText(std::size_t length, const std::function<void(wchar_t* text)>& fill);
  // The same in the system's ANSI code page, for a text of length bytes that fill writes: half
  // the bytes of Unicode, for a large text that the code page can write. Programs that paste
  // Unicode get it converted by the system.
  void SetAsAnsiText(std::size_t length, const std::function<void(char* text)>& fill);
  bool HasText() const;
  void Clear();
};

TClipboard& Clipboard();

// Shorthands for Clipboard().AsText() and Clipboard().SetAsText().
inline std::wstring ClipboardAsText() { return Clipboard().AsText(); }
inline void SetClipboardAsText(const std::wstring& text) { Clipboard().SetAsText(text); }
