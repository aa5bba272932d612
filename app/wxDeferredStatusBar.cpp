#include "app/wxDeferredStatusBar.h"

namespace qwx {

void wxDeferredStatusBar::DoUpdateStatusText(int number) {
  wxRect field;
  if (GetFieldRect(number, field)) RefreshRect(field);
}

}  // namespace qwx
