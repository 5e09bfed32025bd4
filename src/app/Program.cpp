#include "app/Library.h"
#include "base/Win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LibraryStart();
  LibraryStop();
  return 0;
}
