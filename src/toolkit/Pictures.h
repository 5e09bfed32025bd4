#pragma once
// A picture from the program's icon resources of any width and height (an icon may be wider
// than high), drawn in the size that fits the DPI; clicks and double clicks are its events.
#include "toolkit/Controls.h"

class TPictureImage : public TControl {
public:
  explicit TPictureImage(TComponent* owner);

  // An icon resource drawn at designWidth x designHeight design pixels; the control keeps its
  // own bounds (the picture is drawn at its top left corner).
  void LoadIcon(int resourceId, int designWidth, int designHeight);
  // The picture of another image (nothing when it has none).
  void AssignPicture(const TPictureImage& source);
  void ClearPicture();
  bool Empty() const noexcept { return !FIcon; }
  int ResourceId() const noexcept { return FResourceId; }
  // The picture's size in design pixels.
  int PictureWidth() const noexcept { return FDesignWidth; }
  int PictureHeight() const noexcept { return FDesignHeight; }
  HICON IconHandle() const noexcept { return FIcon.Get(); }

protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(TCanvas& canvas) override;
  void ApplyDpi(int dpi) override;

private:
  void Reload();

  TIconHandle FIcon;
  int FResourceId = 0;
  int FDesignWidth = 0;
  int FDesignHeight = 0;
  bool FMouseDown = false;
};
