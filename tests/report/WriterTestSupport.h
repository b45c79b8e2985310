// Drives a writer's cell-text folding the way report construction does, one step at a time.
#pragma once

#include <string>
#include <vector>

#include "ExportToBaseUnit.h"
#include "HtmlViewerUnit.h"

namespace lexmora::test_support {

// How every HTML page ends: the viewer block, then the closing lines.
inline std::string HtmlPageEnd(TLocalizationLanguare ALang = TLocalizationLanguare::llEN) {
  return RenderHtmlViewer(ALang) + "</body>\r\n</html>\r\n";
}

// One difference step seen from one side: the character (0 for none) and whether it is kept.
struct TStep {
  char32_t Chr;
  bool Kept;
};

// The cell text a writer builds from ASteps on the translated (AIsTr) or edited side.
inline std::string Fold(TBaseFileCreator& W, bool AIsTr, const std::vector<TStep>& ASteps, const TTagDict& ADict = {},
                        const TTagIDDict& AIDDict = {}, TShowTagsFlag AFlag = TShowTagsFlag::stfShowTagsOnly) {
  std::string Cell;
  bool LastKept = true;
  int Pos = 0;
  for (const TStep& S : ASteps) {
    std::u32string Chr;
    if (S.Chr) {
      Chr.push_back(S.Chr);
      ++Pos;
    }
    W.AddStrToStr(AIsTr, Cell, Chr, Pos, S.Kept, LastKept, ADict, AIDDict, AFlag);
    LastKept = S.Kept;
  }
  W.FinishStr(Cell, LastKept, ADict, AFlag);
  return Cell;
}

}  // namespace lexmora::test_support
