#include "XmlSlicedDocumentUnit.h"

#include <cstring>
#include <exception>
#include <optional>

#include "XmlDomUnit.h"

namespace lexmora {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Where a body's content lies in the text, and where its slices begin after the first.
struct TBodyCut {
  std::size_t Begin = 0;
  std::size_t End = 0;
  std::vector<std::size_t> Cuts;
};

bool EndsName(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '/' || C == '>'; }

// Finds the content of every "body" child of a "file" child of the root by the markup alone, as
// the parser would see it: comments, CDATA sections and processing instructions are stepped over,
// quoted attribute values may hold ">". Nothing is checked beyond what this needs; what is
// malformed fails to parse afterwards. Nothing when the text holds a DOCTYPE or ends inside markup.
std::optional<std::vector<TBodyCut>> FindBodies(std::string_view AData, std::size_t ASliceBytes) {
  std::vector<TBodyCut> Bodies;
  std::string_view Names[3];  // the open elements of the first three levels
  std::size_t Depth = 0;
  bool InBody = false;
  std::size_t SliceBegin = 0;
  std::size_t P = 0;
  const auto SkipPast = [&](std::size_t AFrom, std::string_view AClose) {
    const std::size_t E = AData.find(AClose, AFrom);
    if (E == npos) return false;
    P = E + AClose.size();
    return true;
  };
  while ((P = AData.find('<', P)) != npos) {
    const std::size_t Lt = P;
    const std::string_view Rest = AData.substr(Lt);
    if (Rest.starts_with("<!--")) {
      if (!SkipPast(Lt + 4, "-->")) return std::nullopt;
    } else if (Rest.starts_with("<![CDATA[")) {
      if (!SkipPast(Lt + 9, "]]>")) return std::nullopt;
    } else if (Rest.starts_with("<?")) {
      if (!SkipPast(Lt + 2, "?>")) return std::nullopt;
    } else if (Rest.starts_with("<!")) {
      return std::nullopt;
    } else if (Rest.starts_with("</")) {
      if (!SkipPast(Lt + 2, ">") || Depth == 0) return std::nullopt;
      --Depth;
      if (InBody && Depth == 2) {
        Bodies.back().End = Lt;
        InBody = false;
      }
    } else {
      std::size_t Q = Lt + 1;
      while (Q < AData.size() && !EndsName(AData[Q])) ++Q;
      const std::string_view Name = AData.substr(Lt + 1, Q - Lt - 1);
      while (Q < AData.size() && AData[Q] != '>') {
        if (AData[Q] == '"' || AData[Q] == '\'') {
          Q = AData.find(AData[Q], Q + 1);
          if (Q == npos) return std::nullopt;
        }
        ++Q;
      }
      if (Name.empty() || Q >= AData.size()) return std::nullopt;
      const bool SelfClosing = AData[Q - 1] == '/';
      if (InBody && Depth == 3 && Lt - SliceBegin >= ASliceBytes) {
        Bodies.back().Cuts.push_back(Lt);
        SliceBegin = Lt;
      }
      if (Depth == 2 && Name == "body" && Names[1] == "file") {
        Bodies.push_back({Q + 1, Q + 1, {}});
        InBody = !SelfClosing;
        SliceBegin = Q + 1;
      }
      if (!SelfClosing) {
        if (Depth < 3) Names[Depth] = Name;
        ++Depth;
      }
      P = Q + 1;
    }
  }
  if (InBody || Depth != 0) return std::nullopt;
  return Bodies;
}

// The skeleton's bodies, in document order, as the walk of the readers finds them.
std::vector<pugi::xml_node> SkeletonBodies(const pugi::xml_document& ASkeleton) {
  std::vector<pugi::xml_node> Result;
  for (pugi::xml_node File = ASkeleton.document_element().first_child(); File; File = File.next_sibling())
    if (IsElementNamed(File, "file"))
      for (pugi::xml_node C = File.first_child(); C; C = C.next_sibling())
        if (IsElementNamed(C, "body")) Result.push_back(C);
  return Result;
}

}  // namespace

std::unique_ptr<TSlicedDocument> TSlicedDocument::Open(std::string AData, std::size_t ASliceBytes) {
  try {
    // The scan first: a document without a body to cut (XLIFF 2) is given up after one pass.
    const std::optional<std::vector<TBodyCut>> Cuts = FindBodies(AData, ASliceBytes);
    if (!Cuts || Cuts->empty()) return nullptr;  // nothing to cut: the whole parse costs less
    // A NUL ends the parser's text: a slice would end early where the whole document fails.
    if (std::memchr(AData.data(), '\0', AData.size()) || !IsUtf8Document(AData)) return nullptr;
    std::unique_ptr<TSlicedDocument> Doc(new TSlicedDocument());
    Doc->FData = std::move(AData);
    const std::string_view Data = Doc->FData;

    std::string Skeleton;
    std::size_t From = 0;
    for (const TBodyCut& Cut : *Cuts) {
      Skeleton.append(Data.substr(From, Cut.Begin - From));
      From = Cut.End;
    }
    Skeleton.append(Data.substr(From));
    LoadXmlText(Doc->FSkeleton, Skeleton, true);

    const std::vector<pugi::xml_node> Bodies = SkeletonBodies(Doc->FSkeleton);
    if (Bodies.size() != Cuts->size()) return nullptr;
    pugi::xml_document Scratch;
    for (std::size_t I = 0; I < Bodies.size(); ++I) {
      const TBodyCut& Cut = (*Cuts)[I];
      TSlices& Slices = Doc->FBodies[Bodies[I].internal_object()];
      std::size_t Begin = Cut.Begin;
      for (std::size_t I2 = 0; I2 <= Cut.Cuts.size(); ++I2) {
        const std::size_t End = I2 < Cut.Cuts.size() ? Cut.Cuts[I2] : Cut.End;
        if (End > Begin) Slices.push_back(Data.substr(Begin, End - Begin));
        Begin = End;
      }
      // Every slice parsed now, so that reading it later cannot fail.
      for (const std::string_view Slice : Slices) LoadXmlFragment(Scratch, Slice, true);
    }
    return Doc;
  } catch (const std::exception&) {
    return nullptr;  // the whole parse gives the reason
  }
}

std::unique_ptr<TSlicedDocument> TSlicedDocument::OpenFile(const std::string& AFileName, std::size_t ASliceBytes) {
  try {
    return Open(ReadFileData(AFileName), ASliceBytes);
  } catch (const std::exception&) {
    return nullptr;
  }
}

const TSlicedDocument::TSlices* TSlicedDocument::SlicesOf(pugi::xml_node ABody) const {
  const auto It = FBodies.find(ABody.internal_object());
  return It == FBodies.end() ? nullptr : &It->second;
}

bool TSlicedDocument::IsCutOut(pugi::xml_node ABody) const { return ABody && SlicesOf(ABody) != nullptr; }

void TSlicedDocument::ForEachSlice(pugi::xml_node ABody,
                                   const std::function<void(const pugi::xml_document& ASlice)>& AOnSlice) const {
  const TSlices* Slices = ABody ? SlicesOf(ABody) : nullptr;
  if (!Slices) return;
  pugi::xml_document Scratch;
  for (const std::string_view Slice : *Slices) {
    LoadXmlFragment(Scratch, Slice, true);
    AOnSlice(Scratch);
  }
}

}  // namespace lexmora
