#include "toolkit/Pictures.h"

#include <windowsx.h>

TPictureImage::TPictureImage(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 105, 105);
}

void TPictureImage::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoPicture";
  params.OwnClass = true;
  params.ClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
}

void TPictureImage::LoadIcon(int resourceId, int designWidth, int designHeight) {
  FResourceId = resourceId;
  FDesignWidth = designWidth;
  FDesignHeight = designHeight;
  Reload();
}

void TPictureImage::AssignPicture(const TPictureImage& source) {
  if (source.FResourceId)
    LoadIcon(source.FResourceId, source.FDesignWidth, source.FDesignHeight);
  else
    ClearPicture();
}

void TPictureImage::ClearPicture() {
  FResourceId = FDesignWidth = FDesignHeight = 0;
  FIcon.Reset();
  Invalidate();
}

void TPictureImage::Reload() {
  if (FResourceId) {
    // The resource holds the picture at several sizes; the system takes the nearest one.
    FIcon.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(FResourceId),
                                                IMAGE_ICON, Scale(FDesignWidth), Scale(FDesignHeight),
                                                LR_DEFAULTCOLOR)));
  }
  Invalidate();
}

void TPictureImage::ApplyDpi(int dpi) {
  TControl::ApplyDpi(dpi);
  Reload();
}

void TPictureImage::Paint(TCanvas& canvas) {
  if (FIcon)
    ::DrawIconEx(canvas.Handle(), 0, 0, FIcon.Get(), Scale(FDesignWidth), Scale(FDesignHeight), 0, nullptr,
                 DI_NORMAL);
}

LRESULT TPictureImage::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      FMouseDown = true;
      break;
    case WM_LBUTTONUP: {
      // A click is a press and a release over the picture.
      const bool wasDown = FMouseDown;
      FMouseDown = false;
      RECT r;
      ::GetClientRect(Handle(), &r);
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wasDown && ::PtInRect(&r, pt)) Click();
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      FMouseDown = true;
      if (OnDblClick) OnDblClick(this);
      return 0;
    default:
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}
