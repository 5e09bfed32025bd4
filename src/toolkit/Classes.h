#pragma once
// Root types of the window toolkit: the object root, event handler types, alignment.
#include <cstdint>
#include <functional>

class TObject {
public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// How a control sits in its parent: docked to an edge, filling the rest, or placed freely.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A rectangle in design pixels (96 dots per inch).
struct TDesignRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};
