// The browser page's engine: one comparison of files the page has put into the program's file
// system, answered as JSON the page reads. Kept free of emscripten so it builds and is tested
// natively too; WebEntry.cpp only exports it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ComparisonRunUnit.h"
#include "ProgressatorUnit.h"

namespace lexmora {

// The page's options, as the desktop window's.
struct TWebOptions {
  bool HideIdentical = true;
  bool IgnoreNbsp = false;
  bool Highlight = true;
  TShowTagsFlag Tags = TShowTagsFlag::stfDontShowTags;
  TResultFileFormat Format = TResultFileFormat::rffHTML;
  TLocalizationLanguare Lang = TLocalizationLanguare::llEN;
};

// What the page is told while a run goes: a finished operation's line ("done", line) or the two
// progress lines ("progress", operation line, total line).
using TWebNotify = std::function<void(const char* AKind, const std::string& AFirst, const std::string& ASecond)>;

// The run's observer for the page: renders the two progress lines as the desktop does and hands
// them on. The run calls it on the page's one engine thread, so it takes no lock.
class TWebProgress : public TRunObserver {
 public:
  TWebProgress(TLocalizationLanguare ALang, TWebNotify ANotify);

  void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin, int APercentEnd) override;
  void SetProgress(int ACurrentPoint) override;
  void SetOutcome(const TRunOutcome& AOutcome) override;

 private:
  void Show(bool AForce);
  void Finish();

  TWebNotify FNotify;
  TLocalizationLanguare FLang;
  TProgressRenderer FRenderer;
  std::string FOperation;
};

// Runs one comparison of the files named in the two lists, the reports going to AOutputDir, and
// answers {"result": n, "lines": [{"kind": k, "text": "...", "path": "..."}]}: the outcome lines
// of the shared run API, kinds as TOutcomeLineKind.
std::string RunWebComparison(const std::vector<std::string>& ASource, const std::vector<std::string>& AEdited,
                             const TWebOptions& AOptions, const std::string& AOutputDir, const TWebNotify& ANotify);

// Every message text in both languages, {"en": [...], "ru": [...]} by message id, and the outcome
// lines of a run the user stopped, {"stopped": {"en": [...], "ru": [...]}}: the page builds its
// texts from these, so they are the desktop's.
std::string WebMessagesJson();

}  // namespace lexmora
