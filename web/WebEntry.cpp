// The functions the page's worker calls in the engine. Strings cross as UTF-8; an answer is a
// malloc'ed copy the caller frees.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "WebEngineUnit.h"

using namespace lexmora;

// The worker sets Module.lexmoraNotify; under node (the build's message dump) nothing is set.
EM_JS(void, LexmoraNotify, (const char* AKind, const char* AFirst, const char* ASecond), {
  if (Module.lexmoraNotify) Module.lexmoraNotify(UTF8ToString(AKind), UTF8ToString(AFirst), UTF8ToString(ASecond));
});

namespace {

char* Answer(const std::string& AText) {
  char* Out = static_cast<char*>(std::malloc(AText.size() + 1));
  if (Out) std::memcpy(Out, AText.c_str(), AText.size() + 1);
  return Out;
}

// One path a line; the worker names the files it wrote, so no name holds a line end.
std::vector<std::string> PathList(const char* AText) {
  std::vector<std::string> Paths;
  std::istringstream In(AText ? AText : "");
  for (std::string Line; std::getline(In, Line);)
    if (!Line.empty()) Paths.push_back(Line);
  return Paths;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE char* lexmora_compare(const char* ASource, const char* AEdited, int AHideIdentical,
                                           int AIgnoreNbsp, int AHighlight, int ATags, int AFormat, int ALang,
                                           const char* AOutputDir) {
  TWebOptions Options;
  Options.HideIdentical = AHideIdentical != 0;
  Options.IgnoreNbsp = AIgnoreNbsp != 0;
  Options.Highlight = AHighlight != 0;
  Options.Tags = ATags >= 0 && ATags <= 3 ? static_cast<TShowTagsFlag>(ATags) : TShowTagsFlag::stfDontShowTags;
  Options.Format = AFormat == 1 ? TResultFileFormat::rffXLSX : TResultFileFormat::rffHTML;
  Options.Lang = ALang == 1 ? TLocalizationLanguare::llRU : TLocalizationLanguare::llEN;
  const TWebNotify Notify = [](const char* AKind, const std::string& AFirst, const std::string& ASecond) {
    LexmoraNotify(AKind, AFirst.c_str(), ASecond.c_str());
  };
  return Answer(RunWebComparison(PathList(ASource), PathList(AEdited), Options, AOutputDir, Notify));
}

EMSCRIPTEN_KEEPALIVE char* lexmora_messages() { return Answer(WebMessagesJson()); }

}  // extern "C"
