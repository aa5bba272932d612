// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MessagePrompt.h"

#include <wx/msgdlg.h>

namespace {
std::size_t ShowMessageBox(wxWindow* parent, const MessageRequest& request) {
  const std::size_t count = request.answers.size();
  long style = request.error ? wxICON_ERROR : wxICON_QUESTION;
  if (count <= 1) style |= wxOK;
  if (count == 2) style |= wxYES_NO;
  if (count >= 3) style |= wxYES_NO | wxCANCEL;
  wxMessageDialog dialog(parent, request.message, request.caption, style);
  if (count == 1) dialog.SetOKLabel(request.answers[0]);
  if (count == 2) dialog.SetYesNoLabels(request.answers[0], request.answers[1]);
  if (count >= 3) dialog.SetYesNoCancelLabels(request.answers[0], request.answers[1], request.answers[2]);
  const int result = dialog.ShowModal();
  if (count >= 2 && result == wxID_YES) return 0;
  if (count >= 3 && result == wxID_NO) return 1;
  return count == 0 ? 0 : count - 1;
}
}  // namespace

MessagePrompt& ProgramMessagePrompt() {
  static MessagePrompt prompt = ShowMessageBox;
  return prompt;
}
