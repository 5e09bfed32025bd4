#pragma once
// The log view's text on the clipboard: in the ANSI code page when it writes every character of
// the part in one byte (half the bytes of Unicode to hand over; Wine's server copies them all),
// else as Unicode. Read in slices from the text or a snapshot of it, never copied whole on the
// way. Raises EClipboardException when the clipboard cannot take it.
#include "toolkit/LogText.h"

class TClipboard;

void CopyLogText(TClipboard& clipboard, const TLogText& text, TLogText::TPos pos, TLogText::TPos count);
void CopyLogText(TClipboard& clipboard, const TLogTextSnapshot& text, TLogText::TPos pos, TLogText::TPos count);
