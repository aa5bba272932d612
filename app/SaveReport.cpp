// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SaveReport.h"

#include "app/LocaleText.h"
#include "app/MessagePrompt.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Configuration.h"

namespace {
constexpr const char* kCaption = "Save Failed";
constexpr const char* kOk = "OK";
}  // namespace

void TellSaveFailure(wxWindow* parent, const std::string& text) {
  ProgramMessagePrompt()(parent, MessageRequest{kCaption, FromByteString(text), {kOk}, true});
}

bool SaveFileTelling(wxWindow* parent, const std::string& path, std::string_view bytes) {
  const FileReplacement saved = replaceFileAtomically(path, bytes);
  if (!saved) TellSaveFailure(parent, saveFailureText(path, saved.error));
  return static_cast<bool>(saved);
}

bool SaveConfigurationTelling(wxWindow* parent, bool askedFor) {
  const ConfigurationSave saved = saveConfiguration();
  const bool tell = saved.outcome == ConfigurationSave::Outcome::Failed ||
                    (askedFor && saved.outcome == ConfigurationSave::Outcome::NotKept);
  if (tell) TellSaveFailure(parent, saved.text);
  return static_cast<bool>(saved);
}
